// What makes a site file the one this program opened: digests of its bytes, which bind a journal
// to exactly the file its changes apply to, and its identity on disk, which a save checks before
// it writes so that a survey is never merged into another file put at the same path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "files/FileSystem.h"
#include "files/Sha256.h"

struct SiteFingerprint {
    uint32_t saveTime = 0; // header bytes 134 to 137
    uint64_t size = 0;     // the whole file
    Digest beforeSurvey{}; // header, picture and signature: the bytes before the survey data
    Digest survey{};       // the survey data
    // The picture alone: tells "this plan, saved or changed since" from "another plan".
    Digest picture{};
};

bool operator==(const SiteFingerprint& a, const SiteFingerprint& b);
inline bool operator!=(const SiteFingerprint& a, const SiteFingerprint& b) {
    return !(a == b);
}

// The fingerprint of a site file image. The survey data starts at the header's offset (the end
// of the image when that lies past it); the picture's extent comes from its info header.
SiteFingerprint FingerprintOf(const uint8_t* data, size_t size);

struct SiteIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t mtimeSeconds = 0;
    int64_t mtimeNanoseconds = 0;
    SiteFingerprint print;

    void SetStatus(const struct stat& st);
    bool SameStatus(const struct stat& st) const;
};

// A site file as this program last read or wrote it: enough to write the whole file again, and
// what it was.
struct SiteSnapshot {
    std::vector<uint8_t> bytesBeforeSurvey;
    std::vector<uint8_t> surveyBytes;
    SiteIdentity identity;

    // The whole file as it was read or written.
    std::vector<uint8_t> WholeFile() const;
};

enum : int16_t {
    SD_UNCHANGED = 0,   // the file opened (or the same bytes, rewritten by a copy or a sync)
    SD_GONE = 1,        // moved away or deleted: nothing at the path
    SD_REPLACED = 2,    // other bytes, or something that is not a file, at the path
    SD_UNREADABLE = -1, // the file is there but cannot be read (errno in error)
};

// Compares what is at path now with the file opened. On SD_UNCHANGED, opened takes the file's
// status now, so that the next look is quick again.
int16_t CheckSiteOnDisk(IFileSystem& fs, const std::string& path, SiteIdentity& opened, int& error);
