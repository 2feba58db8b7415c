// Coverage fields, tile by tile: each square tile of pixels gathers the few spots that can reach
// it from the spatial index once, so a pixel looks only at its neighbours. Tiles are shared out
// to one thread per core.
#include "analysis/CoverageField.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <limits>
#include <thread>

#include "analysis/SiteReadings.h"
#include "analysis/SpatialIndex.h"

namespace {

constexpr int kTile = 32;
constexpr float kNoValue = std::numeric_limits<float>::quiet_NaN();
constexpr float kNoSignal = -std::numeric_limits<float>::infinity();

struct Near {
    double x;
    double y;
    double dbm;
};

class CFieldJob {
public:
    // Computes rect of the plan into out, rect.width values a row.
    CFieldJob(const std::vector<SpotValue>& spots, const FieldRect& rect,
              const FieldOptions& options, float* out)
        : m_spots(spots), m_index(spots, options.radius), m_rect(rect), m_options(options),
          m_radius2(options.radius * options.radius), m_out(out),
          m_tilesAcross((rect.width + kTile - 1) / kTile),
          m_tiles(static_cast<size_t>(m_tilesAcross) *
                  static_cast<size_t>((rect.height + kTile - 1) / kTile)) {}

    size_t Tiles() const { return m_tiles; }
    size_t Done() const { return m_done.load(); }

    // Takes tiles until none is left; after each, calls afterTile (may be empty).
    void Work(const std::function<void()>& afterTile) {
        std::vector<uint32_t> candidates;
        std::vector<Near> near;
        for (size_t t = m_next++; t < m_tiles; t = m_next++) {
            Tile(t, candidates, near);
            ++m_done;
            if (afterTile) {
                afterTile();
            }
        }
    }

private:
    void Tile(size_t t, std::vector<uint32_t>& candidates, std::vector<Near>& near) const {
        const int x0 = m_rect.x + static_cast<int>(t % static_cast<size_t>(m_tilesAcross)) * kTile;
        const int y0 = m_rect.y + static_cast<int>(t / static_cast<size_t>(m_tilesAcross)) * kTile;
        const int x1 = std::min(x0 + kTile, m_rect.x + m_rect.width) - 1;
        const int y1 = std::min(y0 + kTile, m_rect.y + m_rect.height) - 1;
        const double r = m_options.radius;
        candidates.clear();
        m_index.Candidates(x0 - r, y0 - r, x1 + r, y1 + r, candidates);
        // Index order within a tile is cell order; spot order keeps ties the same everywhere.
        std::sort(candidates.begin(), candidates.end());
        near.clear();
        for (const uint32_t i : candidates) {
            const SpotValue& s = m_spots[i];
            const double dx =
                std::max({static_cast<double>(x0) - s.x, 0.0, s.x - static_cast<double>(x1)});
            const double dy =
                std::max({static_cast<double>(y0) - s.y, 0.0, s.y - static_cast<double>(y1)});
            if (dx * dx + dy * dy < m_radius2) {
                near.push_back({static_cast<double>(s.x), static_cast<double>(s.y), s.dbm});
            }
        }
        // A pixel's value depends only on the spots within the radius, summed in spot order,
        // whatever tile it falls in: any rectangle gives the same values as the whole plan.
        for (int y = y0; y <= y1; ++y) {
            float* row = m_out +
                         static_cast<size_t>(y - m_rect.y) * static_cast<size_t>(m_rect.width) -
                         m_rect.x;
            for (int x = x0; x <= x1; ++x) {
                row[x] = near.empty() ? kNoValue : Pixel(x, y, near);
            }
        }
    }

    float Pixel(int px, int py, const std::vector<Near>& near) const {
        const double r = m_options.radius;
        double nearest2 = m_radius2;
        double nearestDbm = 0.0;
        bool any = false;
        double sumW = 0.0;
        double sumWV = 0.0;
        for (const Near& n : near) {
            const double dx = px - n.x;
            const double dy = py - n.y;
            const double d2 = dx * dx + dy * dy;
            if (d2 >= m_radius2) {
                continue;
            }
            if (d2 < nearest2) {
                nearest2 = d2;
                nearestDbm = n.dbm;
            }
            any = true;
            if (m_options.method == FieldMethod::Idw && d2 > 0.0 && !IsNoSignal(n.dbm)) {
                const double d = std::sqrt(d2);
                const double w = Weight((r - d) / (r * d));
                sumW += w;
                sumWV += w * n.dbm;
            }
        }
        if (!any) {
            return kNoValue;
        }
        // On a spot, or with weights too small to count, the nearest spot is the value. Where a
        // dead spot is the nearest, nothing was received: no weighting of live spots may paint
        // over it.
        if (m_options.method == FieldMethod::Nearest || nearest2 == 0.0 || !(sumW > 0.0) ||
            IsNoSignal(nearestDbm)) {
            return IsNoSignal(nearestDbm) ? kNoSignal : static_cast<float>(nearestDbm);
        }
        return static_cast<float>(sumWV / sumW);
    }

    double Weight(double t) const {
        if (m_options.power == 2.0) {
            return t * t;
        }
        if (m_options.power == 1.0) {
            return t;
        }
        return std::pow(t, m_options.power);
    }

