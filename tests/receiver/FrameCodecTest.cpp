// The frame format: encoding with escapes, and the receive state machine fed as the I/O thread
// feeds it (one byte, or "no byte" when a read came back empty).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receiver/FrameCodec.h"
#include "receiver/FrameParser.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Encode(uint8_t type, const Bytes& data) {
    uint8_t out[kMaxFrameSize];
    const size_t n = EncodeFrame(type, data.data(), data.size(), out, sizeof out);
    return Bytes(out, out + n);
}

struct Frame {
    uint8_t type;
    Bytes payload;
    bool zeroBeyond; // the buffer reads 0 past the payload
};

class Recorder : public IFrameSink {
public:
    void OnFrame(uint8_t type, const uint8_t* payload, uint16_t count) override {
        bool zero = true;
        for (size_t i = count; i < count + 16u && i < CFrameParser::kPayloadCapacity; ++i) {
            zero = zero && payload[i] == 0;
        }
        frames.push_back({type, Bytes(payload, payload + count), zero});
    }
    std::vector<Frame> frames;
};

// Feeds the parser the way the I/O loop does. A 'gap' entry (-1) stands for a read that came
// back empty while the parser wanted a byte.
void Drive(CFrameParser& parser, const std::vector<int>& input) {
    uint8_t buf[1] = {};
    unsigned got = 0;
    size_t at = 0;
    for (int pass = 0; pass < static_cast<int>(input.size()) * 4 + 8; ++pass) {
        const unsigned want = parser.ParseByte(buf, got);
        if (want == 0) {
            continue; // no read: got keeps its value, as in the loop
        }
        if (at < input.size() && input[at] >= 0) {
            buf[0] = static_cast<uint8_t>(input[at++]);
            got = 1;
        } else {
            if (at < input.size()) {
                ++at; // the gap is consumed
            }
            got = 0;
        }
    }
}

std::vector<int> In(const Bytes& bytes) {
    return std::vector<int>(bytes.begin(), bytes.end());
}

std::vector<int> Cat(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(FrameEncode, CommandsWithoutAndWithEscapedData) {
    EXPECT_EQ(Encode(0x01, {}), (Bytes{0x11, 0x12, 0x01, 0x11, 0x13}));
    EXPECT_EQ(Encode(0x17, {0x11, 0x01, 0x11, 0x01}),
              (Bytes{0x11, 0x12, 0x17, 0x11, 0x14, 0x01, 0x11, 0x14, 0x01, 0x11, 0x13}));
    EXPECT_EQ(Encode(0x11, {}), (Bytes{0x11, 0x12, 0x11, 0x14, 0x11, 0x13}));
    EXPECT_EQ(Encode(0x17, {0x00, 0x00, 0x22, 0x00}),
              (Bytes{0x11, 0x12, 0x17, 0x00, 0x00, 0x22, 0x00, 0x11, 0x13}));
    EXPECT_EQ(Encode(0x05, {0x28, 0x00}), (Bytes{0x11, 0x12, 0x05, 0x28, 0x00, 0x11, 0x13}));
    EXPECT_EQ(Encode(0x27, {0x00}), (Bytes{0x11, 0x12, 0x27, 0x00, 0x11, 0x13}));
    // The other markers are ordinary data bytes.
    EXPECT_EQ(Encode(0x02, {0x12, 0x13, 0x14}),
              (Bytes{0x11, 0x12, 0x02, 0x12, 0x13, 0x14, 0x11, 0x13}));
}

TEST(FrameEncode, LargestFrameFitsAndOverlongDataIsRefusedWithoutOverrun) {
    EXPECT_EQ(Encode(0x17, {0x11, 0x11, 0x11, 0x11}).size(), 13u);
    const Bytes sixtyOne(61, 0x11);
    EXPECT_EQ(Encode(0x05, sixtyOne).size(), 127u);
    uint8_t out[20];
    std::fill(out, out + sizeof out, 0xEE);
    const Bytes data(10, 0x11);
    EXPECT_EQ(EncodeFrame(0x05, data.data(), data.size(), out, 16), 0u);
    for (size_t i = 16; i < sizeof out; ++i) {
        EXPECT_EQ(out[i], 0xEE) << "wrote past the given capacity at " << i;
    }
}

TEST(FrameParse, DeliversTypeAndUnescapedPayload) {
    Recorder r;
    CFrameParser p(r);
    Drive(p, {0x11, 0x12, 0x22, 0x02, 0x50, 0xFB, 0x11, 0x13, 0x11, 0x12, 0x02, 0x41, 0x11, 0x14,
              0x42, 0x11, 0x13});
    ASSERT_EQ(r.frames.size(), 2u);
    EXPECT_EQ(r.frames[0].type, 0x22);
    EXPECT_EQ(r.frames[0].payload, (Bytes{0x02, 0x50, 0xFB}));
    EXPECT_EQ(r.frames[1].type, 0x02);
    EXPECT_EQ(r.frames[1].payload, (Bytes{0x41, 0x11, 0x42}));
    EXPECT_TRUE(r.frames[1].zeroBeyond) << "the payload buffer is cleared for every frame";
}

TEST(FrameParse, RoundTripOfEveryByteValue) {
    Bytes all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<uint8_t>(b));
    }
    Recorder r;
    CFrameParser p(r);
    // Encoded by hand: this payload is longer than one command frame.
    std::vector<int> in = {0x11, 0x12, 0x30};
    for (uint8_t b : all) {
        in.push_back(b);
        if (b == 0x11) {
            in.push_back(0x14);
        }
    }
    in.push_back(0x11);
    in.push_back(0x13);
    Drive(p, in);
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0].payload, all);
}

