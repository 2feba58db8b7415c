// Site file saving. The new file is built from the old one's bytes up to the survey data, with
// the header and signature laid over them, so the picture and every opaque byte stay as they were.
#include "files/SiteFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <limits>
#include <new>

#include "files/AtomicFile.h"
#include "files/ByteReader.h"
#include "files/ByteWriter.h"
#include "files/CalibrationMark.h"
#include "files/FileBytes.h"
#include "files/SiteLayout.h"
#include "survey/RecordList.h"

namespace {

constexpr uint16_t kMaxReadingsPerBlock = std::numeric_limits<uint16_t>::max();

int16_t rssiToX16(int16_t rssi) {
    const int32_t v = int32_t{rssi} * 16;
    if (v > std::numeric_limits<int16_t>::max()) {
        return std::numeric_limits<int16_t>::max();
    }
    if (v < std::numeric_limits<int16_t>::min()) {
        return std::numeric_limits<int16_t>::min();
    }
    return static_cast<int16_t>(v);
}

void appendReading(CByteWriter& out, const SurveyRecord& r) {
    out.I32(r.channel);
    out.F64(r.frequencyMHz);
    out.I16(rssiToX16(r.rssi));
}

size_t openBlock(CByteWriter& out, const SurveyRecord& r) {
    const size_t at = out.Size();
    out.I32(r.x);
    out.I32(r.y);
    char name[site::kLocationNameSize] = {};
    std::memcpy(name, r.name, sizeof name);
    name[sizeof name - 1] = '\0';
    const size_t length = std::strlen(name);
    std::memset(name + length, 0, sizeof name - length);
    out.Bytes(name, sizeof name);
    out.U16(0);
    return at;
}

// The calibration mark of a block whose readings are not all calibrated, in its name's spare
// bytes.
void patchMark(CByteWriter& out, size_t blockAt, const SurveyRecord& first, uint32_t mask) {
    char name[SurveyRecord::kNameSize] = {};
    std::memcpy(name, first.name, sizeof name);
    if (calmark::Put(name, mask)) {
        out.PatchBytes(blockAt + site::kLocationNameAt, name, sizeof name);
    }
}

// The picture of the file being replaced, when it has one: its size from its info header.
bool pictureSize(const std::vector<uint8_t>& image, uint32_t pictureOffset, uint64_t& size) {
    const CByteReader in(image.data(), image.size());
    uint32_t imageSize = 0;
    if (!in.Has(pictureOffset, site::kPixelsAt) ||
        !in.U32(pictureOffset + site::kBitmapFileHeaderSize + site::kInfoImageSizeAt, imageSize)) {
        return false;
    }
    size = site::kPixelsAt + uint64_t{imageSize};
    return true;
}

// Whether the bytes read from disk still hold the site the header describes: the same kind of
// header with the same offsets and, when the bytes the open read are known, a picture of the same
// sizes. Anything else (another file moved there, a truncated copy) is not updated in place.
bool holdsSameSite(const std::vector<uint8_t>& disk, const uint8_t (&header)[site::kHeaderSize],
                   const std::vector<uint8_t>* opened) {
    if (disk.size() < site::kHeaderSize) {
        return false;
    }
    uint8_t diskHeader[site::kHeaderSize];
    std::memcpy(diskHeader, disk.data(), sizeof diskHeader);
    const CSiteLayout now(diskHeader);
    const CSiteLayout then(header);
    if (!now.IsSiteHeader() || now.m_pictureOffset != then.m_pictureOffset ||
        now.m_signatureOffset != then.m_signatureOffset ||
        now.m_surveyOffset != then.m_surveyOffset) {
        return false;
    }
    // A copy cut short (a failed transfer) lacks part of the picture.
    uint64_t picture = 0;
    if (!pictureSize(disk, then.m_pictureOffset, picture) ||
        uint64_t{then.m_pictureOffset} + picture > disk.size()) {
        return false;
    }
    if (opened == nullptr) {
        return true;
    }
    const size_t info = size_t{then.m_pictureOffset} + site::kBitmapFileHeaderSize;
    const CByteReader a(disk.data(), disk.size());
    const CByteReader b(opened->data(), opened->size());
    for (const size_t field : {site::kInfoWidthAt, site::kInfoHeightAt, site::kInfoImageSizeAt}) {
        uint32_t x = 0;
        uint32_t y = 0;
        if (!a.U32(info + field, x) || !b.U32(info + field, y) || x != y) {
            return false;
        }
    }
    uint16_t bitsNow = 0;
    uint16_t bitsThen = 0;
    return a.U16(info + site::kInfoBitCountAt, bitsNow) &&
           b.U16(info + site::kInfoBitCountAt, bitsThen) && bitsNow == bitsThen;
}

} // namespace

