// CWakeFd over an eventfd.
#include "platform/WakeFd.h"

#include <cerrno>
#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

CWakeFd::CWakeFd() : m_fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

CWakeFd::~CWakeFd() {
    if (m_fd >= 0) {
        close(m_fd);
    }
}

bool CWakeFd::Signal() {
    if (m_fd < 0) {
        return false;
    }
    const uint64_t one = 1;
    ssize_t n;
    do {
        n = write(m_fd, &one, sizeof one);
    } while (n < 0 && errno == EINTR);
    // EAGAIN: the counter is full, so the descriptor is readable already.
    return n == static_cast<ssize_t>(sizeof one) || (n < 0 && errno == EAGAIN);
}

bool CWakeFd::Drain() {
    if (m_fd < 0) {
        return false;
    }
    uint64_t count = 0;
    ssize_t n;
    do {
        n = read(m_fd, &count, sizeof count);
    } while (n < 0 && errno == EINTR);
    // EAGAIN: nothing was signalled since the last drain.
    return n == static_cast<ssize_t>(sizeof count) || (n < 0 && errno == EAGAIN);
}

int CWakeFd::CapWait(int ms) const {
    if (m_fd >= 0) {
        return ms;
    }
    return ms < 0 || ms > kFallbackPollMs ? kFallbackPollMs : ms;
}
