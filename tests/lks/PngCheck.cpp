// PNG checks for the heatmap tests: the chunks walked and the zlib stream inflated by zlib itself,
// which checks the Adler-32 that a lenient decoder may never look at.
#include "PngCheck.h"

#include <cstring>

#include <zlib.h>

std::string CheckPng(const std::vector<uint8_t>& png, int& width, int& height) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 8 || std::memcmp(png.data(), kSignature, 8) != 0) {
        return "no PNG signature";
    }
    const auto u32 = [&](size_t at) {
        return uint32_t{png[at]} << 24 | uint32_t{png[at + 1]} << 16 | uint32_t{png[at + 2]} << 8 |
               png[at + 3];
    };
    std::vector<uint8_t> zlibStream;
    std::vector<std::string> types;
    for (size_t at = 8; at < png.size();) {
        if (at + 12 > png.size() || at + 12 + u32(at) > png.size()) {
            return "a chunk runs past the end";
        }
        const uint32_t length = u32(at);
        const std::string type(png.begin() + at + 4, png.begin() + at + 8);
        if (crc32(0, png.data() + at + 4, length + 4) != u32(at + 8 + length)) {
            return "bad CRC in " + type;
        }
        if (type == "IHDR") {
            width = static_cast<int>(u32(at + 8));
            height = static_cast<int>(u32(at + 12));
            if (png[at + 16] != 8 || png[at + 17] != 2 || png[at + 20] != 0) {
                return "not 8-bit RGB without interlace";
            }
        }
        if (type == "IDAT") {
            zlibStream.insert(zlibStream.end(), png.begin() + at + 8,
                              png.begin() + at + 8 + length);
        }
        types.push_back(type);
        at += 12 + length;
    }
    if (types.size() < 3 || types.front() != "IHDR" || types.back() != "IEND") {
        return "chunks out of order";
    }
    std::vector<uint8_t> filtered(static_cast<size_t>(height) *
                                  (1 + 3 * static_cast<size_t>(width)));
    uLongf size = filtered.size();
    if (uncompress(filtered.data(), &size, zlibStream.data(), zlibStream.size()) != Z_OK ||
        size != filtered.size()) {
        return "the zlib stream does not inflate to the rows, or its checksum is wrong";
    }
    return {};
}
