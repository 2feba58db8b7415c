// The serial port over a real pseudo-terminal: names, line settings, raw bytes both ways, a
// descriptor that never blocks, and a device node that goes. (A terminal that hangs up is tested
// with the receiver's link.)
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "TtyNode.h"
#include "platform/SerialPort.h"
#include "platform/WakeFd.h"

namespace {

// Long enough for a terminal with a reader to take any of these small writes.
constexpr int kWriteMs = 500;

TEST(SerialPortName, ComNamesMapToTtySAndOtherNamesArePaths) {
    EXPECT_EQ(CSerialPort::DevicePath("COM1:"), "/dev/ttyS0");
    EXPECT_EQ(CSerialPort::DevicePath("com3:"), "/dev/ttyS2");
    EXPECT_EQ(CSerialPort::DevicePath("COM10"), "/dev/ttyS9");
    EXPECT_EQ(CSerialPort::DevicePath("COM0:"), "COM0:");
    EXPECT_EQ(CSerialPort::DevicePath("COMX:"), "COMX:");
    EXPECT_EQ(CSerialPort::DevicePath("/dev/pts/4"), "/dev/pts/4");
    EXPECT_EQ(CSerialPort::DevicePath("/dev/ttyUSB0"), "/dev/ttyUSB0");
}

class PtyPort : public ::testing::Test {
protected:
    void SetUp() override {
        char name[128];
        ASSERT_EQ(openpty(&m_master, &m_slave, name, nullptr, nullptr), 0);
        m_path = name;
    }
    void TearDown() override {
        close(m_master);
        close(m_slave);
    }
    std::string ReadMaster(size_t n) {
        std::string out;
        while (out.size() < n) {
            pollfd p{m_master, POLLIN, 0};
            if (poll(&p, 1, 2000) <= 0) {
                break;
            }
            char buf[64];
            const ssize_t r = read(m_master, buf, sizeof buf);
            if (r <= 0) {
                break;
            }
            out.append(buf, static_cast<size_t>(r));
        }
        return out;
    }

    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};

TEST_F(PtyPort, OpenFailsForMissingDevicesAndNonTerminals) {
    CSerialPort port;
    EXPECT_FALSE(port.Open("/dev/larkspur-no-such-port"));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.Open("/dev/null")) << "not a serial line";
    EXPECT_EQ(port.Read(nullptr, 0), 0u);
}

TEST_F(PtyPort, ConfigureGivesRaw8N1WithoutFlowControlDespiteRefusedModemLines) {
    CSerialPort port;
    ASSERT_TRUE(port.Open(m_path));
    ASSERT_TRUE(port.Configure(38400)) << "a refused RTS ioctl is not a failure";
    termios t{};
    ASSERT_EQ(tcgetattr(port.Fd(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B38400));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);
    EXPECT_NE(fcntl(port.Fd(), F_GETFL) & O_NONBLOCK, 0) << "the descriptor stays non-blocking";
    EXPECT_FALSE(port.Configure(12345)) << "a rate the line does not offer is refused";
}

TEST_F(PtyPort, FrameMarkersPassBothWaysUntouchedAndReadsReturnAtOnce) {
    CSerialPort port;
    ASSERT_TRUE(port.Open(m_path));
    ASSERT_TRUE(port.Configure(38400));
    uint8_t buf[16];
    EXPECT_EQ(port.Read(buf, sizeof buf), 0u) << "nothing waiting: an empty read, no block";
    EXPECT_EQ(port.Wait(IByteStream::kReadable, 20), 0u);

    // 0x11 and 0x13 are XON and XOFF to a cooked line; 0x0D would become 0x0A.
    const uint8_t out[] = {0x11, 0x12, 0x0D, 0x13, 0x11, 0x13, 0x00};
    EXPECT_EQ(port.Write(out, sizeof out, kWriteMs), sizeof out);
    EXPECT_EQ(ReadMaster(sizeof out), std::string(reinterpret_cast<const char*>(out), sizeof out));

    const uint8_t in[] = {0x11, 0x13, 0x0D, 0x11, 0x14};
    ASSERT_EQ(write(m_master, in, sizeof in), static_cast<ssize_t>(sizeof in));
    ASSERT_EQ(port.Wait(IByteStream::kReadable, 2000), IByteStream::kReadable);
    size_t got = 0;
    for (int tries = 0; got < sizeof in && tries < 100; ++tries) {
        got += port.Read(buf + got, 1);
        if (got < sizeof in) {
            port.Wait(IByteStream::kReadable, 50);
        }
    }
    ASSERT_EQ(got, sizeof in);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), got),
              std::string(reinterpret_cast<const char*>(in), sizeof in));

    port.PurgeReceive();
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Write(out, sizeof out, kWriteMs), 0u) << "writes on a closed port fail silently";
}

TEST_F(PtyPort, AWriteIntoAFullBufferWaitsForRoomUntilItsDeadline) {
    CSerialPort port;
    ASSERT_TRUE(port.Open(m_path));
    ASSERT_TRUE(port.Configure(38400));
    // Nobody reads the far end: the terminal's buffer fills and the write gives up in time.
    const std::vector<uint8_t> big(256 * 1024, 0x55);
    const size_t first = port.Write(big.data(), big.size(), 50);
    EXPECT_GT(first, 0u);
    EXPECT_LT(first, big.size());
    EXPECT_FALSE(port.Gone()) << "a full buffer is not a lost device";
    // Once the far end reads, the rest goes out within a generous deadline.
    std::thread reader([this, total = big.size()] { ReadMaster(total); });
    const size_t rest = port.Write(big.data() + first, big.size() - first, 10000);
    reader.join();
    EXPECT_EQ(first + rest, big.size());
}

TEST(SerialPortNode, ARemovedDeviceNodeIsALostDevice) {
    CTtyNode node("/tmp/larkspur-node-" + std::to_string(getpid()));
    if (node.Path().empty()) {
        GTEST_SKIP() << "no serial device node can be made here";
    }
    // Opened and watched only: nothing is written to, or set on, a real port.
    CSerialPort port;
    ASSERT_TRUE(port.Open(node.Path()));
    ASSERT_GE(port.NodeWatchFd(), 0);
    EXPECT_FALSE(port.NodeGone());
    ASSERT_TRUE(node.Remove());
    pollfd p{port.NodeWatchFd(), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 1000), 1) << "the watch wakes the I/O thread's poll";
    EXPECT_TRUE(port.NodeGone());
    EXPECT_TRUE(port.Gone());
}

TEST(WakeFd, SignalledUntilDrainedWithAPollingFallback) {
    CWakeFd wake;
    ASSERT_TRUE(wake.Valid());
    pollfd p{wake.Fd(), POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 0), 0);
    EXPECT_TRUE(wake.Signal());
    EXPECT_TRUE(wake.Signal());
    EXPECT_EQ(poll(&p, 1, 0), 1);
    EXPECT_TRUE(wake.Drain());
    EXPECT_EQ(poll(&p, 1, 0), 0) << "one drain takes every signal";
    EXPECT_TRUE(wake.Drain()) << "draining an idle descriptor is no failure";
    EXPECT_EQ(wake.CapWait(60000), 60000);
    EXPECT_EQ(wake.CapWait(-1), -1);
}

} // namespace
