// The band sets and their legend texts.
#include "analysis/RssiBands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

constexpr BandColour kRed{255, 0, 0, 1};
constexpr BandColour kOrange{255, 128, 0, 1};
constexpr BandColour kYellow{255, 255, 0, 1};
constexpr BandColour kGreen{0, 255, 0, 1};
constexpr BandColour kBlue{0, 0, 255, 1};
constexpr BandColour kBlack{0, 0, 0, 2};

// A custom set's colours, strongest first; a set of n edges takes the first n + 1.
constexpr BandColour kCustomColours[] = {kRed,
                                         kOrange,
                                         kYellow,
                                         {128, 255, 0, 1},
                                         kGreen,
                                         {0, 255, 255, 1},
                                         {0, 128, 255, 1},
                                         kBlue,
                                         {128, 0, 255, 1},
                                         {255, 0, 255, 1},
                                         {128, 0, 128, 1},
                                         {128, 128, 128, 1},
                                         kBlack};
static_assert(sizeof kCustomColours / sizeof kCustomColours[0] == CBandSet::kMaxCustomEdges + 1,
              "one colour per band of the largest custom set");

std::string number(double dbm) {
    char text[32];
    if (std::floor(dbm) == dbm) {
        std::snprintf(text, sizeof text, "%.0f", dbm);
    } else {
        std::snprintf(text, sizeof text, "%.1f", dbm);
    }
    return text;
}

} // namespace

CBandSet::CBandSet(std::vector<double> edges, std::vector<BandColour> colours, bool strictlyAbove)
    : m_edges(std::move(edges)), m_colours(std::move(colours)), m_strictlyAbove(strictlyAbove) {}

const CBandSet& CBandSet::Handheld() {
    static const CBandSet set({-40, -50, -60, -70, -80},
                              {kRed, kOrange, kYellow, kGreen, kBlue, kBlack}, true);
    return set;
}

const CBandSet& CBandSet::Threshold() {
    static const CBandSet set({-85, -95, -105}, {kGreen, kYellow, kOrange, kRed}, false);
    return set;
}

bool CBandSet::Custom(std::vector<double> edges, CBandSet& out) {
    std::sort(edges.begin(), edges.end(), std::greater<double>());
    if (edges.empty() || edges.size() > kMaxCustomEdges ||
        std::adjacent_find(edges.begin(), edges.end()) != edges.end() ||
        !std::all_of(edges.begin(), edges.end(), [](double e) { return std::isfinite(e); })) {
        return false;
    }
    out.m_colours.assign(kCustomColours, kCustomColours + edges.size() + 1);
    out.m_edges = std::move(edges);
    out.m_strictlyAbove = false;
    return true;
}

size_t CBandSet::IndexOf(double dbm) const {
    for (size_t i = 0; i < m_edges.size(); ++i) {
        if (m_strictlyAbove ? dbm > m_edges[i] : dbm >= m_edges[i]) {
            return i;
        }
    }
    return m_edges.size();
}

std::string CBandSet::Label(size_t band) const {
    const char* above = m_strictlyAbove ? "> " : ">= ";
    const char* below = m_strictlyAbove ? "<= " : "< ";
    if (m_edges.empty()) {
        return "all";
    }
    if (band == 0) {
        return above + number(m_edges[0]);
    }
    if (band >= m_edges.size()) {
        return below + number(m_edges.back());
    }
    return number(m_edges[band]) + " to " + number(m_edges[band - 1]);
}

RssiBand RssiBandOf(int16_t dbm) {
    return static_cast<RssiBand>(CBandSet::Handheld().IndexOf(dbm));
}

BandColour ColourOfBand(RssiBand band) {
    return CBandSet::Handheld().Colour(static_cast<size_t>(band));
}

uint32_t BlendBandOver(uint32_t rgb, const BandColour& band, double opacity) {
    const auto mix = [opacity](uint32_t under, uint8_t over) {
        return static_cast<uint32_t>(std::lround(under * (1.0 - opacity) + over * opacity));
    };
    return mix(rgb >> 16 & 0xFF, band.red) << 16 | mix(rgb >> 8 & 0xFF, band.green) << 8 |
           mix(rgb & 0xFF, band.blue);
}
