// An advisory lock held through a lock file: flock(2) on it, so the lock dies with its process
// and a crash leaves nothing stale behind. The file is removed when the lock is let go.
#pragma once

#include <cstdint>
#include <string>

class CFileLock {
public:
    enum : int16_t {
        LK_OK = 0,
        LK_HELD_ELSEWHERE = -1, // another open file (another program) holds it; nothing changed
        LK_FAILED = -2,         // the lock file could not be opened (errno in Error())
    };

    CFileLock() = default;
    ~CFileLock();
    CFileLock(CFileLock&& other) noexcept;
    CFileLock& operator=(CFileLock&& other) noexcept;
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;

    // Takes the lock of path without waiting, creating the file when it can. A lock file in a
    // folder that cannot be written is still taken when it exists (read-only).
    int16_t Acquire(const std::string& path);
    void Release();

    bool IsHeld() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }
    int Error() const { return m_error; }

private:
    int m_fd = -1;
    std::string m_path;
    bool m_created = false;
    int m_error = 0;
};
