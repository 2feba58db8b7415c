// The byte stream over a socket, as the in-process board uses it: bytes both ways without
// blocking, a wake-up that ends a wait, and a far end that goes: seen as gone, never a SIGPIPE.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <vector>

#include "platform/FdStream.h"
#include "platform/WakeFd.h"

namespace {

class SocketStream : public ::testing::Test {
protected:
    void SetUp() override {
        int pair[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, pair), 0);
        stream = std::make_unique<CFdStream>(pair[0]);
        far = pair[1];
    }
    void TearDown() override {
        if (far >= 0) {
            close(far);
        }
    }
    std::unique_ptr<CFdStream> stream;
    int far = -1;
};

TEST_F(SocketStream, BytesCrossBothWaysAndAWakeUpEndsAWait) {
    const uint8_t out[] = {0x11, 0x12, 0x01, 0x11, 0x13};
    EXPECT_EQ(stream->Write(out, sizeof out, 100), sizeof out);
    uint8_t got[16] = {};
    ASSERT_EQ(read(far, got, sizeof got), static_cast<ssize_t>(sizeof out));
    EXPECT_EQ(std::vector<uint8_t>(got, got + 5), std::vector<uint8_t>(out, out + 5));

    EXPECT_EQ(stream->Read(got, sizeof got), 0u) << "nothing waiting: no block";
    CWakeFd wake;
    ASSERT_TRUE(wake.Signal());
    const int fds[] = {wake.Fd()};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(stream->Wait(IByteStream::kReadable, 5000, fds, 1), 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));

    ASSERT_EQ(write(far, "ab", 2), 2);
    EXPECT_EQ(stream->Wait(IByteStream::kReadable, 1000), IByteStream::kReadable);
    EXPECT_EQ(stream->Read(got, sizeof got), 2u);
    EXPECT_FALSE(stream->Gone());
}

TEST_F(SocketStream, AFarEndThatGoesIsGoneAndAWriteToItFailsQuietly) {
    close(far);
    far = -1;
    const uint8_t out[] = {1, 2, 3};
    // Without care this write raises SIGPIPE and ends the whole program.
    EXPECT_EQ(stream->Write(out, sizeof out, 100), 0u);
    EXPECT_TRUE(stream->Gone());
    EXPECT_EQ(stream->Wait(IByteStream::kReadable, 1000), 0u) << "no wait on a stream gone";
    stream->Close();
    EXPECT_FALSE(stream->IsOpen());
    EXPECT_FALSE(stream->Gone()) << "a closed stream starts over";
}

} // namespace
