// The colours of a coverage layer over a plan of 256 palette entries: every entry bare, under
// each band and under no signal, blended once with the one band blend of every coverage picture,
// so that composing a pixel is one look-up and the program's layer matches the desktop's maps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/CoverageField.h"
#include "analysis/RssiBands.h"

// Of the band colours over the plan, as a desktop coverage map lays them by default.
constexpr double kCoverageOpacity = 0.55;

class CLayerColours {
public:
    static constexpr size_t kEntries = 256;

    // palette: kEntries colours as 0x00RRGGBB.
    CLayerColours(const uint32_t* palette, const CBandSet& bands, double opacity);

    // The colour of a pixel of palette entry under band (kNoBand: the plan as it is;
    // kNoSignalBand: nothing received), as 0xFFRRGGBB, opaque.
    uint32_t Of(uint8_t entry, uint8_t band) const { return m_table[m_layerStart[band] + entry]; }

private:
    std::vector<uint32_t> m_table; // layer by layer: bare, each band, no signal
    size_t m_layerStart[256];      // where each band value's layer starts in m_table
};

// Composes rect of a plan of planWidth pixels a row: indices holds one palette entry per pixel
// and bands one band per pixel, both row by row from the top; out gets rect.width colours a row
// for rect.height rows, outStride pixels apart.
void ComposeLayer(const uint8_t* indices, const uint8_t* bands, int planWidth,
                  const CLayerColours& colours, const FieldRect& rect, uint32_t* out,
                  size_t outStride);
