// Site file reading: header kept verbatim, the embedded 8-bit bitmap, then location blocks up to
// the end of the file. Survey data that ends early ends loading quietly; everything before it is
// checked and refuses the file.
#include "files/SiteFileReader.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "files/ByteReader.h"
#include "files/CalibrationMark.h"
#include "files/FileBytes.h"
#include "files/SiteFile.h"
#include "files/SiteLayout.h"

namespace {

int16_t refuse(CSiteFile& site, std::string& detail, const char* why) {
    site.Clear();
    detail = why;
    return SF_NOT_SITE_FILE;
}

// Converts one location record and the reading records after it; false when the location record
// itself is cut short, which is the end of the survey data.
bool readBlock(const CByteReader& in, size_t& pos, CSiteFile& site) {
    if (!in.Has(pos, site::kLocationRecordSize)) {
        if (pos < in.Size()) {
            site.m_surveyTruncated = true;
        }
        return false;
    }
    SurveyRecord base;
    in.I32(pos + site::kLocationXAt, base.x);
    in.I32(pos + site::kLocationYAt, base.y);
    in.Bytes(pos + site::kLocationNameAt, base.name, site::kLocationNameSize);
    // A name without its NUL is cut to 31 characters; bytes after the NUL carry no meaning but
    // the calibration mark this program writes there.
    base.name[SurveyRecord::kNameSize - 1] = '\0';
    const uint32_t uncalibrated = calmark::Get(base.name);
    calmark::Put(base.name, 0);
    uint16_t count = 0;
    in.U16(pos + site::kLocationCountAt, count);
    pos += site::kLocationRecordSize;

    SitePoint point;
    point.x = base.x;
    point.y = base.y;
    point.firstRecord = static_cast<uint32_t>(site.m_records.size());
    if (count == 0) {
        base.channel = 0;
        base.frequencyMHz = 0.0;
        base.rssi = site::kNoReadingRssi;
        site.m_records.push_back(base);
        point.recordCount = 1;
        site.m_points.push_back(point);
        return true;
    }
    for (uint16_t i = 0; i < count; ++i) {
        if (!in.Has(pos, site::kReadingRecordSize)) {
            site.m_surveyTruncated = true;
            break;
        }
        SurveyRecord r = base;
        int16_t rssiX16 = 0;
        in.I32(pos + site::kReadingChannelAt, r.channel);
        in.F64(pos + site::kReadingFrequencyAt, r.frequencyMHz);
        in.I16(pos + site::kReadingRssiAt, rssiX16);
        r.rssi = static_cast<int16_t>(rssiX16 / 16);
        pos += site::kReadingRecordSize;
        site.m_records.push_back(r);
        if (r.rssi > point.strength) {
            point.strength = r.rssi;
        }
        ++point.recordCount;
    }
    calmark::Apply(uncalibrated, site.m_records.data() + point.firstRecord, point.recordCount);
    // A block cut off before its first reading leaves nothing to show or inspect: no point.
    if (point.recordCount > 0) {
        point.readingCount = point.recordCount;
        site.m_points.push_back(point);
    }
    return true;
}

// The records and points the survey data will give, so that each is allocated once: a large
// survey would otherwise be copied over and over as it grows.
size_t countRecords(const CByteReader& in, size_t pos, size_t& points) {
    size_t records = 0;
    points = 0;
    uint16_t count = 0;
    while (in.U16(pos + site::kLocationCountAt, count)) {
        pos += site::kLocationRecordSize;
        const size_t left = (in.Size() - pos) / site::kReadingRecordSize;
        const size_t readings = count < left ? count : left;
        records += count == 0 ? 1 : readings;
        points += count == 0 || readings > 0 ? 1 : 0;
        pos += readings * site::kReadingRecordSize;
    }
    return records;
}

// What the info header says about the picture's pixel rows.
struct BitmapShape {
    int32_t width = 0;
    int32_t rows = 0;
    bool topDown = false;
    uint32_t stride = 0;
    uint32_t imageSize = 0;
};

// Null when the picture at offset is an uncompressed 8-bit bitmap with a full colour table whose
// rows lie inside the file, otherwise why not.
const char* checkPicture(const CByteReader& in, size_t offset, BitmapShape& shape) {
    if (offset > in.Size()) {
        return "the picture offset lies past the end of the file";
    }
    if (!in.Has(offset, site::kPixelsAt)) {
        return "the file ends inside the picture";
    }
    const size_t info = offset + site::kBitmapFileHeaderSize;
    uint32_t infoSize = 0;
    int32_t height = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    in.U32(info + site::kInfoSizeAt, infoSize);
    in.I32(info + site::kInfoWidthAt, shape.width);
    in.I32(info + site::kInfoHeightAt, height);
    in.U16(info + site::kInfoBitCountAt, bitCount);
    in.U32(info + site::kInfoCompressionAt, compression);
    in.U32(info + site::kInfoImageSizeAt, shape.imageSize);
    in.U32(info + site::kInfoColoursUsedAt, coloursUsed);
    if (infoSize != site::kInfoHeaderSize) {
        return "the picture's info header is not the 40-byte kind";
    }
    if (bitCount != site::kBitCount || compression != site::kCompressionNone) {
        return "the picture is not an uncompressed 8-bit bitmap";
    }
    if (coloursUsed != 0 && coloursUsed != static_cast<uint32_t>(site::kPaletteEntries)) {
        return "the picture's colour table does not hold 256 entries";
    }
    if (shape.width <= 0 || height == 0 || height == INT32_MIN) {
        return "the picture has no width or height";
    }
    if (shape.imageSize == 0) {
        return "the picture's image size is 0";
    }
    shape.topDown = height < 0;
    shape.rows = shape.topDown ? -height : height;
    shape.stride = SitePicture::StrideFor(shape.width);
    if (uint64_t{shape.stride} * static_cast<uint64_t>(shape.rows) > shape.imageSize) {
        return "the picture's image size is smaller than its rows need";
    }
    if (!in.Has(offset + site::kPixelsAt, shape.imageSize)) {
        return "the file ends inside the picture";
    }
    return nullptr;
}

// The colour table as 0x00RRGGBB and the rows bottom-up, whichever way the file stores them.
void copyPicture(const CByteReader& in, size_t offset, const BitmapShape& shape,
                 SitePicture& picture) {
    picture.width = shape.width;
    picture.height = shape.rows;
    picture.stride = shape.stride;
    const size_t palette = offset + site::kBitmapFileHeaderSize + site::kInfoHeaderSize;
    for (int i = 0; i < site::kPaletteEntries; ++i) {
        uint8_t bgr[3] = {};
        in.Bytes(palette + i * site::kPaletteEntrySize, bgr, sizeof bgr);
        picture.palette[i] = uint32_t{bgr[2]} << 16 | uint32_t{bgr[1]} << 8 | bgr[0];
    }
    const uint8_t* pixels = in.Data() + offset + site::kPixelsAt;
    const size_t rowBytes = size_t{shape.stride} * static_cast<size_t>(shape.rows);
    if (!shape.topDown) {
        picture.pixels.assign(pixels, pixels + rowBytes);
        return;
    }
    picture.pixels.resize(rowBytes);
    for (int32_t r = 0; r < shape.rows; ++r) {
        std::memcpy(picture.pixels.data() + static_cast<size_t>(shape.rows - 1 - r) * shape.stride,
                    pixels + static_cast<size_t>(r) * shape.stride, shape.stride);
    }
}

// Null after reading the survey data into site (missing size words mean no points), otherwise
// why the file is refused.
const char* readSurvey(const CByteReader& in, size_t pos, CSiteFile& site) {
    int32_t locationSize = 0;
    int32_t readingSize = 0;
    if (!in.I32(pos, locationSize) || !in.I32(pos + 4, readingSize)) {
        site.m_surveyTruncated = true;
        return nullptr;
    }
    if (locationSize != site::kLocationRecordSize || readingSize != site::kReadingRecordSize) {
        return "the survey record sizes are not 42 and 14";
    }
    pos += site::kSurveySizesSize;
    size_t points = 0;
    site.m_records.reserve(countRecords(in, pos, points));
    site.m_points.reserve(points);
    while (readBlock(in, pos, site)) {
    }
    return nullptr;
}

} // namespace

