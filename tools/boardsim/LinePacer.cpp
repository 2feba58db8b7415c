// The line's pace on the monotonic clock.
#include "LinePacer.h"

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace {
constexpr int kBitsPerByte = 10; // start, 8 data, stop
constexpr int64_t kNsPerSecond = 1000000000;
} // namespace

int64_t CLinePacer::NowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * kNsPerSecond + ts.tv_nsec;
}

void CLinePacer::SleepUntilNs(int64_t deadline) {
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(deadline / kNsPerSecond);
    ts.tv_nsec = static_cast<long>(deadline % kNsPerSecond);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

int64_t CLinePacer::ByteNsAt(unsigned baud) {
    return baud == 0 ? 0 : static_cast<int64_t>(kBitsPerByte) * kNsPerSecond / baud;
}

void CLinePacer::NoteByteIn() {
    if (m_byteNs != 0) {
        m_lastByteInNs = std::max(NowNs(), m_lastByteInNs) + m_byteNs;
    }
}

void CLinePacer::AwaitInput() const {
    if (m_byteNs != 0) {
        SleepUntilNs(m_lastByteInNs);
    }
}

bool CLinePacer::Emit(const uint8_t* data, size_t length, const Writer& write) {
    if (m_byteNs == 0) {
        return write(data, length);
    }
    const int64_t now = NowNs();
    m_nextByteNs = std::max(m_nextByteNs, now);
    for (size_t i = 0; i < length; ++i) {
        SleepUntilNs(m_nextByteNs);
        if (!write(data + i, 1)) {
            return false;
        }
        m_nextByteNs += m_byteNs;
    }
    return true;
}
