// The site's map picture as read from a site file: 8 bits per pixel, a 256-entry colour table
// and the pixel rows as the bitmap stores them (bottom row first, each row padded to 4 bytes).
#pragma once

#include <cstdint>
#include <vector>

struct SitePicture {
    static constexpr int kPaletteEntries = 256;

    int32_t width = 0;
    int32_t height = 0;  // always positive; top-down bitmaps are turned bottom-up on reading
    uint32_t stride = 0; // bytes per row, a multiple of 4
    uint32_t palette[kPaletteEntries] = {}; // 0x00RRGGBB
    std::vector<uint8_t> pixels;            // height * stride bytes, bottom row first

    // Palette indexes of the row y counted from the top of the picture (y = 0 is the top row).
    const uint8_t* RowFromTop(int32_t y) const {
        return pixels.data() + static_cast<size_t>(height - 1 - y) * stride;
    }
    uint8_t* RowFromTop(int32_t y) {
        return pixels.data() + static_cast<size_t>(height - 1 - y) * stride;
    }

    static uint32_t StrideFor(int32_t width) { return (static_cast<uint32_t>(width) + 3u) & ~3u; }

    // A picture of width x height whose every pixel is palette entry fill, the palette all black.
    static SitePicture Blank(int32_t width, int32_t height, uint8_t fill = 0) {
        SitePicture picture;
        picture.width = width;
        picture.height = height;
        picture.stride = StrideFor(width);
        picture.pixels.assign(size_t{picture.stride} * static_cast<size_t>(height), fill);
        return picture;
    }
};