int16_t CSiteFileReader::Parse(const uint8_t* data, size_t size, CSiteFile& site,
                               std::string& detail) {
    const int16_t status = ParseContents(data, size, site, detail);
    if (status == SF_OK) {
        const size_t surveyAt = std::min<size_t>(size, CSiteLayout(site.m_header).m_surveyOffset);
        site.m_snapshot.bytesBeforeSurvey.assign(data, data + surveyAt);
        site.m_snapshot.surveyBytes.assign(data + surveyAt, data + size);
        site.m_snapshot.identity.size = size;
        site.m_snapshot.identity.print = FingerprintOf(data, size);
    }
    return status;
}

int16_t CSiteFileReader::ParseContents(const uint8_t* data, size_t size, CSiteFile& site,
                                       std::string& detail) {
    site.Clear();
    detail.clear();
    const CByteReader in(data, size);
    if (!in.Bytes(0, site.m_header, site::kHeaderSize)) {
        return refuse(site, detail, "the file ends inside the header");
    }
    const CSiteLayout layout(site.m_header);
    if (layout.m_headerLength < static_cast<int32_t>(site::kHeaderSize)) {
        return refuse(site, detail, "the header length is below 150");
    }
    if (layout.m_magic != site::kMagic) {
        return refuse(site, detail, "the magic number is wrong");
    }
    BitmapShape shape;
    if (const char* why = checkPicture(in, layout.m_pictureOffset, shape)) {
        return refuse(site, detail, why);
    }
    if (!layout.HasSignatureRoom()) {
        return refuse(site, detail,
                      "less than 80,000 bytes lie between the signature and the survey data");
    }
    if (!layout.KeepsPictureApart(site::kPixelsAt + uint64_t{shape.imageSize})) {
        return refuse(site, detail, "the picture overlaps the header, signature or survey data");
    }
    if (const char* why = readSurvey(in, layout.m_surveyOffset, site)) {
        return refuse(site, detail, why);
    }
    copyPicture(in, layout.m_pictureOffset, shape, site.m_picture);
    return SF_OK;
}

