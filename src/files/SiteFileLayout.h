// Named offsets and sizes of the site file: header, embedded 8-bit bitmap, signature area and
// survey data. Every reader and writer of the format uses these, never bare numbers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace site {

// Header at offset 0.
constexpr size_t kHeaderSize = 150;
constexpr size_t kHeaderLengthAt = 0;
constexpr size_t kMagicAt = 4;
constexpr size_t kSurveyStateAt = 12;
constexpr size_t kSaveTimeAt = 134;
constexpr size_t kPictureOffsetAt = 138;
constexpr size_t kSignatureOffsetAt = 142;
constexpr size_t kSurveyOffsetAt = 146;
constexpr uint32_t kMagic = 0x4C4B5320u; // bytes 20 53 4B 4C
constexpr uint8_t kStateSaved = 2;

// Map picture: a bitmap file image of 8 bits per pixel with a full colour table.
constexpr size_t kBitmapFileHeaderSize = 14;
constexpr size_t kBitmapTypeAt = 0; // "BM"
constexpr size_t kBitmapFileSizeAt = 2;
constexpr size_t kBitmapPixelOffsetAt = 10;
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kInfoSizeAt = 0;
constexpr size_t kInfoWidthAt = 4;
constexpr size_t kInfoHeightAt = 8;
constexpr size_t kInfoPlanesAt = 12;
constexpr size_t kInfoBitCountAt = 14;
constexpr size_t kInfoCompressionAt = 16;
constexpr size_t kInfoImageSizeAt = 20;
constexpr size_t kInfoXPelsAt = 24;
constexpr size_t kInfoYPelsAt = 28;
constexpr size_t kInfoColoursUsedAt = 32;
constexpr size_t kInfoColoursImportantAt = 36;
constexpr uint16_t kBitCount = 8;
constexpr uint32_t kCompressionNone = 0;
constexpr int kPaletteEntries = 256;
constexpr size_t kPaletteEntrySize = 4; // blue, green, red, 0
constexpr size_t kPaletteSize = kPaletteEntries * kPaletteEntrySize;
constexpr size_t kPixelsAt = kBitmapFileHeaderSize + kInfoHeaderSize + kPaletteSize;

// Signature: 200 x 100 uint32 pixels, bottom row first.
constexpr int kSignatureWidth = 200;
constexpr int kSignatureHeight = 100;
constexpr size_t kSignatureSize = size_t{kSignatureWidth} * kSignatureHeight * 4;
constexpr uint32_t kInk = 0x00000000u;
constexpr uint32_t kPaper = 0x00FFFFFFu;

// Survey data: the two record sizes, then location blocks to the end of the file.
constexpr int32_t kLocationRecordSize = 42;
constexpr int32_t kReadingRecordSize = 14;
constexpr size_t kSurveySizesSize = 8;
constexpr size_t kLocationXAt = 0;
constexpr size_t kLocationYAt = 4;
constexpr size_t kLocationNameAt = 8;
constexpr size_t kLocationNameSize = 32;
constexpr size_t kLocationCountAt = 40;
constexpr size_t kReadingChannelAt = 0;
constexpr size_t kReadingFrequencyAt = 4;
constexpr size_t kReadingRssiAt = 12;

// A loaded point without readings, and the strength a point starts from before its readings.
constexpr int16_t kNoReadingRssi = -100;
constexpr int16_t kStrengthFloor = -120;

} // namespace site
