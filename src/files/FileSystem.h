// The file operations that keep a survey safe (a site's save, the journal's appends, setting a
// journal aside), behind an interface so that tests can make any one of them fail the way a full
// disk, a pulled stick or a refused rename does. Results follow POSIX: -1 and errno.
#pragma once

#include <cstddef>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    virtual int Open(const std::string& path, int flags, mode_t mode) = 0;
    // Creates and opens a new file from a mkstemp-style template ending in "XXXXXX", which is
    // replaced by the name chosen. Returns the descriptor.
    virtual int CreateTemp(std::string& pathTemplate) = 0;
    virtual ssize_t Read(int fd, void* data, size_t size) = 0;
    virtual ssize_t Write(int fd, const void* data, size_t size) = 0;
    virtual int Stat(int fd, struct stat& st) = 0;
    virtual int Truncate(int fd, off_t size) = 0;
    // fsync: contents and metadata.
    virtual int Sync(int fd) = 0;
    // fdatasync: contents and what is needed to read them back (the size).
    virtual int SyncData(int fd) = 0;
    virtual int Close(int fd) = 0;
    virtual int Rename(const std::string& from, const std::string& to) = 0;
    // A rename that fails with EEXIST rather than replace what is at `to`.
    virtual int RenameNoReplace(const std::string& from, const std::string& to) = 0;
    virtual int Unlink(const std::string& path) = 0;
    // Flushes a folder, so that a file created, renamed or removed in it stays so after a crash.
    virtual int SyncFolder(const std::string& folder) = 0;
};

// The real file system of the running program.
IFileSystem& ThePosixFileSystem();