int16_t CSiteFileReader::Read(const std::string& path, CSiteFile& site, std::string& detail) {
    // A file too large to hold in memory is reported like one that cannot be read.
    try {
        return ReadFile(path, site, detail);
    } catch (const std::bad_alloc&) {
        site.Clear();
        detail = SystemErrorText(ENOMEM);
        return SF_OPEN_FAILED;
    }
}

int16_t CSiteFileReader::ReadFile(const std::string& path, CSiteFile& site, std::string& detail) {
    site.Clear();
    FileRead read;
    // The header first, so that a large file of another kind is refused without reading it all.
    if (!ReadFilePrefix(ThePosixFileSystem(), path, site::kHeaderSize, read)) {
        detail = SystemErrorText(read.error);
        return SF_OPEN_FAILED;
    }
    if (read.truncated) {
        uint8_t header[site::kHeaderSize] = {};
        std::memcpy(header, read.bytes.data(), sizeof header);
        if (CSiteLayout(header).IsSiteHeader() &&
            !ReadFilePrefix(ThePosixFileSystem(), path, SIZE_MAX, read)) {
            detail = SystemErrorText(read.error);
            return SF_OPEN_FAILED;
        }
    }
    const int16_t status = Parse(read.bytes.data(), read.bytes.size(), site, detail);
    if (status == SF_OK) {
        site.m_snapshot.identity.SetStatus(read.status);
    }
    return status;
}
