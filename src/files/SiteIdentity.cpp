// Site fingerprints and identities. A file whose status is unchanged is taken as unchanged; any
// other is read and compared by its digests, so a copy with the same bytes is still this site.
#include "files/SiteIdentity.h"

#include <cerrno>
#include <cstdint>

#include "files/ByteReader.h"
#include "files/FileBytes.h"
#include "files/SiteFileLayout.h"

namespace {

Digest digestOf(const uint8_t* data, size_t size, uint64_t from, uint64_t to) {
    to = to < size ? to : size;
    from = from < to ? from : to;
    return CSha256::Of(data + from, static_cast<size_t>(to - from));
}

} // namespace

bool operator==(const SiteFingerprint& a, const SiteFingerprint& b) {
    return a.saveTime == b.saveTime && a.size == b.size && a.beforeSurvey == b.beforeSurvey &&
           a.survey == b.survey && a.picture == b.picture;
}

SiteFingerprint FingerprintOf(const uint8_t* data, size_t size) {
    const CByteReader in(data, size);
    SiteFingerprint print;
    uint32_t surveyOffset = 0;
    uint32_t pictureOffset = 0;
    uint32_t imageSize = 0;
    in.U32(site::kSaveTimeAt, print.saveTime);
    in.U32(site::kSurveyOffsetAt, surveyOffset);
    in.U32(site::kPictureOffsetAt, pictureOffset);
    in.U32(size_t{pictureOffset} + site::kBitmapFileHeaderSize + site::kInfoImageSizeAt, imageSize);
    print.size = size;
    print.beforeSurvey = digestOf(data, size, 0, surveyOffset);
    print.survey = digestOf(data, size, surveyOffset, size);
    print.picture =
        digestOf(data, size, pictureOffset, uint64_t{pictureOffset} + site::kPixelsAt + imageSize);
    return print;
}

void SiteIdentity::SetStatus(const struct stat& st) {
    device = static_cast<uint64_t>(st.st_dev);
    inode = static_cast<uint64_t>(st.st_ino);
    size = static_cast<uint64_t>(st.st_size);
    mtimeSeconds = static_cast<int64_t>(st.st_mtim.tv_sec);
    mtimeNanoseconds = static_cast<int64_t>(st.st_mtim.tv_nsec);
}

bool SiteIdentity::SameStatus(const struct stat& st) const {
    SiteIdentity now;
    now.SetStatus(st);
    return now.device == device && now.inode == inode && now.size == size &&
           now.mtimeSeconds == mtimeSeconds && now.mtimeNanoseconds == mtimeNanoseconds;
}

std::vector<uint8_t> SiteSnapshot::WholeFile() const {
    std::vector<uint8_t> whole;
    whole.reserve(bytesBeforeSurvey.size() + surveyBytes.size());
    whole.insert(whole.end(), bytesBeforeSurvey.begin(), bytesBeforeSurvey.end());
    whole.insert(whole.end(), surveyBytes.begin(), surveyBytes.end());
    return whole;
}

int16_t CheckSiteOnDisk(IFileSystem& fs, const std::string& path, SiteIdentity& opened,
                        int& error) {
    error = 0;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        error = errno;
        return error == ENOENT ? SD_GONE : SD_UNREADABLE;
    }
    if (!S_ISREG(st.st_mode)) {
        return SD_REPLACED;
    }
    if (opened.SameStatus(st)) {
        return SD_UNCHANGED;
    }
    if (static_cast<uint64_t>(st.st_size) != opened.print.size) {
        return SD_REPLACED;
    }
    FileRead read;
    if (!ReadFilePrefix(fs, path, static_cast<size_t>(opened.print.size), read)) {
        error = read.error;
        return error == ENOENT ? SD_GONE : SD_UNREADABLE;
    }
    if (read.truncated || FingerprintOf(read.bytes.data(), read.bytes.size()) != opened.print) {
        return SD_REPLACED;
    }
    opened.SetStatus(read.status);
    return SD_UNCHANGED;
}
