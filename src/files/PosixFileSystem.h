// The file operations of a safe save and of the journal on the real file system.
#pragma once

#include "files/FileSystem.h"

class CPosixFileSystem : public IFileSystem {
public:
    int Open(const std::string& path, int flags, mode_t mode) override;
    int CreateTemp(std::string& pathTemplate) override;
    ssize_t Read(int fd, void* data, size_t size) override;
    ssize_t Write(int fd, const void* data, size_t size) override;
    int Stat(int fd, struct stat& st) override;
    int Truncate(int fd, off_t size) override;
    int Sync(int fd) override;
    int SyncData(int fd) override;
    int Close(int fd) override;
    int Rename(const std::string& from, const std::string& to) override;
    int RenameNoReplace(const std::string& from, const std::string& to) override;
    int Unlink(const std::string& path) override;
    int SyncFolder(const std::string& folder) override;
};
