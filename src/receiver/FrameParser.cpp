// The receive state machine.
#include "receiver/FrameParser.h"

#include <cstring>

#include "receiver/FrameCodec.h"

IFrameSink::~IFrameSink() = default;

bool CFrameParser::InFrame() const {
    return m_state == kSeekStart2 || m_state == kType || m_state == kPayload ||
           m_state == kEscape || m_state == kTypeEscape;
}

bool CFrameParser::Append(uint8_t byte) {
    if (m_count >= kPayloadCapacity) {
        // Longer than any reply the board sends: drop the frame rather than write past the
        // buffer or wrap the count.
        m_state = kReset;
        return false;
    }
    m_payload[m_count++] = byte;
    return true;
}

unsigned CFrameParser::ParseByte(const uint8_t* buffer, unsigned got) {
    const bool have = got != 0;
    const uint8_t b = have ? buffer[0] : 0;
    switch (m_state) {
    case kReset:
        // Only the bytes the last frame stored can be non-zero.
        std::memset(m_payload, 0, m_count);
        m_count = 0;
        m_state = kSeekStart;
        return 1;
    case kSeekStart:
        if (have && b == kFrameEscape) {
            m_state = kSeekStart2;
            return 1;
        }
        m_state = kReset;
        return 0;
    case kSeekStart2:
        if (have && b == kFrameStart) {
            m_state = kType;
            return 1;
        }
        m_state = kReset;
        return 0;
    case kType:
        if (!have) {
            m_state = kReset;
            return 0;
        }
        m_type = b;
        m_state = b == kFrameEscape ? kTypeEscape : kPayload;
        return 1;
    case kPayload:
        if (!have) {
            m_state = kReset;
            return 0;
        }
        if (b == kFrameEscape) {
            m_state = kEscape;
            return 1;
        }
        return Append(b) ? 1 : 0;
    case kEscape:
        if (!have) {
            m_state = kReset;
            return 1;
        }
        if (b == kFrameEnd) {
            m_state = kComplete;
            m_sink.OnFrame(m_type, m_payload, m_count);
            return 0;
        }
        if (b == kFrameLiteral) {
            if (!Append(kFrameEscape)) {
                return 0;
            }
            m_state = kPayload;
            return 1;
        }
        m_state = kReset;
        return 0;
    case kComplete:
        m_state = kReset;
        return 0;
    case kTypeEscape:
        if (!have) {
            m_state = kReset;
            return 0;
        }
        m_state = kPayload;
        return 1;
    default:
        m_state = kReset;
        return 0;
    }
}
