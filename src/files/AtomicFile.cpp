// Temporary file, fsync, rename, folder fsync: the order that lets a crash or a full disk cost
// only the new contents, never the old ones. A temporary file is named after its target and the
// process that writes it (".site.lks.save-1234-Ab3xYz"), so one left by a dead program is known.
#include "files/AtomicFile.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/Folders.h"

namespace {

constexpr mode_t kNewFileMode = 0644;
constexpr const char* kTempTag = ".save-";
constexpr size_t kRandomChars = 6;

std::string tempPrefix(const std::string& target) {
    return "." + NameOf(target) + kTempTag;
}

// The writer's process id when name is one of target's temporary files, otherwise 0.
long tempOwner(const std::string& name, const std::string& prefix) {
    if (name.compare(0, prefix.size(), prefix) != 0) {
        return 0;
    }
    size_t at = prefix.size();
    long pid = 0;
    while (at < name.size() && std::isdigit(static_cast<unsigned char>(name[at])) &&
           pid < LONG_MAX / 10) {
        pid = pid * 10 + (name[at++] - '0');
    }
    if (at == prefix.size() || at >= name.size() || name[at] != '-' ||
        name.size() != at + 1 + kRandomChars) {
        return 0;
    }
    for (size_t i = at + 1; i < name.size(); ++i) {
        if (!std::isalnum(static_cast<unsigned char>(name[i]))) {
            return 0;
        }
    }
    return pid;
}

bool processIsGone(long pid) {
    return pid != static_cast<long>(::getpid()) && ::kill(static_cast<pid_t>(pid), 0) != 0 &&
           errno == ESRCH;
}

} // namespace

CAtomicFile::CAtomicFile(IFileSystem& fs) : m_fs(fs) {}

CAtomicFile::~CAtomicFile() {
    Abort();
}

bool CAtomicFile::Begin(const std::string& target) {
    Abort();
    m_error = 0;
    m_folderSynced = false;
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
    m_temp = FolderOf(m_target) + "/" + tempPrefix(m_target) + std::to_string(::getpid()) + "-" +
             std::string(kRandomChars, 'X');
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

bool CAtomicFile::Commit(bool mayReplace) {
    if (m_fd < 0) {
        return Fail(m_error != 0 ? m_error : EBADF);
    }
    if (m_fs.Sync(m_fd) != 0 || m_fs.Stat(m_fd, m_written) != 0) {
        return Fail(errno);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (m_fs.Close(fd) != 0) {
        return Fail(errno);
    }
    const int renamed =
        mayReplace ? m_fs.Rename(m_temp, m_target) : m_fs.RenameNoReplace(m_temp, m_target);
    if (renamed != 0) {
        return Fail(errno);
    }
    m_temp.clear();
    m_folderSynced = m_fs.SyncFolder(FolderOf(m_target)) == 0;
    if (!m_folderSynced) {
        m_error = errno != 0 ? errno : EIO;
    }
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

int CAtomicFile::RemoveLeftovers(const std::string& target, IFileSystem& fs) {
    const std::string resolved = AbsolutePath(target);
    const std::string folder = FolderOf(resolved);
    const std::string prefix = tempPrefix(resolved);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const long owner = tempOwner(name, prefix);
        struct stat st {};
        const std::string path = folder + "/" + name;
        if (owner > 0 && processIsGone(owner) && ::lstat(path.c_str(), &st) == 0 &&
            S_ISREG(st.st_mode) && fs.Unlink(path) == 0) {
            ++removed;
        }
    }
    ::closedir(dir);
    if (removed > 0) {
        fs.SyncFolder(folder);
    }
    return removed;
}
