// One program per site: an advisory lock held for as long as a site is open, taken before
// anything of the site (its journal, its leftovers) is touched. Its lock file lies beside the
// site (".site.lks.lock"), or in the state folder when the site's folder cannot hold one.
#pragma once

#include <cstdint>
#include <string>

#include "platform/FileLock.h"

class CSiteLock {
public:
    // CFileLock::LK_OK, LK_HELD_ELSEWHERE (another program has the site open: nothing was
    // touched) or LK_FAILED (errno in Error()). The lock held before stays until this one is
    // taken.
    int16_t Acquire(const std::string& sitePath);
    void Release();

    bool IsHeld() const { return m_lock.IsHeld(); }
    // Whether this lock is the one for sitePath (the same file, through whatever path).
    bool IsFor(const std::string& sitePath) const;
    int Error() const { return m_error; }

    static std::string PathBeside(const std::string& sitePath);
    static std::string PathInStateFolder(const std::string& sitePath);

private:
    CFileLock m_lock;
    std::string m_site;
    int m_error = 0;
};