CSiteFileWriter::CSiteFileWriter(IFileSystem& fs) : m_fs(fs) {}

void CSiteFileWriter::AppendSignature(const SignaturePixelFn& signaturePixel,
                                      std::vector<uint8_t>& out) {
    CByteWriter w(out);
    for (int y = site::kSignatureHeight - 1; y >= 0; --y) {
        for (int x = 0; x < site::kSignatureWidth; ++x) {
            const bool ink = signaturePixel && signaturePixel(x, y) == site::kInk;
            w.U32(ink ? site::kInk : site::kPaper);
        }
    }
}

void CSiteFileWriter::AppendSurveyData(const CRecordList& list, std::vector<uint8_t>& out) {
    CByteWriter w(out);
    w.I32(site::kLocationRecordSize);
    w.I32(site::kReadingRecordSize);
    SurveyRecord* r = nullptr;
    if (list.GetAt(r, 1) != RL_OK) {
        return;
    }
    const SurveyRecord* open = nullptr;
    size_t openAt = 0;
    uint16_t count = 0;
    uint32_t uncalibrated = 0;
    const auto close = [&] {
        w.PatchU16(openAt + site::kLocationCountAt, count);
        if (uncalibrated != 0) {
            patchMark(w, openAt, *open, uncalibrated);
        }
    };
    for (; r != nullptr; list.GetNext(r)) {
        // A count is 16 bits: a longer run at one point continues in a new block there. A block
        // with an uncalibrated reading stops where its mark's mask does.
        const bool marked = uncalibrated != 0 || r->uncalibrated;
        const bool joins = open != nullptr && r->x == open->x && r->y == open->y &&
                           r->channel != 0 && count < kMaxReadingsPerBlock &&
                           (!marked || count < calmark::kMaxReadings);
        if (!joins) {
            if (open != nullptr) {
                close();
            }
            open = r;
            openAt = openBlock(w, *r);
            count = 0;
            uncalibrated = 0;
            if (r->channel == 0) {
                continue;
            }
        }
        if (r->uncalibrated) {
            uncalibrated |= 1u << count;
        }
        appendReading(w, *r);
        ++count;
    }
    close();
}

int16_t CSiteFileWriter::Save(const std::string& path, uint8_t (&header)[site::kHeaderSize],
                              const CRecordList& list, const SignaturePixelFn& signaturePixel,
                              uint32_t saveTime, const std::vector<uint8_t>* openedBytes) const {
    return Guarded(
        [&] { return SaveImage(path, header, list, signaturePixel, saveTime, openedBytes); });
}

int16_t CSiteFileWriter::Save(const std::string& path, uint8_t (&header)[site::kHeaderSize],
                              const CRecordList& list, const SignaturePixelFn& signaturePixel,
                              uint32_t saveTime, SiteSnapshot& opened) const {
    return Guarded(
        [&] { return SaveSnapshot(path, header, list, signaturePixel, saveTime, opened, true); });
}

int16_t CSiteFileWriter::SaveAs(const std::string& path, uint8_t (&header)[site::kHeaderSize],
                                const CRecordList& list, const SignaturePixelFn& signaturePixel,
                                uint32_t saveTime, SiteSnapshot& opened) const {
    return Guarded(
        [&] { return SaveSnapshot(path, header, list, signaturePixel, saveTime, opened, false); });
}

int16_t CSiteFileWriter::Guarded(const std::function<int16_t()>& save) const {
    m_lastError = 0;
    m_folderSynced = false;
    // The whole new file is built in memory; a file too big for that is a failed save, not a
    // crash that would lose the survey with it.
    try {
        return save();
    } catch (const std::bad_alloc&) {
        m_lastError = ENOMEM;
        return SF_UPDATE_FAILED;
    }
}

