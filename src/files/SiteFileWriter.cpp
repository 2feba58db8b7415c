// Site file saving. The new file is built from the old one's bytes up to the survey data, with
// the header and signature laid over them, so the picture and every opaque byte stay as they were.
#include "files/SiteFileWriter.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <new>

#include "files/AtomicFile.h"
#include "files/ByteReader.h"
#include "files/ByteWriter.h"
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
    for (; r != nullptr; list.GetNext(r)) {
        // A count is 16 bits: a longer run at one point continues in a new block there.
        const bool joins = open != nullptr && r->x == open->x && r->y == open->y &&
                           r->channel != 0 && count < kMaxReadingsPerBlock;
        if (!joins) {
            if (open != nullptr) {
                w.PatchU16(openAt + site::kLocationCountAt, count);
            }
            open = r;
            openAt = openBlock(w, *r);
            count = 0;
            if (r->channel == 0) {
                continue;
            }
        }
        appendReading(w, *r);
        ++count;
    }
    w.PatchU16(openAt + site::kLocationCountAt, count);
}

int16_t CSiteFileWriter::Save(const std::string& path, uint8_t (&header)[site::kHeaderSize],
                              const CRecordList& list, const SignaturePixelFn& signaturePixel,
                              uint32_t saveTime) const {
    // The whole new file is built in memory; a file too big for that is a failed save, not a
    // crash that would lose the survey with it.
    try {
        return SaveImage(path, header, list, signaturePixel, saveTime);
    } catch (const std::bad_alloc&) {
        m_lastError = ENOMEM;
        return SF_UPDATE_FAILED;
    }
}

int16_t CSiteFileWriter::SaveImage(const std::string& path, uint8_t (&header)[site::kHeaderSize],
                                   const CRecordList& list, const SignaturePixelFn& signaturePixel,
                                   uint32_t saveTime) const {
    m_lastError = 0;
    const CSiteLayout layout(header);
    if (!layout.IsSiteHeader() || !layout.HasSignatureRoom()) {
        return SF_UPDATE_FAILED;
    }
    CAtomicFile file(m_fs);
    if (!file.Begin(path)) {
        m_lastError = file.Error();
        return SF_UPDATE_FAILED;
    }

    // The old file up to the survey data; a missing file starts empty, as creating it would.
    std::vector<uint8_t> image;
    int error = 0;
    bool more = false;
    if (!ReadFileBytes(file.TargetPath(), layout.m_surveyOffset, image, error, more) &&
        error != ENOENT) {
        m_lastError = error;
        return SF_UPDATE_FAILED;
    }
    uint64_t picture = 0;
    if (pictureSize(image, layout.m_pictureOffset, picture) && !layout.KeepsPictureApart(picture)) {
        return SF_UPDATE_FAILED;
    }
    // Bytes never written before the survey data read as zeros, as after a seek past the end.
    image.resize(layout.m_surveyOffset, 0);

    uint8_t written[site::kHeaderSize];
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

    if (!file.Write(image.data(), image.size()) || !file.Commit()) {
        m_lastError = file.Error();
        return SF_UPDATE_FAILED;
    }
    std::memcpy(header, written, sizeof written);
    return SF_OK;
}
