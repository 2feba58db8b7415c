// Temporary file, fsync, rename: the order that lets a crash or a full disk cost only the new
// contents, never the old ones.
#include "files/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/Folders.h"

namespace {
constexpr mode_t kNewFileMode = 0644;
} // namespace

CAtomicFile::CAtomicFile(IFileSystem& fs) : m_fs(fs) {}

CAtomicFile::~CAtomicFile() {
    Abort();
}

bool CAtomicFile::Begin(const std::string& target) {
    Abort();
    m_error = 0;
    char resolved[PATH_MAX];
    if (::realpath(target.c_str(), resolved) != nullptr) {
        m_target = resolved;
    } else if (errno == ENOENT) {
        m_target = target;
    } else {
        return Fail(errno);
    }
    struct stat st {};
    const bool exists = ::stat(m_target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        return Fail(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    }
    m_temp = FolderOf(m_target) + "/." + NameOf(m_target) + ".XXXXXX";
    m_fd = m_fs.CreateTemp(m_temp);
    if (m_fd < 0) {
        const int error = errno;
        m_temp.clear();
        return Fail(error);
    }
    if (exists) {
        ::fchmod(m_fd, st.st_mode & 07777);
        // Only possible for a privileged user; otherwise the file becomes the saver's own.
        if (::fchown(m_fd, st.st_uid, st.st_gid) != 0) {
            errno = 0;
        }
    } else {
        ::fchmod(m_fd, kNewFileMode);
    }
    return true;
}

bool CAtomicFile::Write(const void* data, size_t size) {
    if (m_fd < 0) {
        return Fail(m_error != 0 ? m_error : EBADF);
    }
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = m_fs.Write(m_fd, p, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fail(errno);
        }
        if (n == 0) {
            return Fail(ENOSPC);
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool CAtomicFile::Commit() {
    if (m_fd < 0) {
        return Fail(m_error != 0 ? m_error : EBADF);
    }
    if (m_fs.Sync(m_fd) != 0) {
        return Fail(errno);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (m_fs.Close(fd) != 0) {
        return Fail(errno);
    }
    if (m_fs.Rename(m_temp, m_target) != 0) {
        return Fail(errno);
    }
    m_temp.clear();
    SyncFolder(FolderOf(m_target));
    return true;
}

void CAtomicFile::Abort() {
    if (m_fd >= 0) {
        m_fs.Close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        m_fs.Unlink(m_temp);
        m_temp.clear();
    }
}

bool CAtomicFile::Fail(int error) {
    if (m_error == 0) {
        m_error = error != 0 ? error : EIO;
    }
    Abort();
    return false;
}