int16_t CSiteFileWriter::SaveImage(const std::string& path, uint8_t (&header)[site::kHeaderSize],
                                   const CRecordList& list, const SignaturePixelFn& signaturePixel,
                                   uint32_t saveTime,
                                   const std::vector<uint8_t>* openedBytes) const {
    const CSiteLayout layout(header);
    if (!layout.IsSiteHeader() || !layout.HasSignatureRoom()) {
        return SF_UPDATE_FAILED;
    }
    CAtomicFile file(m_fs);
    if (!file.Begin(path)) {
        m_lastError = file.Error();
        return SF_UPDATE_FAILED;
    }

    // The old file up to the survey data, when it still holds this site; otherwise the bytes
    // the open read.
    std::vector<uint8_t> image;
    int error = 0;
    bool more = false;
    const bool read = ReadFileBytes(file.TargetPath(), layout.m_surveyOffset, image, error, more);
    if (!read && error != ENOENT) {
        m_lastError = error;
        return SF_UPDATE_FAILED;
    }
    if (!read || !holdsSameSite(image, header, openedBytes)) {
        if (openedBytes == nullptr) {
            m_lastError = read ? 0 : error;
            return SF_UPDATE_FAILED;
        }
        image.assign(openedBytes->begin(),
                     openedBytes->begin() + static_cast<std::ptrdiff_t>(std::min<size_t>(
                                                openedBytes->size(), layout.m_surveyOffset)));
    }
    uint8_t written[site::kHeaderSize];
    if (!Compose(image, header, list, signaturePixel, saveTime, written) ||
        !WriteOut(file, image)) {
        return SF_UPDATE_FAILED;
    }
    std::memcpy(header, written, sizeof written);
    return SF_OK;
}

int16_t CSiteFileWriter::SaveSnapshot(const std::string& path, uint8_t (&header)[site::kHeaderSize],
                                      const CRecordList& list,
                                      const SignaturePixelFn& signaturePixel, uint32_t saveTime,
                                      SiteSnapshot& opened, bool checkDisk) const {
    const CSiteLayout layout(header);
    if (!layout.IsSiteHeader() || !layout.HasSignatureRoom()) {
        return SF_UPDATE_FAILED;
    }
    // A survey is written into the file it was opened from, or where that file was before it
    // went; another file put at its path is never merged into.
    SiteIdentity onDisk = opened.identity;
    if (checkDisk) {
        const int16_t state = CheckSiteOnDisk(m_fs, path, onDisk, m_lastError);
        if (state == SD_REPLACED) {
            return SF_SITE_REPLACED;
        }
        if (state == SD_UNREADABLE) {
            return SF_UPDATE_FAILED;
        }
    }
    std::vector<uint8_t> image = opened.bytesBeforeSurvey;
    uint8_t written[site::kHeaderSize];
    if (!Compose(image, header, list, signaturePixel, saveTime, written)) {
        return SF_UPDATE_FAILED;
    }
    CAtomicFile file(m_fs);
    if (!file.Begin(path)) {
        m_lastError = file.Error();
        return SF_UPDATE_FAILED;
    }
    if (!WriteOut(file, image)) {
        return SF_UPDATE_FAILED;
    }
    std::memcpy(header, written, sizeof written);
    opened.identity.SetStatus(file.WrittenStatus());
    opened.identity.print = FingerprintOf(image.data(), image.size());
    opened.surveyBytes.assign(image.begin() + layout.m_surveyOffset, image.end());
    image.resize(layout.m_surveyOffset);
    opened.bytesBeforeSurvey = std::move(image);
    return SF_OK;
}

bool CSiteFileWriter::Compose(std::vector<uint8_t>& image,
                              const uint8_t (&header)[site::kHeaderSize], const CRecordList& list,
                              const SignaturePixelFn& signaturePixel, uint32_t saveTime,
                              uint8_t (&written)[site::kHeaderSize]) const {
    const CSiteLayout layout(header);
    uint64_t picture = 0;
    if (pictureSize(image, layout.m_pictureOffset, picture) && !layout.KeepsPictureApart(picture)) {
        return false;
    }
    // Bytes never written before the survey data read as zeros, as after a seek past the end.
    image.resize(layout.m_surveyOffset, 0);

    std::memcpy(written, header, sizeof written);
    written[site::kSurveyStateAt] = site::kStateSaved;
    for (size_t i = 0; i < 4; ++i) {
        written[site::kSaveTimeAt + i] = static_cast<uint8_t>(saveTime >> (8 * i));
    }
    std::memcpy(image.data(), written, sizeof written);

    std::vector<uint8_t> signature;
    signature.reserve(site::kSignatureSize);
    AppendSignature(signaturePixel, signature);
    std::memcpy(image.data() + layout.m_signatureOffset, signature.data(), signature.size());

    AppendSurveyData(list, image);
    return true;
}

bool CSiteFileWriter::WriteOut(CAtomicFile& file, const std::vector<uint8_t>& image) const {
    if (!file.Write(image.data(), image.size()) || !file.Commit()) {
        m_lastError = file.Error();
        return false;
    }
    m_folderSynced = file.FolderSynced();
    m_lastError = file.Error();
    return true;
}
