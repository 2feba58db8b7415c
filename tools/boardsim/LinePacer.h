// The serial line's pace: each byte takes ten bit times at the board's rate. Bytes are scheduled
// against absolute deadlines, so sleeping late never makes the rate drift.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

class CLinePacer {
public:
    // Writes length bytes from data; false when the line is gone and nothing more can go.
    using Writer = std::function<bool(const uint8_t* data, size_t length)>;

    // baud 0 is no pacing at all: bytes go out as fast as the line takes them.
    explicit CLinePacer(unsigned baud = 0) : m_byteNs(ByteNsAt(baud)) {}

    static int64_t NowNs();
    static void SleepUntilNs(int64_t deadline);
    static int64_t ByteNsAt(unsigned baud);

    // A byte from the program arrived: on the real line it would have ended one byte time after
    // the previous one, or now.
    void NoteByteIn();
    // Sleeps until the last byte from the program would have arrived, so that no answer leaves
    // before its command ended.
    void AwaitInput() const;
    // Writes bytes through write at the line's pace.
    bool Emit(const uint8_t* data, size_t length, const Writer& write);

private:
    int64_t m_byteNs;
    int64_t m_nextByteNs = 0;
    int64_t m_lastByteInNs = 0;
};
