// flock on a lock file that is unlinked when let go. An unlink between another program's open
// and its flock would leave it locking a file nobody else can find, so after locking the file is
// checked to still be the one at the path, and opened again when it is not.
#include "platform/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {
constexpr mode_t kLockFileMode = 0644;
constexpr int kAttempts = 8;
} // namespace

CFileLock::~CFileLock() {
    Release();
}

CFileLock::CFileLock(CFileLock&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::move(other.m_path)),
      m_created(other.m_created), m_error(other.m_error) {}

CFileLock& CFileLock::operator=(CFileLock&& other) noexcept {
    if (this != &other) {
        Release();
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::move(other.m_path);
        m_created = other.m_created;
        m_error = other.m_error;
    }
    return *this;
}

int16_t CFileLock::Acquire(const std::string& path) {
    Release();
    m_error = 0;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        bool writable = true;
        int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                        kLockFileMode);
        if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
            writable = false;
            fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        }
        if (fd < 0) {
            m_error = errno;
            return LK_FAILED;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK) {
                return LK_HELD_ELSEWHERE;
            }
            m_error = error;
            return LK_FAILED;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            m_fd = fd;
            m_path = path;
            m_created = writable;
            return LK_OK;
        }
        // The holder let go and removed the file meanwhile: lock the one at the path now.
        ::close(fd);
    }
    m_error = EAGAIN;
    return LK_FAILED;
}

void CFileLock::Release() {
    if (m_fd < 0) {
        return;
    }
    // Removed while still held, so that nobody locks the file on its way out.
    if (m_created) {
        ::unlink(m_path.c_str());
    }
    ::close(m_fd);
    m_fd = -1;
    m_path.clear();
}
