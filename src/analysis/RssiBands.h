// Colour bands of signal strength, defined once for the map circles, the colour legend and the
// heatmaps, so that none of them can disagree with another about where a band starts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The handheld's six bands, strongest first.
enum class RssiBand { Red, Orange, Yellow, Green, Blue, Black };

struct BandColour {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    int penWidth; // outline width of a map circle in pixels
};

// An ordered set of bands: band i holds the values at or above (or strictly above) edge i and
// below edge i-1; the last band holds everything below the last edge.
class CBandSet {
public:
    // Edges strongest first; strictlyAbove chooses "> edge" rather than ">= edge".
    CBandSet(std::vector<double> edges, std::vector<BandColour> colours, bool strictlyAbove);

    // The handheld's legend: above -40 red, above -50 orange, above -60 yellow, above -70 green,
    // above -80 blue, black otherwise.
    static const CBandSet& Handheld();
    // Public-safety acceptance levels: >= -85, -95 to -85, -105 to -95, below -105.
    static const CBandSet& Threshold();
    // Edges given by the user, in any order (sorted strongest first), each band inclusive of its
    // lower edge; colours run from red to blue to black. False when edges is empty, holds more
    // than kMaxCustomEdges values, or names an edge twice (a band of nothing is a typing error).
    static bool Custom(std::vector<double> edges, CBandSet& out);
    static constexpr size_t kMaxCustomEdges = 12;

    size_t Count() const { return m_colours.size(); }
    size_t IndexOf(double dbm) const;
    const BandColour& Colour(size_t band) const { return m_colours[band]; }
    const std::vector<double>& Edges() const { return m_edges; }
    bool StrictlyAbove() const { return m_strictlyAbove; }
    // The band's range in dBm for a legend: "> -40", "-50 to -40", "<= -80" and the like.
    std::string Label(size_t band) const;

private:
    CBandSet() = default;

    std::vector<double> m_edges;
    std::vector<BandColour> m_colours;
    bool m_strictlyAbove = true;
};

// What a map paints where nothing was received.
constexpr BandColour kNoSignalColour{0, 0, 0, 1};

// A band's colour laid over a plan pixel (0x00RRGGBB) at opacity (0 to 1), each channel rounded
// to the nearest: the one blend of every coverage picture, on the desktop and on the map.
uint32_t BlendBandOver(uint32_t rgb, const BandColour& band, double opacity);

// The handheld's band of a whole-dBm reading and its colour.
RssiBand RssiBandOf(int16_t dbm);
BandColour ColourOfBand(RssiBand band);
