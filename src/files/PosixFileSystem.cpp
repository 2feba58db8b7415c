// POSIX calls behind the file-system seam.
#include "files/PosixFileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

int CPosixFileSystem::Open(const std::string& path, int flags, mode_t mode) {
    return ::open(path.c_str(), flags | O_CLOEXEC, mode);
}

int CPosixFileSystem::CreateTemp(std::string& pathTemplate) {
    std::vector<char> buffer(pathTemplate.begin(), pathTemplate.end());
    buffer.push_back('\0');
    const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd >= 0) {
        pathTemplate.assign(buffer.data());
    }
    return fd;
}

ssize_t CPosixFileSystem::Read(int fd, void* data, size_t size) {
    return ::read(fd, data, size);
}

ssize_t CPosixFileSystem::Write(int fd, const void* data, size_t size) {
    return ::write(fd, data, size);
}

int CPosixFileSystem::Stat(int fd, struct stat& st) {
    return ::fstat(fd, &st);
}

int CPosixFileSystem::Truncate(int fd, off_t size) {
    return ::ftruncate(fd, size);
}

int CPosixFileSystem::Sync(int fd) {
    return ::fsync(fd);
}

int CPosixFileSystem::SyncData(int fd) {
    return ::fdatasync(fd);
}

int CPosixFileSystem::Close(int fd) {
    return ::close(fd);
}

int CPosixFileSystem::Rename(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str());
}

int CPosixFileSystem::RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return -1;
    }
    // A file system without the flag: a look first leaves only a moment for a race.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return -1;
    }
    return std::rename(from.c_str(), to.c_str());
}

int CPosixFileSystem::Unlink(const std::string& path) {
    return ::unlink(path.c_str());
}

int CPosixFileSystem::SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    const int rc = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    errno = error;
    return rc;
}

IFileSystem& ThePosixFileSystem() {
    static CPosixFileSystem fs;
    return fs;
}
