// Frame encoding.
#include "receiver/FrameCodec.h"

namespace {
bool Put(uint8_t*& at, uint8_t* end, uint8_t byte) {
    if (at == end) {
        return false;
    }
    *at++ = byte;
    return true;
}

bool PutEscaped(uint8_t*& at, uint8_t* end, uint8_t byte) {
    return Put(at, end, byte) && (byte != kFrameEscape || Put(at, end, kFrameLiteral));
}
} // namespace

size_t EncodeFrame(uint8_t type, const uint8_t* data, size_t length, uint8_t* out,
                   size_t capacity) {
    uint8_t* at = out;
    uint8_t* const end = out + capacity;
    bool ok = Put(at, end, kFrameEscape) && Put(at, end, kFrameStart) && PutEscaped(at, end, type);
    for (size_t i = 0; ok && i < length; ++i) {
        ok = PutEscaped(at, end, data[i]);
    }
    ok = ok && Put(at, end, kFrameEscape) && Put(at, end, kFrameEnd);
    return ok ? static_cast<size_t>(at - out) : 0;
}
