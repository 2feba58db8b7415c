// Fuzzes the board's receive state machine as the I/O thread drives it (bytes and empty reads
// interleaved) and checks what it promises: payloads within the buffer and zero past their count,
// and every delivered frame surviving a round trip through the encoder.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"
#include "receiver/FrameCodec.h"
#include "receiver/FrameParser.h"

namespace {
// How far past a payload's end the zero bytes are checked; the whole buffer would be too slow.
constexpr size_t kZeroTail = 16;

struct Frame {
    uint8_t type;
    std::vector<uint8_t> payload;
};

class CCheckingSink : public IFrameSink {
public:
    void OnFrame(uint8_t type, const uint8_t* payload, uint16_t count) override {
        check(count <= CFrameParser::kPayloadCapacity);
        for (size_t i = count; i < count + kZeroTail && i < CFrameParser::kPayloadCapacity; ++i) {
            check(payload[i] == 0);
        }
        frames.push_back({type, std::vector<uint8_t>(payload, payload + count)});
    }
    std::vector<Frame> frames;
};

// Feeds bytes the way the I/O thread does: a byte when the parser wants one, or an empty read
// where the schedule says the line paused (never twice running, so the line always moves on);
// got keeps its value when no read is made.
void drive(CFrameParser& parser, const uint8_t* bytes, size_t size, const uint8_t* pauses,
           size_t pauseCount) {
    uint8_t buffer[1] = {};
    unsigned got = 0;
    size_t pos = 0;
    size_t step = 0;
    // Every state reaches a read within three calls, so this bound is never what stops the loop.
    const size_t maxSteps = 4 * (size + pauseCount) + 8;
    for (size_t n = 0; pos < size && n < maxSteps; ++n) {
        const unsigned want = parser.ParseByte(buffer, got);
        check(want <= 1);
        if (want == 0) {
            continue;
        }
        const bool pause = got != 0 && pauseCount > 0 && (pauses[step++ % pauseCount] & 0x0F) == 0;
        if (pause) {
            got = 0;
        } else {
            buffer[0] = bytes[pos++];
            got = 1;
        }
    }
    check(pos == size);
    // The last byte read is still to be parsed.
    parser.ParseByte(buffer, got);
}

// A frame encodes and parses back to itself when it fits the command buffer.
void checkRoundTrip(const Frame& frame) {
    uint8_t encoded[kMaxFrameSize];
    const size_t n = EncodeFrame(frame.type, frame.payload.data(), frame.payload.size(), encoded,
                                 sizeof encoded);
    if (n == 0) {
        return;
    }
    CCheckingSink sink;
    CFrameParser parser(sink);
    drive(parser, encoded, n, nullptr, 0);
    check(sink.frames.size() == 1);
    check(sink.frames[0].type == frame.type);
    check(sink.frames[0].payload == frame.payload);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The last quarter of the input schedules the empty reads; the rest is the line.
    const size_t lineBytes = size - size / 4;
    CCheckingSink sink;
    CFrameParser parser(sink);
    drive(parser, data, lineBytes, data + lineBytes, size - lineBytes);
    for (const Frame& frame : sink.frames) {
        checkRoundTrip(frame);
    }
    // The line itself as one frame's payload: whatever it holds is escaped and comes back.
    if (size > 0) {
        const size_t n = size - 1 < 61 ? size - 1 : 61;
        checkRoundTrip({data[0], std::vector<uint8_t>(data + 1, data + 1 + n)});
    }
    return 0;
}
