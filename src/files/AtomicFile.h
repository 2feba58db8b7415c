// Replaces a file safely: the new contents go to a temporary file in the same folder, are flushed
// to disk and only then renamed over the old file, so a failure at any step leaves the old file
// exactly as it was. The folder is flushed after the rename, so the new file is the one a crash
// leaves.
#pragma once

#include <cstddef>
#include <string>
#include <sys/stat.h>

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
    // With mayReplace false it fails with EEXIST rather than replace a file that appeared at the
    // target meanwhile.
    bool Commit(bool mayReplace = true);
    void Abort();

    // The file being replaced, after links are followed.
    const std::string& TargetPath() const { return m_target; }
    // errno of the first failure.
    int Error() const { return m_error; }
    // After a Commit: whether the folder was flushed after the rename. Until it is, a crash may
    // still bring back the old file, so whatever else keeps the changes must stay.
    bool FolderSynced() const { return m_folderSynced; }
    // The new file's status as it was written (after a Commit).
    const struct stat& WrittenStatus() const { return m_written; }

    // Removes the temporary files that saves to target left when their program died (a kill or a
    // power cut during the save); those of a program still running stay. Returns how many went.
    static int RemoveLeftovers(const std::string& target, IFileSystem& fs = ThePosixFileSystem());

private:
    bool Fail(int error);

    IFileSystem& m_fs;
    std::string m_target;
    std::string m_temp;
    int m_fd = -1;
    int m_error = 0;
    bool m_folderSynced = false;
    struct stat m_written {};
};
