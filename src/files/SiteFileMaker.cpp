// New site files: parts laid out in the order header, picture, signature, survey data.
#include "files/SiteFileMaker.h"

#include <limits>

#include "files/ByteWriter.h"
#include "files/SiteFileLayout.h"
#include "files/SitePicture.h"

namespace {
constexpr uint8_t kBitmapMagic[2] = {'B', 'M'};
constexpr uint16_t kPlanes = 1;
constexpr int32_t kPixelsPerMetre = 2835; // 72 dots per inch
} // namespace

bool CSiteFileMaker::Make(const SitePicture& picture, std::vector<uint8_t>& out) {
    out.clear();
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.stride != SitePicture::StrideFor(picture.width)) {
        return false;
    }
    const uint64_t imageSize = uint64_t{picture.stride} * static_cast<uint64_t>(picture.height);
    if (picture.pixels.size() != imageSize) {
        return false;
    }
    const uint64_t pictureAt = site::kHeaderSize;
    const uint64_t signatureAt = pictureAt + site::kPixelsAt + imageSize;
    const uint64_t surveyAt = signatureAt + site::kSignatureSize;
    if (surveyAt + site::kSurveySizesSize > std::numeric_limits<uint32_t>::max()) {
        return false;
    }

    out.reserve(static_cast<size_t>(surveyAt + site::kSurveySizesSize));
    CByteWriter w(out);
    w.I32(static_cast<int32_t>(site::kHeaderSize));
    w.U32(site::kMagic);
    w.Fill(0, site::kPictureOffsetAt - w.Size()); // state 0, never saved
    w.U32(static_cast<uint32_t>(pictureAt));
    w.U32(static_cast<uint32_t>(signatureAt));
    w.U32(static_cast<uint32_t>(surveyAt));

    w.Bytes(kBitmapMagic, sizeof kBitmapMagic);
    w.U32(static_cast<uint32_t>(site::kPixelsAt + imageSize));
    w.U32(0); // two reserved words
    w.U32(static_cast<uint32_t>(site::kPixelsAt));
    w.U32(static_cast<uint32_t>(site::kInfoHeaderSize));
    w.I32(picture.width);
    w.I32(picture.height); // positive: rows bottom-up
    w.U16(kPlanes);
    w.U16(site::kBitCount);
    w.U32(site::kCompressionNone);
    w.U32(static_cast<uint32_t>(imageSize));
    w.I32(kPixelsPerMetre);
    w.I32(kPixelsPerMetre);
    w.U32(site::kPaletteEntries);
    w.U32(0);
    for (uint32_t rgb : picture.palette) {
        w.U8(static_cast<uint8_t>(rgb));
        w.U8(static_cast<uint8_t>(rgb >> 8));
        w.U8(static_cast<uint8_t>(rgb >> 16));
        w.U8(0);
    }
    w.Bytes(picture.pixels.data(), picture.pixels.size());

    for (size_t i = 0; i < site::kSignatureSize / 4; ++i) {
        w.U32(site::kPaper);
    }
    w.I32(site::kLocationRecordSize);
    w.I32(site::kReadingRecordSize);
    return true;
}
