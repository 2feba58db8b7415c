// The file operations of a safe save on the real file system.
#pragma once

#include "files/FileSystem.h"

class CPosixFileSystem : public IFileSystem {
public:
    int CreateTemp(std::string& pathTemplate) override;
    ssize_t Write(int fd, const void* data, size_t size) override;
    int Sync(int fd) override;
    int Close(int fd) override;
    int Rename(const std::string& from, const std::string& to) override;
    int Unlink(const std::string& path) override;
};
