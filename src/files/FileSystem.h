// The few file operations a safe save needs, behind an interface so that tests can make any one
// of them fail the way a full disk or a refused rename does. Results follow POSIX: -1 and errno.
#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>

class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    // Creates and opens a new file from a mkstemp-style template ending in "XXXXXX", which is
    // replaced by the name chosen. Returns the descriptor.
    virtual int CreateTemp(std::string& pathTemplate) = 0;
    virtual ssize_t Write(int fd, const void* data, size_t size) = 0;
    virtual int Sync(int fd) = 0;
    virtual int Close(int fd) = 0;
    virtual int Rename(const std::string& from, const std::string& to) = 0;
    virtual int Unlink(const std::string& path) = 0;
};

// The real file system of the running program.
IFileSystem& ThePosixFileSystem();
