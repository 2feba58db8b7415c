// POSIX calls behind the file-system seam.
#include "files/PosixFileSystem.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

int CPosixFileSystem::CreateTemp(std::string& pathTemplate) {
    std::vector<char> buffer(pathTemplate.begin(), pathTemplate.end());
    buffer.push_back('\0');
    const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd >= 0) {
        pathTemplate.assign(buffer.data());
    }
    return fd;
}

ssize_t CPosixFileSystem::Write(int fd, const void* data, size_t size) {
    return ::write(fd, data, size);
}

int CPosixFileSystem::Sync(int fd) {
    return ::fsync(fd);
}

int CPosixFileSystem::Close(int fd) {
    return ::close(fd);
}

int CPosixFileSystem::Rename(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str());
}

int CPosixFileSystem::Unlink(const std::string& path) {
    return ::unlink(path.c_str());
}

IFileSystem& ThePosixFileSystem() {
    static CPosixFileSystem fs;
    return fs;
}
