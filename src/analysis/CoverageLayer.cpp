// The live layer's field, computed in strips for the whole plan and in the rectangles a change
// reaches otherwise, through the same field code as every coverage map.
#include "analysis/CoverageLayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "analysis/CoverageRadius.h"

namespace {

// Rows computed at once for the whole plan: the values of a strip, not of the plan, are held.
constexpr int kStripRows = 256;

uint64_t placeKey(int32_t x, int32_t y) {
    return uint64_t{static_cast<uint32_t>(x)} << 32 | static_cast<uint32_t>(y);
}

bool overlaps(const FieldRect& a, const FieldRect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

FieldRect unite(const FieldRect& a, const FieldRect& b) {
    const int left = std::min(a.x, b.x);
    const int top = std::min(a.y, b.y);
    const int right = std::max(a.x + a.width, b.x + b.width);
    const int bottom = std::max(a.y + a.height, b.y + b.height);
    return {left, top, right - left, bottom - top};
}

// Adds rect to rects, merged with every rectangle it overlaps, so no pixel is computed twice.
void addMerged(std::vector<FieldRect>& rects, FieldRect rect) {
    for (bool merged = true; merged;) {
        merged = false;
        for (size_t i = 0; i < rects.size(); ++i) {
            if (overlaps(rects[i], rect)) {
                rect = unite(rects[i], rect);
                rects.erase(rects.begin() + static_cast<long>(i));
                merged = true;
                break;
            }
        }
    }
    rects.push_back(rect);
}

} // namespace

std::vector<SpotValue> LayerSpots(const CSpotTable& table, const LayerChoice& choice) {
    if (choice.bestServer) {
        return table.Values({}, SpotCombine::Strongest);
    }
    size_t index = 0;
    if (!table.FindChannel(choice.channel, index)) {
        return {};
    }
    return table.Values({index}, SpotCombine::Weakest);
}

void CCoverageLayer::Reset() {
    m_valid = false;
    m_spots.clear();
    m_bands.clear();
    m_radius = 0.0;
    m_width = 0;
    m_height = 0;
}

bool CCoverageLayer::Update(const std::vector<SiteReading>& readings, int width, int height,
                            const LayerChoice& choice, const CBandSet& bands, LayerChange& change) {
    change = LayerChange();
    if (width <= 0 || height <= 0) {
        Reset();
        return false;
    }
    std::vector<SpotValue> spots = LayerSpots(CSpotTable(readings), choice);
    double median = 0.0;
    double radius = 0.0;
    if (!spots.empty() && !DefaultCoverageRadius(spots, radius, median)) {
        radius = LonePointRadius(width, height);
    }
    const bool sameSetting = m_valid && width == m_width && height == m_height &&
                             choice == m_choice && bands.Edges() == m_bandEdges &&
                             bands.StrictlyAbove() == m_bandsStrict && radius == m_radius;
    FieldOptions options;
    options.radius = radius;
    options.threads = m_threads;
    std::vector<FieldRect> rects;
    const size_t planPixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    bool whole = !sameSetting || !ChangedRects(spots, radius, rects);
    size_t area = 0;
    for (const FieldRect& r : rects) {
        area += static_cast<size_t>(r.width) * static_cast<size_t>(r.height);
    }
    // Past half the plan, rectangles cost more than one pass over all of it.
    whole = whole || area > planPixels / 2;

    m_width = width;
    m_height = height;
    m_choice = choice;
    m_bandEdges = bands.Edges();
    m_bandsStrict = bands.StrictlyAbove();
    m_radius = radius;
    m_valid = true;
    if (whole) {
        change.whole = true;
        m_bands.assign(planPixels, kNoBand);
        if (!spots.empty()) {
            ComputeWhole(spots, options, bands);
        }
    } else {
        for (const FieldRect& r : rects) {
            ComputeRect(spots, options, bands, r);
        }
        change.rects = std::move(rects);
    }
    m_spots = std::move(spots);
    return true;
}

bool CCoverageLayer::ChangedRects(const std::vector<SpotValue>& spots, double radius,
                                  std::vector<FieldRect>& rects) const {
    std::unordered_map<uint64_t, size_t> before;
    before.reserve(m_spots.size());
    for (size_t i = 0; i < m_spots.size(); ++i) {
        before.emplace(placeKey(m_spots[i].x, m_spots[i].y), i);
    }
    std::vector<char> kept(m_spots.size(), 0);
    std::vector<const SpotValue*> changed;
    size_t lastKept = 0;
    bool anyKept = false;
    for (const SpotValue& s : spots) {
        const auto it = before.find(placeKey(s.x, s.y));
        // The field reads a spot's place and value only; an equal value is the same spot.
        if (it == before.end() || !(m_spots[it->second].dbm == s.dbm)) {
            changed.push_back(&s);
            continue;
        }
        if (anyKept && it->second < lastKept) {
            return false;
        }
        kept[it->second] = 1;
        lastKept = it->second;
        anyKept = true;
    }
    for (size_t i = 0; i < m_spots.size(); ++i) {
        if (kept[i] == 0) {
            changed.push_back(&m_spots[i]);
        }
    }
    for (const SpotValue* s : changed) {
        // Every pixel nearer than the radius, and a pixel more for the rounding; a spot may lie
        // anywhere a file puts it, far off the plan.
        const double left = std::max(0.0, std::floor(s->x - radius));
        const double top = std::max(0.0, std::floor(s->y - radius));
        const double right = std::min(m_width - 1.0, std::ceil(s->x + radius));
        const double bottom = std::min(m_height - 1.0, std::ceil(s->y + radius));
        if (left <= right && top <= bottom) {
            addMerged(rects,
                      {static_cast<int>(left), static_cast<int>(top),
                       static_cast<int>(right - left) + 1, static_cast<int>(bottom - top) + 1});
        }
    }
    return true;
}

void CCoverageLayer::ComputeWhole(const std::vector<SpotValue>& spots, const FieldOptions& options,
                                  const CBandSet& bands) {
    for (int top = 0; top < m_height; top += kStripRows) {
        ComputeRect(spots, options, bands, {0, top, m_width, std::min(kStripRows, m_height - top)});
    }
}

void CCoverageLayer::ComputeRect(const std::vector<SpotValue>& spots, const FieldOptions& options,
                                 const CBandSet& bands, const FieldRect& rect) {
    CoverageValues values;
    std::vector<uint8_t> rectBands;
    if (!ComputeCoverageRect(spots, rect, options, values)) {
        return;
    }
    BandsOfField(values, bands, rectBands);
    for (int row = 0; row < rect.height; ++row) {
        std::memcpy(m_bands.data() + static_cast<size_t>(rect.y + row) * m_width + rect.x,
                    rectBands.data() + static_cast<size_t>(row) * rect.width,
                    static_cast<size_t>(rect.width));
    }
}
