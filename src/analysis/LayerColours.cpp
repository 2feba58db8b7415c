// The layer's colour table and the composing of a rectangle through it.
#include "analysis/LayerColours.h"

namespace {
constexpr uint32_t kOpaque = 0xFF000000u;
} // namespace

CLayerColours::CLayerColours(const uint32_t* palette, const CBandSet& bands, double opacity)
    : m_table(kEntries * (bands.Count() + 2)) {
    const size_t bandCount = bands.Count();
    const size_t noSignalLayer = bandCount + 1;
    // A band value the set does not hold never comes from the field; it shows the plan.
    for (size_t value = 0; value < 256; ++value) {
        m_layerStart[value] = value < bandCount ? (value + 1) * kEntries : 0;
    }
    m_layerStart[kNoSignalBand] = noSignalLayer * kEntries;
    for (size_t entry = 0; entry < kEntries; ++entry) {
        const uint32_t plan = palette[entry] & 0xFFFFFFu;
        m_table[entry] = kOpaque | plan;
        for (size_t band = 0; band < bandCount; ++band) {
            m_table[(band + 1) * kEntries + entry] =
                kOpaque | BlendBandOver(plan, bands.Colour(band), opacity);
        }
        m_table[noSignalLayer * kEntries + entry] =
            kOpaque | BlendBandOver(plan, kNoSignalColour, opacity);
    }
}

void ComposeLayer(const uint8_t* indices, const uint8_t* bands, int planWidth,
                  const CLayerColours& colours, const FieldRect& rect, uint32_t* out,
                  size_t outStride) {
    for (int row = 0; row < rect.height; ++row) {
        const size_t first = static_cast<size_t>(rect.y + row) * static_cast<size_t>(planWidth) +
                             static_cast<size_t>(rect.x);
        uint32_t* line = out + static_cast<size_t>(row) * outStride;
        for (int x = 0; x < rect.width; ++x) {
            line[x] = colours.Of(indices[first + x], bands[first + x]);
        }
    }
}
