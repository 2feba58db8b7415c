// Opening a site file for lks: read once, parsed by the program's reader, then the survey data
// walked a second time for the exact readings the reader rounds away, and the bitmap file header
// the program skips checked, so that a damaged picture is named rather than shown.
#include "SiteSummary.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <new>

#include "files/ByteReader.h"
#include "files/FileBytes.h"
#include "files/SiteFileReader.h"

namespace {

constexpr uint8_t kBitmapMagic[2] = {'B', 'M'};

// Null when the bitmap file header agrees with the picture the reader found, else why not.
const char* checkBitmapHeader(const CByteReader& in, uint32_t pictureOffset) {
    uint8_t magic[2] = {};
    uint32_t pixelOffset = 0;
    in.Bytes(pictureOffset + site::kBitmapTypeAt, magic, sizeof magic);
    in.U32(pictureOffset + site::kBitmapPixelOffsetAt, pixelOffset);
    if (magic[0] != kBitmapMagic[0] || magic[1] != kBitmapMagic[1]) {
        return "its picture lacks the bitmap's \"BM\" signature";
    }
    if (pixelOffset != site::kPixelsAt) {
        return "its picture's pixel offset does not point just after the colour table";
    }
    return nullptr;
}

// The survey data again, as the reader walked it, keeping each reading's sixteenths. The reader
// has already accepted the data, so the walk only has to follow it.
void exactReadings(const CByteReader& in, const CSiteFile& site, std::vector<SiteReading>& out) {
    out.clear();
    out.reserve(site.m_records.size());
    size_t pos = site.SurveyOffset() + site::kSurveySizesSize;
    while (in.Has(pos, site::kLocationRecordSize)) {
        SiteReading base;
        uint16_t count = 0;
        in.I32(pos + site::kLocationXAt, base.x);
        in.I32(pos + site::kLocationYAt, base.y);
        in.U16(pos + site::kLocationCountAt, count);
        pos += site::kLocationRecordSize;
        if (count == 0) {
            out.push_back(base);
        }
        for (uint16_t i = 0; i < count && in.Has(pos, site::kReadingRecordSize); ++i) {
            SiteReading r = base;
            in.I32(pos + site::kReadingChannelAt, r.channel);
            in.F64(pos + site::kReadingFrequencyAt, r.frequencyMHz);
            in.I16(pos + site::kReadingRssiAt, r.rssiX16);
            out.push_back(r);
            pos += site::kReadingRecordSize;
        }
    }
}

// The walk and the reader must agree record by record; anything else is a fault of lks.
bool sameRecords(const std::vector<SiteReading>& readings, const CSiteFile& site) {
    if (readings.size() != site.m_records.size()) {
        return false;
    }
    for (size_t i = 0; i < readings.size(); ++i) {
        const SurveyRecord& r = site.m_records[i];
        const SiteReading& e = readings[i];
        if (r.x != e.x || r.y != e.y || r.channel != e.channel ||
            (r.channel != 0 && r.rssi != e.rssiX16 / 16)) {
            return false;
        }
    }
    return true;
}

bool readWhole(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    int readError = 0;
    bool more = false;
    try {
        if (ReadFileBytes(path, SIZE_MAX, bytes, readError, more)) {
            return true;
        }
    } catch (const std::bad_alloc&) {
        readError = ENOMEM;
    }
    error = "cannot open " + path + ": " + SystemErrorText(readError);
    return false;
}

} // namespace

bool OpenSiteForTool(const std::string& path, SiteSummary& summary, std::string& error,
                     bool withHash) {
    std::vector<uint8_t> bytes;
    if (!readWhole(path, bytes, error)) {
        return false;
    }
    std::string detail;
    if (CSiteFileReader::ParseContents(bytes.data(), bytes.size(), summary.site, detail) != SF_OK) {
        error = path + " is not a site file: " + detail;
        return false;
    }
    if (summary.site.m_surveyTruncated) {
        error = path + " is truncated: its survey data ends early";
        return false;
    }
    const CByteReader in(bytes.data(), bytes.size());
    if (const char* why = checkBitmapHeader(in, summary.site.PictureOffset())) {
        error = path + " is not a site file: " + why;
        return false;
    }
    exactReadings(in, summary.site, summary.readings);
    if (!sameRecords(summary.readings, summary.site)) {
        error = path + ": its survey data reads differently on a second pass";
        return false;
    }
    const size_t signatureAt = std::min<size_t>(summary.site.SignatureOffset(), bytes.size());
    summary.signature.Parse(bytes.data() + signatureAt,
                            std::min(site::kSignatureSize, bytes.size() - signatureAt));
    summary.signatureInk = summary.signature.HasInk();
    if (!withHash) {
        return true;
    }
    summary.sha256 = QCryptographicHash::hash(QByteArrayView(bytes.data(), qsizetype(bytes.size())),
                                              QCryptographicHash::Sha256)
                         .toHex()
                         .toStdString();
    return true;
}
