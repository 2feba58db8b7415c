// CFdStream: non-blocking reads and writes and one poll over the stream and its wake-ups.
#include "platform/FdStream.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

IByteStream::~IByteStream() = default;

namespace {
// The most descriptors a caller wakes the stream with (the I/O thread uses two).
constexpr size_t kMaxWakeFds = 6;

int pollRetrying(pollfd* fds, nfds_t count, int ms) {
    int r;
    do {
        r = ::poll(fds, count, ms);
    } while (r < 0 && errno == EINTR);
    return r;
}
} // namespace

CFdStream::~CFdStream() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool CFdStream::IsLossError(int error) {
    return error == EIO || error == ENXIO || error == ENODEV || error == EPIPE ||
           error == ECONNRESET;
}

void CFdStream::Adopt(int fd) {
    Close();
    m_fd = fd;
    struct stat st {};
    m_socket = fd >= 0 && fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode);
}

void CFdStream::NoteError(int error) {
    if (IsLossError(error)) {
        m_lost = true;
    }
}

void CFdStream::NoteEvents(short revents) {
    // A hung-up line also reads as readable; the hang-up is what counts.
    if ((revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        m_lost = true;
    }
}

size_t CFdStream::Read(uint8_t* buffer, size_t size) {
    if (m_fd < 0 || m_lost) {
        return 0;
    }
    ssize_t n;
    do {
        n = ::read(m_fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        NoteError(errno);
        return 0;
    }
    // 0 is "nothing buffered" on a terminal read with VMIN 0, and also what a hung-up line
    // returns; the poll that follows tells the two apart.
    return static_cast<size_t>(n);
}

size_t CFdStream::Write(const uint8_t* data, size_t length, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    size_t done = 0;
    while (m_fd >= 0 && !m_lost && done < length) {
        // A socket whose far end has gone must fail the write, not raise SIGPIPE.
        const ssize_t n = m_socket ? ::send(m_fd, data + done, length - done, MSG_NOSIGNAL)
                                   : ::write(m_fd, data + done, length - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n == 0) {
            break;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            NoteError(errno);
            break;
        }
        // The driver's buffer is full: wait for room, but not for ever.
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || (Wait(kWritable, static_cast<int>(left)) & kWritable) == 0) {
            break;
        }
    }
    return done;
}

unsigned CFdStream::Wait(unsigned events, int ms, const int* wakeFds, size_t wakeCount) {
    if (m_fd < 0 || m_lost) {
        return 0;
    }
    wakeCount = std::min(wakeCount, kMaxWakeFds);
    pollfd fds[2 + kMaxWakeFds] = {};
    short want = 0;
    want |= (events & kReadable) != 0 ? POLLIN : 0;
    want |= (events & kWritable) != 0 ? POLLOUT : 0;
    fds[0] = {m_fd, want, 0};
    fds[1] = {ExtraWatchFd(), POLLIN, 0};
    for (size_t i = 0; i < wakeCount; ++i) {
        fds[2 + i] = {wakeFds[i], POLLIN, 0};
    }
    const int check = ExtraCheckMs();
    if (fds[1].fd < 0 && check >= 0) {
        ms = ms < 0 ? check : std::min(ms, check);
    }
    const int r = pollRetrying(fds, static_cast<nfds_t>(2 + wakeCount), ms);
    if (r < 0) {
        return 0;
    }
    NoteEvents(fds[0].revents);
    if ((fds[1].fd < 0 && check >= 0) || fds[1].revents != 0) {
        CheckDevice();
    }
    if (m_lost) {
        return 0;
    }
    unsigned seen = 0;
    seen |= (fds[0].revents & POLLIN) != 0 ? kReadable : 0;
    seen |= (fds[0].revents & POLLOUT) != 0 ? kWritable : 0;
    return seen & events;
}

void CFdStream::Close(unsigned) {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_lost = false;
}
