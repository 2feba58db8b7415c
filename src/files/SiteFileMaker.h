// Builds a new, empty site file around a floor-plan picture: the header, the picture as an 8-bit
// bitmap, a blank signature area and survey data holding only its two record sizes.
#pragma once

#include <cstdint>
#include <vector>

struct SitePicture;

class CSiteFileMaker {
public:
    // False when the picture has no size, its pixel rows do not match its size, or the file
    // would not fit the format's 32-bit offsets.
    static bool Make(const SitePicture& picture, std::vector<uint8_t>& out);
};
