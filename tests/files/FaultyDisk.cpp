// A disk that fails on demand.
#include "FaultyDisk.h"

#include <algorithm>
#include <cerrno>

void CFaultyDisk::Fail(Op op, int error, const std::string& folder, int after) {
    m_op = op;
    m_error = error;
    m_folder = folder;
    m_after = after;
}

bool CFaultyDisk::Fails(Op op, const std::string& path) {
    if (op != m_op || path.compare(0, m_folder.size(), m_folder) != 0) {
        return false;
    }
    if (m_after > 0) {
        --m_after;
        return false;
    }
    errno = m_error;
    return true;
}

int CFaultyDisk::Open(const std::string& path, int flags, mode_t mode) {
    if (Fails(kOpen, path)) {
        return -1;
    }
    const int fd = CPosixFileSystem::Open(path, flags, mode);
    if (fd >= 0) {
        m_paths[fd] = path;
    }
    return fd;
}

int CFaultyDisk::CreateTemp(std::string& pathTemplate) {
    if (Fails(kCreate, pathTemplate)) {
        return -1;
    }
    const int fd = CPosixFileSystem::CreateTemp(pathTemplate);
    if (fd >= 0) {
        m_paths[fd] = pathTemplate;
    }
    return fd;
}

ssize_t CFaultyDisk::Read(int fd, void* data, size_t size) {
    return Fails(kRead, m_paths[fd]) ? -1 : CPosixFileSystem::Read(fd, data, size);
}

ssize_t CFaultyDisk::Write(int fd, const void* data, size_t size) {
    if (m_room > 0 && m_op == kWrite && m_paths[fd].compare(0, m_folder.size(), m_folder) == 0) {
        const size_t n = std::min(size, m_room);
        m_room -= n;
        return CPosixFileSystem::Write(fd, data, n);
    }
    return Fails(kWrite, m_paths[fd]) ? -1 : CPosixFileSystem::Write(fd, data, size);
}

int CFaultyDisk::Sync(int fd) {
    return Fails(kSync, m_paths[fd]) ? -1 : CPosixFileSystem::Sync(fd);
}

int CFaultyDisk::SyncData(int fd) {
    return Fails(kSyncData, m_paths[fd]) ? -1 : CPosixFileSystem::SyncData(fd);
}

int CFaultyDisk::Close(int fd) {
    // The descriptor goes either way, as close(2) leaves it.
    const std::string path = m_paths[fd];
    m_paths.erase(fd);
    const int rc = CPosixFileSystem::Close(fd);
    return Fails(kClose, path) ? -1 : rc;
}

int CFaultyDisk::Rename(const std::string& from, const std::string& to) {
    log.push_back("rename " + from + " " + to);
    return Fails(kRename, from) ? -1 : CPosixFileSystem::Rename(from, to);
}

int CFaultyDisk::Unlink(const std::string& path) {
    log.push_back("unlink " + path);
    return CPosixFileSystem::Unlink(path);
}

int CFaultyDisk::SyncFolder(const std::string& folder) {
    log.push_back("sync-folder " + folder);
    return Fails(kSyncFolder, folder) ? -1 : CPosixFileSystem::SyncFolder(folder);
}
