// The byte-at-a-time receive state machine for the board's frames. It is fed one byte, or "no
// byte" when a read came back empty, and says how many bytes it wants next.
#pragma once

#include <cstddef>
#include <cstdint>

class IFrameSink {
public:
    virtual ~IFrameSink();
    // A complete frame; payload stays valid (and zero beyond count) until the next frame starts.
    virtual void OnFrame(uint8_t type, const uint8_t* payload, uint16_t count) = 0;
};

class CFrameParser {
public:
    static constexpr size_t kPayloadCapacity = 8192;

    enum State : uint16_t {
        kReset = 0,      // clear the payload, then look for 11
        kSeekStart = 1,  // want the 11 of 11 12
        kSeekStart2 = 2, // want the 12
        kType = 3,       // want the type byte
        kPayload = 4,    // payload bytes until an 11
        kEscape = 5,     // after an 11: 13 ends the frame, 14 is a literal 11
        kComplete = 6,   // a frame was just delivered
        kTypeEscape = 7, // the 14 after a type of 0x11
    };

    explicit CFrameParser(IFrameSink& sink) : m_sink(sink) {}

    // got is 1 when buffer[0] holds a byte just read, 0 when the read returned nothing. Returns
    // the number of bytes to read before the next call (0 or 1).
    unsigned ParseByte(const uint8_t* buffer, unsigned got);

    uint16_t State() const { return m_state; }
    void SetState(uint16_t state) { m_state = state; }
    // Inside a frame: a start byte has been seen and the frame has not ended.
    bool InFrame() const;

    uint16_t Count() const { return m_count; }
    uint8_t Type() const { return m_type; }

private:
    // False (and the frame dropped) when the payload is already full.
    bool Append(uint8_t byte);

    IFrameSink& m_sink;
    uint16_t m_state = kReset;
    uint8_t m_type = 0;
    uint16_t m_count = 0;
    uint8_t m_payload[kPayloadCapacity] = {};
};
