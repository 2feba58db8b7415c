// Replaces a file safely: the new contents go to a temporary file in the same folder, are flushed
// to disk and only then renamed over the old file, so a failure at any step leaves the old file
// exactly as it was.
#pragma once

#include <cstddef>
#include <string>

#include "files/FileSystem.h"

class CAtomicFile {
public:
    explicit CAtomicFile(IFileSystem& fs = ThePosixFileSystem());
    // Removes the temporary file of a replacement that was never committed.
    ~CAtomicFile();

    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Starts replacing target. A symbolic link is followed, so the file it names is replaced and
    // the link stays. The replacement keeps the old file's permissions (and owner, when allowed).
    bool Begin(const std::string& target);
    bool Write(const void* data, size_t size);
    // Flushes, closes and renames over the target; false (and the target untouched) on failure.
    bool Commit();
    void Abort();

    // The file being replaced, after links are followed.
    const std::string& TargetPath() const { return m_target; }
    // errno of the first failure.
    int Error() const { return m_error; }

private:
    bool Fail(int error);

    IFileSystem& m_fs;
    std::string m_target;
    std::string m_temp;
    int m_fd = -1;
    int m_error = 0;
};
