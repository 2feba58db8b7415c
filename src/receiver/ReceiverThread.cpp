// The receiver I/O thread: the only code that reads or writes the board's port. It sleeps in one
// poll until a transmission is queued or the board sends something, so it reads replies as they
// arrive and costs nothing on an idle line beyond the keep-alive.
#include "receiver/Receiver.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <poll.h>
#include <unistd.h>

#include "receiver/BoardLink.h"

namespace {
// The longest single sleep; the keep-alive clock is checked at least this often.
constexpr int64_t kMaxIdleWaitMs = 60000;
} // namespace

int64_t CReceiver::ClockTicks() const {
    // A monotonic clock: setting the wall clock back must not hold the keep-alive off.
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(now).count() / m_clockTick.count();
}

int CReceiver::MsUntilKeepAlive(int64_t mark) const {
    const int64_t tick = m_clockTick.count();
    const int64_t nowMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count();
    // Due on the first tick later than mark + kKeepAliveSeconds.
    if (mark < std::numeric_limits<int64_t>::min() / 4) {
        return 0;
    }
    const int64_t dueMs = (mark + kKeepAliveSeconds + 1) * tick;
    return static_cast<int>(std::clamp<int64_t>(dueMs - nowMs, 0, kMaxIdleWaitMs));
}

void CReceiver::WriteTransmission(CBoardLink& link) {
    uint8_t bytes[CBoardLink::kSlotSize];
    const size_t n = link.TakeTransmission(bytes);
    (void)link.Port().Write(bytes, n);
    m_transmissions.fetch_add(1);
}

unsigned CReceiver::NextByte(CBoardLink& link, uint8_t* buffer) {
    if (m_readAheadPos == m_readAheadLength) {
        m_readAheadLength = link.Port().Read(m_readAhead, sizeof m_readAhead);
        m_readAheadPos = 0;
        if (m_readAheadLength == 0) {
            return 0;
        }
    }
    buffer[0] = m_readAhead[m_readAheadPos++];
    return 1;
}

void CReceiver::ReadFromPort(CBoardLink& link, uint8_t* buffer, unsigned& got) {
    got = NextByte(link, buffer);
    // A byte takes about 260 us on the line, so an empty read inside a frame usually means the
    // next byte is on its way: wait for it rather than give the frame up at once.
    if (got == 0 && m_parser.InFrame() && link.Port().WaitReadable(kInterByteTimeoutMs)) {
        got = NextByte(link, buffer);
    }
}

void CReceiver::WaitIdle(CBoardLink& link, int timeoutMs) {
    if (m_readAheadPos < m_readAheadLength) {
        return;
    }
    pollfd fds[3] = {{link.TransmitFd(), POLLIN, 0}, {m_wakeFd, POLLIN, 0}, {-1, POLLIN, 0}};
    nfds_t count = 2;
    const auto now = std::chrono::steady_clock::now();
    if (link.IsOpen() && now >= m_hangUpUntil) {
        fds[2].fd = link.Port().Fd();
        count = 3;
    } else if (link.IsOpen()) {
        timeoutMs = std::min(timeoutMs, kHangUpRetryMs);
    }
    int r;
    do {
        r = poll(fds, count, timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (count == 3 && (fds[2].revents & POLLIN) == 0 &&
        (fds[2].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        // Nobody at the other end: the port would wake every poll at once. Leave it out for a
        // while; its bytes, if any come back, are read on the next passes.
        m_hangUpUntil = now + std::chrono::milliseconds(kHangUpRetryMs);
    }
    if ((fds[1].revents & POLLIN) != 0) {
        uint64_t drained;
        (void)!read(m_wakeFd, &drained, sizeof drained);
    }
}

int CReceiver::ReceiverThreadProc() {
    CBoardLink* link = m_link.load();
    if (link == nullptr) {
        return 0;
    }
    uint8_t buffer[1] = {};
    unsigned got = 0;
    // The first idle pass sends a keep-alive.
    int64_t keepAliveMark = std::numeric_limits<int64_t>::min() / 2;
    m_readAheadLength = m_readAheadPos = 0;
    m_hangUpUntil = std::chrono::steady_clock::time_point();
    SetParserState(CFrameParser::kReset);
    while (!m_stopRequested.load()) {
        const unsigned want = ParseByte(buffer, got);
        if (link->IsOpen() && want != 0) {
            ReadFromPort(*link, buffer, got);
        }
        const uint16_t state = GetParserState();
        if (got != 0 && state != CFrameParser::kReset && state != CFrameParser::kComplete) {
            continue;
        }
        // Between frames: send what is queued, or sleep until something happens. The wait
        // returns at once while the board's bytes are waiting, so back-to-back replies are read
        // without a pause.
        if (!link->TransmitEvent().IsSet()) {
            const int64_t now = ClockTicks();
            if (now > keepAliveMark + kKeepAliveSeconds) {
                keepAliveMark = now;
                SendKeepAlive();
            } else {
                WaitIdle(*link, MsUntilKeepAlive(keepAliveMark));
            }
        }
        if (link->TransmitEvent().IsSet()) {
            WriteTransmission(*link);
            keepAliveMark = ClockTicks();
        }
    }
    return 0;
}

bool CReceiver::StartIoThread(CBoardLink& link) {
    if (m_ioThread.joinable()) {
        return false;
    }
    m_link.store(&link);
    m_stopRequested.store(false);
    m_ioRunning.store(true);
    m_ioThread = std::thread([this] { ReceiverThreadProc(); });
    return true;
}

void CReceiver::StopIoThread() {
    if (!m_ioThread.joinable()) {
        return;
    }
    m_stopRequested.store(true);
    const uint64_t one = 1;
    (void)!write(m_wakeFd, &one, sizeof one);
    m_ioThread.join();
    m_ioRunning.store(false);
}