    const std::vector<SpotValue>& m_spots;
    CSpatialIndex m_index;
    FieldRect m_rect;
    FieldOptions m_options;
    double m_radius2;
    float* m_out;
    int m_tilesAcross;
    size_t m_tiles;
    std::atomic<size_t> m_next{0};
    std::atomic<size_t> m_done{0};
};

} // namespace

bool HasValue(float value) {
    return !std::isnan(value);
}

namespace {

// The smallest float that passes edge (is above it, or at or above it), so that comparing a
// field's float with it gives exactly what comparing its double value with edge gives.
float passingFloat(double edge, bool strictlyAbove) {
    const auto passes = [&](float f) {
        return strictlyAbove ? static_cast<double>(f) > edge : static_cast<double>(f) >= edge;
    };
    const float infinity = std::numeric_limits<float>::infinity();
    float f = static_cast<float>(edge);
    while (!passes(f)) {
        f = std::nextafter(f, infinity);
    }
    while (f != -infinity && passes(std::nextafter(f, -infinity))) {
        f = std::nextafter(f, -infinity);
    }
    return f;
}

} // namespace

void BandsOfField(const CoverageValues& values, const CBandSet& bands, std::vector<uint8_t>& out) {
    out.resize(values.size());
    const std::vector<double>& edges = bands.Edges();
    const bool strongestFirst =
        std::adjacent_find(edges.begin(), edges.end(), std::less_equal<double>()) == edges.end();
    if (!strongestFirst) {
        for (size_t i = 0; i < values.size(); ++i) {
            out[i] = !HasValue(values[i])    ? kNoBand
                     : IsNoSignal(values[i]) ? kNoSignalBand
                                             : static_cast<uint8_t>(bands.IndexOf(values[i]));
        }
        return;
    }
    // With the edges strongest first, a value's band is the number of edges it does not pass.
    // Counted edge by edge over a block of values, with float comparisons, the counting becomes
    // vector code instead of a search per pixel.
    std::vector<float> passing;
    for (const double edge : edges) {
        passing.push_back(passingFloat(edge, bands.StrictlyAbove()));
    }
    constexpr size_t kBlock = 2048;
    const float noSignal = -std::numeric_limits<float>::infinity();
    const float* value = values.data();
    uint8_t* band = out.data();
    for (size_t first = 0; first < values.size(); first += kBlock) {
        const size_t end = std::min(values.size(), first + kBlock);
        std::fill(band + first, band + end, uint8_t{0});
        for (const float edge : passing) {
            for (size_t i = first; i < end; ++i) {
                band[i] += value[i] < edge ? 1 : 0;
            }
        }
        for (size_t i = first; i < end; ++i) {
            const uint8_t valued = value[i] == noSignal ? kNoSignalBand : band[i];
            band[i] = value[i] != value[i] ? kNoBand : valued; // NaN: no value
        }
    }
}

void ContoursOfField(const CoverageValues& values, int width, int height,
                     const std::vector<double>& levels, std::vector<uint8_t>& out) {
    out.assign(values.size(), 0);
    const auto crosses = [&](size_t a, size_t b) {
        if (!HasValue(values[a]) || !HasValue(values[b])) {
            return false;
        }
        for (const double level : levels) {
            if ((values[a] >= level) != (values[b] >= level)) {
                return true;
            }
        }
        return false;
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(y) * width + x;
            for (const size_t next : {x + 1 < width ? i + 1 : i, y + 1 < height ? i + width : i}) {
                if (next != i && crosses(i, next)) {
                    out[i] = 1;
                    out[next] = 1;
                }
            }
        }
    }
}

namespace {

bool OptionsUsable(const FieldOptions& options) {
    const bool powerOk =
        options.method != FieldMethod::Idw || (std::isfinite(options.power) && options.power > 0.0);
    return std::isfinite(options.radius) && options.radius > 0.0 && powerOk;
}

void RunJob(CFieldJob& job, unsigned threads, const FieldProgressFn& progress) {
    threads = threads != 0 ? threads : std::thread::hardware_concurrency();
    threads = static_cast<unsigned>(std::clamp<size_t>(threads, 1, job.Tiles()));
    std::vector<std::thread> helpers;
    for (unsigned i = 1; i < threads; ++i) {
        helpers.emplace_back([&job] { job.Work({}); });
    }
    std::function<void()> report;
    if (progress) {
        report = [&] { progress(static_cast<double>(job.Done()) / job.Tiles()); };
    }
    job.Work(report);
    for (std::thread& t : helpers) {
        t.join();
    }
    if (progress) {
        progress(1.0);
    }
}

} // namespace

bool ComputeCoverageField(const std::vector<SpotValue>& spots, int width, int height,
                          const FieldOptions& options, CoverageValues& out,
                          const FieldProgressFn& progress) {
    out.clear();
    if (width <= 0 || height <= 0 || !OptionsUsable(options)) {
        return false;
    }
    out.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    CFieldJob job(spots, FieldRect{0, 0, width, height}, options, out.data());
    RunJob(job, options.threads, progress);
    return true;
}

bool ComputeCoverageRect(const std::vector<SpotValue>& spots, const FieldRect& rect,
                         const FieldOptions& options, CoverageValues& out) {
    out.clear();
    if (rect.width <= 0 || rect.height <= 0 || !OptionsUsable(options)) {
        return false;
    }
    out.resize(static_cast<size_t>(rect.width) * static_cast<size_t>(rect.height));
    CFieldJob job(spots, rect, options, out.data());
    RunJob(job, options.threads, {});
    return true;
}