TEST(FrameParse, TypeEscapeSkipsTheByteAfterTheTypeWhateverItIs) {
    Recorder r;
    CFrameParser p(r);
    Drive(p, Cat(In(Encode(0x11, {0x41})), {0x11, 0x12, 0x11, 0x99, 0x42, 0x11, 0x13}));
    ASSERT_EQ(r.frames.size(), 2u);
    EXPECT_EQ(r.frames[0].type, 0x11);
    EXPECT_EQ(r.frames[0].payload, (Bytes{0x41}));
    EXPECT_EQ(r.frames[1].type, 0x11);
    EXPECT_EQ(r.frames[1].payload, (Bytes{0x42}));
}

TEST(FrameParse, MalformedEscapeDiscardsTheFrameAndTheNextFrameArrives) {
    Recorder r;
    CFrameParser p(r);
    Drive(p, Cat({0x11, 0x12, 0x02, 0x41, 0x11, 0x15, 0x42, 0x11, 0x13}, In(Encode(0x01, {0x33}))));
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0].type, 0x01);
    EXPECT_EQ(r.frames[0].payload, (Bytes{0x33}));
}

TEST(FrameParse, StrayBytesBeforeAndBetweenFramesAreIgnored) {
    Recorder r;
    CFrameParser p(r);
    Drive(p, Cat(Cat({0x05, 0x00, 0x12, 0x13, 0xFF}, In(Encode(0x23, {}))),
                 Cat({0x42, 0x00, 0x00}, In(Encode(0x24, {})))));
    ASSERT_EQ(r.frames.size(), 2u);
    EXPECT_EQ(r.frames[0].type, 0x23);
    EXPECT_EQ(r.frames[1].type, 0x24);
    EXPECT_TRUE(r.frames[1].payload.empty());
}

TEST(FrameParse, AnEmptyReadInsideAFrameDiscardsIt) {
    Recorder r;
    CFrameParser p(r);
    // Gaps after the start, after the type, inside the payload and after an escape byte.
    Drive(p, {0x11, -1, 0x12, 0x01, 0x11, 0x13});
    Drive(p, {0x11, 0x12, -1, 0x01, 0x11, 0x13});
    Drive(p, {0x11, 0x12, 0x22, 0x01, -1, 0x02, 0x11, 0x13});
    Drive(p, {0x11, 0x12, 0x22, 0x01, 0x11, -1, 0x13});
    EXPECT_TRUE(r.frames.empty());
    Drive(p, In(Encode(0x22, {0x01, 0x02, 0x03})));
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0].payload, (Bytes{0x01, 0x02, 0x03}));
}

TEST(FrameParse, PayloadFillingTheBufferIsDeliveredOneMoreByteDropsTheFrame) {
    Recorder r;
    CFrameParser p(r);
    std::vector<int> full = {0x11, 0x12, 0x40};
    full.insert(full.end(), CFrameParser::kPayloadCapacity, 0x5A);
    std::vector<int> over = full;
    over.push_back(0x5A);
    over.push_back(0x11);
    over.push_back(0x14); // an escaped byte past the end is dropped too
    full.push_back(0x11);
    full.push_back(0x13);
    over.push_back(0x11);
    over.push_back(0x13);

    Drive(p, full);
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0].payload.size(), CFrameParser::kPayloadCapacity);
    Drive(p, over);
    EXPECT_EQ(r.frames.size(), 1u) << "an oversized frame must be discarded";
    Drive(p, In(Encode(0x02, {0x41})));
    ASSERT_EQ(r.frames.size(), 2u);
    EXPECT_EQ(r.frames[1].payload, (Bytes{0x41}));
    EXPECT_TRUE(r.frames[1].zeroBeyond) << "the oversized frame's bytes were cleared";
}

TEST(FrameParse, StatesFollowTheFrame) {
    Recorder r;
    CFrameParser p(r);
    uint8_t b[1] = {0};
    EXPECT_EQ(p.ParseByte(b, 0), 1u);
    EXPECT_EQ(p.State(), CFrameParser::kSeekStart);
    EXPECT_FALSE(p.InFrame());
    b[0] = 0x11;
    EXPECT_EQ(p.ParseByte(b, 1), 1u);
    EXPECT_TRUE(p.InFrame());
    b[0] = 0x12;
    p.ParseByte(b, 1);
    b[0] = 0x23;
    p.ParseByte(b, 1);
    EXPECT_EQ(p.State(), CFrameParser::kPayload);
    b[0] = 0x11;
    p.ParseByte(b, 1);
    EXPECT_EQ(p.State(), CFrameParser::kEscape);
    b[0] = 0x13;
    EXPECT_EQ(p.ParseByte(b, 1), 0u) << "a completed frame asks for no byte";
    EXPECT_EQ(p.State(), CFrameParser::kComplete);
    EXPECT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(p.ParseByte(b, 1), 0u);
    EXPECT_EQ(p.State(), CFrameParser::kReset);
}

} // namespace
