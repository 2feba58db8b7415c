// Reading a whole file, or its first bytes, into memory, with the system's own error text when
// that fails. Only regular files are read, and opening never waits: a pipe or a device put where
// a file was expected is refused at once instead of hanging the window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "files/FileSystem.h"

// Opens path with flags, never blocking, and keeps it only when it is a regular file: a folder
// gives EISDIR, any other kind EINVAL. Returns the descriptor, or -1 with the reason in error.
// st, when given, receives the file's status.
int OpenRegularFile(IFileSystem& fs, const std::string& path, int flags, int& error,
                    struct stat* st = nullptr);

// What one read of a file gave.
struct FileRead {
    std::vector<uint8_t> bytes;
    int error = 0;          // errno of the failure, 0 when the read went through
    bool truncated = false; // the file holds more than maxBytes
    bool opened = false;    // the file was opened: bytes hold what came before an error
    struct stat status {};  // the file's status when it was opened
};

// Reads at most maxBytes from the start of path. A read that fails part way keeps the bytes that
// came before the failure (out.opened is true, out.error set), so that what can be read is never
// thrown away with what cannot. True when the whole read went through.
bool ReadFilePrefix(IFileSystem& fs, const std::string& path, size_t maxBytes, FileRead& out);

// Reads at most maxBytes from the start of path into out. Sets error to the errno value on
// failure (a folder gives EISDIR, any other non-regular file EINVAL). truncated tells whether
// the file holds more than was read.
bool ReadFileBytes(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out, int& error,
                   bool& truncated);

// Nothing is at path (stat says ENOENT): moved away or deleted.
bool FileIsMissing(const std::string& path);

// The size of the file at path; false when it cannot be examined.
bool FileSize(const std::string& path, uint64_t& size);

// The system's text for an errno value, as shown under "File Open Error".
std::string SystemErrorText(int error);
