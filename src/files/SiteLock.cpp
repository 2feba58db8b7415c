// The site lock's place: the lock file follows the site's real path, so two names of one file
// (a symbolic link, a relative path) meet at one lock.
#include "files/SiteLock.h"

#include <cerrno>

#include "files/Folders.h"

namespace {
constexpr const char* kSuffix = ".lock";
} // namespace

std::string CSiteLock::PathBeside(const std::string& sitePath) {
    const std::string real = AbsolutePath(sitePath);
    return FolderOf(real) + "/." + NameOf(real) + kSuffix;
}

std::string CSiteLock::PathInStateFolder(const std::string& sitePath) {
    return StatePathFor(sitePath, kSuffix);
}

int16_t CSiteLock::Acquire(const std::string& sitePath) {
    m_error = 0;
    if (IsFor(sitePath)) {
        return CFileLock::LK_OK;
    }
    CFileLock lock;
    int16_t rc = lock.Acquire(PathBeside(sitePath));
    if (rc == CFileLock::LK_FAILED) {
        // A folder where no lock file can be made (a mounted plan library): the user's own
        // state folder holds it, which keeps two of this user's programs apart.
        const std::string other = PathInStateFolder(sitePath);
        rc = MakeFolders(FolderOf(other)) ? lock.Acquire(other)
                                          : static_cast<int16_t>(CFileLock::LK_FAILED);
    }
    if (rc != CFileLock::LK_OK) {
        m_error = rc == CFileLock::LK_FAILED ? (lock.Error() != 0 ? lock.Error() : errno) : 0;
        return rc;
    }
    m_lock = std::move(lock);
    m_site = AbsolutePath(sitePath);
    return rc;
}

void CSiteLock::Release() {
    m_lock.Release();
    m_site.clear();
}

bool CSiteLock::IsFor(const std::string& sitePath) const {
    return m_lock.IsHeld() && m_site == AbsolutePath(sitePath);
}
