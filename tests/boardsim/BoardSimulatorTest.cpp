// The simulated board as tests and users see it: its replies on the wire, its pacing, its
// seeded values, its log, its unplugging and the stand-alone program's options.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

#include "BoardSimulator.h"
#include "receiver/FrameCodec.h"
#include "receiver/FrameParser.h"
#include "receiver/Receiver.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

struct Reply {
    uint8_t type;
    Bytes payload;
};

class Collector : public IFrameSink {
public:
    void OnFrame(uint8_t type, const uint8_t* payload, uint16_t count) override {
        replies.push_back({type, Bytes(payload, payload + count)});
    }
    std::vector<Reply> replies;
};

// The host end of the line, decoding with the program's own parser fed whole bytes.
class Host {
public:
    explicit Host(const std::string& path) {
        m_fd = open(path.c_str(), O_RDWR | O_NOCTTY);
        termios t{};
        tcgetattr(m_fd, &t);
        cfmakeraw(&t);
        tcsetattr(m_fd, TCSANOW, &t);
    }
    ~Host() { close(m_fd); }
    bool ok() const { return m_fd >= 0; }
    // Whether the board's end hung up within ms.
    bool HungUp(int ms) const {
        pollfd p{m_fd, POLLIN, 0};
        return poll(&p, 1, ms) > 0 && (p.revents & POLLHUP) != 0;
    }

    void Send(uint8_t type, const Bytes& data) {
        uint8_t frame[kMaxFrameSize];
        const size_t n = EncodeFrame(type, data.data(), data.size(), frame, sizeof frame);
        ASSERT_EQ(write(m_fd, frame, n), static_cast<ssize_t>(n));
    }
    // Reads until count replies have arrived or ms pass; returns the raw byte count.
    size_t Receive(size_t count, int ms) {
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        size_t bytes = 0;
        while (m_sink.replies.size() < count && Clock::now() < end) {
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) {
                continue;
            }
            uint8_t b;
            while (read(m_fd, &b, 1) == 1) {
                ++bytes;
                Feed(b);
                if (m_sink.replies.size() >= count) {
                    break;
                }
                pollfd q{m_fd, POLLIN, 0};
                if (poll(&q, 1, 0) <= 0) {
                    break;
                }
            }
        }
        return bytes;
    }
    std::vector<Reply>& Replies() { return m_sink.replies; }

private:
    void Feed(uint8_t b) {
        // When the parser wants no byte it is between frames, where it ignores its input.
        uint8_t none = 0;
        while (m_want == 0) {
            m_want = m_parser.ParseByte(&none, 0);
        }
        m_want = m_parser.ParseByte(&b, 1);
    }

    int m_fd = -1;
    Collector m_sink;
    CFrameParser m_parser{m_sink};
    unsigned m_want = 0;
};

TEST(BoardSim, AnswersEachCommandWithItsReply) {
    CBoardSimulator board;
    BoardSimOptions o;
    o.instant = true;
    o.firmware = "9.99";
    ASSERT_TRUE(board.Start(o));
    Host host(board.SlavePath());
    ASSERT_TRUE(host.ok());
    host.Send(1, {});
    host.Send(2, {});
    host.Send(8, {4});
    host.Send(5, {0x28, 0});
    host.Send(39, {2});
    host.Send(23, {0, 0, 34, 0});
    host.Send(23, {1, 0, 0x11, 0x01});
    host.Send(24, {});
    host.Send(35, {});
    host.Send(61, {});
    host.Receive(13, 3000);
    const std::vector<Reply>& r = host.Replies();
    ASSERT_EQ(r.size(), 13u);
    EXPECT_EQ(r[0].type, 1);
    EXPECT_EQ(r[0].payload, (Bytes{'9', '.', '9', '9', 0}));
    EXPECT_EQ(r[1].payload, (Bytes{'S', 'I', 'M', '0', '0', '1', 0}));
    EXPECT_EQ(r[2].type, 8);
    EXPECT_EQ(r[2].payload.size(), 1u) << "a status byte";
    for (int i : {3, 4, 5, 6}) {
        EXPECT_TRUE(r[i].payload.empty()) << i;
    }
    EXPECT_EQ(r[7].type, 24);
    ASSERT_EQ(r[7].payload.size(), 97u);
    EXPECT_EQ(r[7].payload[0], 2);
    EXPECT_EQ(r[7].payload[2], 1) << "code 34 is channel 1";
    // Code 0x0111 sits 273 steps of 30 kHz into the band: channel 273 + 1 - 34 + 1.
    CBandPlan plans[2];
    CReceiver::InitBandPlans(plans);
    EXPECT_EQ(r[7].payload[5] | r[7].payload[6] << 8,
              static_cast<int>(plans[0].FrequencyToChannel(plans[0].StepIndexToFrequency(0x111))));
    EXPECT_EQ(r[8].type, 35);
    EXPECT_EQ(r[9].type, 34);
    EXPECT_EQ(r[9].payload[0], 0);
    EXPECT_EQ(r[10].payload[0], 1);
    EXPECT_EQ(static_cast<int16_t>(r[10].payload[1] | r[10].payload[2] << 8),
              CSimulatedSignal::RssiX16(1, 1, 1));
    EXPECT_EQ(r[11].type, 36);
    EXPECT_EQ(r[12].type, 61) << "unknown commands get an empty reply of their number";
    EXPECT_EQ(board.ReceivedFrames().size(), 10u);
    EXPECT_EQ(board.ReceivedFrames()[6], (Bytes{23, 1, 0, 0x11, 0x01}));
}

TEST(BoardSim, ReportsPcsChannelsBackWhateverTheSpacing) {
    for (uint32_t spacing :
         {CBandPlan::kPcsSpacing30k, CBandPlan::kPcsSpacing50k, CBandPlan::kPcsSpacing200k}) {
        CBandPlan plans[2];
        CReceiver::InitBandPlans(plans);
        plans[1].SetPcsSpacing(spacing);
        const std::vector<uint16_t> channels = spacing == CBandPlan::kPcsSpacing200k
                                                   ? std::vector<uint16_t>{512, 600, 733}
                                                   : std::vector<uint16_t>{25, 300, 1001};
        CBoardSimulator board;
        BoardSimOptions o;
        o.instant = true;
        ASSERT_TRUE(board.Start(o));
        Host host(board.SlavePath());
        host.Send(39, {static_cast<uint8_t>(channels.size())});
        for (size_t i = 0; i < channels.size(); ++i) {
            const uint16_t code =
                static_cast<uint16_t>(plans[1].PcsChannelToStepIndex(channels[i]));
            host.Send(23, {static_cast<uint8_t>(i), 1, static_cast<uint8_t>(code & 0xFF),
                           static_cast<uint8_t>(code >> 8)});
        }
        host.Send(24, {});
        host.Receive(channels.size() + 2, 3000);
        ASSERT_EQ(host.Replies().size(), channels.size() + 2);
        const Bytes& list = host.Replies().back().payload;
        for (size_t i = 0; i < channels.size(); ++i) {
            EXPECT_EQ(list[1 + 3 * i], 1);
            EXPECT_EQ(list[2 + 3 * i] | list[3 + 3 * i] << 8, channels[i])
                << "spacing " << spacing << " entry " << i;
        }
    }
}

TEST(BoardSim, RssiIsPlausibleVariedAndSeeded) {
    int lowest = 0;
    int highest = -200;
    bool varies = false;
    for (int slot = 0; slot < 30; ++slot) {
        for (uint64_t scan = 1; scan < 20; ++scan) {
            const int dbm = CSimulatedSignal::RssiX16(3, slot, scan) / 16;
            lowest = std::min(lowest, dbm);
            highest = std::max(highest, dbm);
            varies = varies || CSimulatedSignal::RssiX16(3, slot, scan) !=
                                   CSimulatedSignal::RssiX16(3, slot, scan + 1);
        }
    }
    EXPECT_GE(lowest, -110);
    EXPECT_LE(highest, -40);
    EXPECT_GT(highest - lowest, 30) << "channels differ in strength";
    EXPECT_TRUE(varies) << "scans differ";
    EXPECT_NE(CSimulatedSignal::RssiX16(3, 0, 1), CSimulatedSignal::RssiX16(4, 0, 1));
}

TEST(BoardSim, PacedRepliesTakeAtLeastTheirWireTime) {
    CBoardSimulator board;
    ASSERT_TRUE(board.Start(BoardSimOptions()));
    Host host(board.SlavePath());
    const auto start = Clock::now();
    host.Send(24, {});
    const size_t bytes = host.Receive(1, 3000);
    const auto took = Clock::now() - start;
    ASSERT_EQ(host.Replies().size(), 1u);
    EXPECT_GE(bytes, 101u);
    // 10 bits a byte at 38400 baud: a board never answers faster than its line.
    EXPECT_GE(took, std::chrono::microseconds((bytes - 1) * 10 * 1000000 / 38400));
}

TEST(BoardSim, LogsEveryReceivedFrameAsHexAndCountsKeepAlives) {
    const std::string log = "/tmp/larkspur-simlog-" + std::to_string(getpid());
    CBoardSimulator board;
    BoardSimOptions o;
    o.silent = true;
    o.logPath = log;
    ASSERT_TRUE(board.Start(o));
    Host host(board.SlavePath());
    host.Send(23, {0x11, 0x01, 0x11, 0x01});
    const uint8_t keepAlive[] = {0, 0, 0, 0, 0x42};
    {
        int fd = open(board.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_EQ(write(fd, keepAlive, sizeof keepAlive), 5);
        close(fd);
    }
    host.Send(1, {});
    ASSERT_TRUE(board.WaitForFrames(2, 2000));
    board.Stop();
    std::ifstream in(log);
    std::string a, b, c;
    std::getline(in, a);
    std::getline(in, b);
    EXPECT_EQ(a, "11 12 17 11 14 01 11 14 01 11 13");
    EXPECT_EQ(b, "11 12 01 11 13");
    EXPECT_FALSE(std::getline(in, c));
    EXPECT_EQ(board.KeepAlives(), 2u);
    EXPECT_EQ(board.FramesSent(), 0u) << "a silent board answers nothing";
    std::remove(log.c_str());
}

std::string LinkTarget(const std::string& link) {
    char target[256] = {};
    return readlink(link.c_str(), target, sizeof target - 1) < 0 ? std::string() : target;
}

TEST(BoardSimPlug, UnpluggedItHangsUpAndComesBackBehindItsLinkWithOrWithoutItsTable) {
    const std::string link = "/tmp/larkspur-plug-" + std::to_string(getpid());
    for (const bool forget : {false, true}) {
        SCOPED_TRACE(forget ? "forgets its table" : "keeps its table");
        CBoardSimulator board;
        BoardSimOptions o;
        o.instant = true;
        o.linkPath = link;
        o.forgetTable = forget;
        ASSERT_TRUE(board.Start(o));
        EXPECT_EQ(LinkTarget(link), board.SlavePath());
        {
            Host host(link);
            host.Send(39, {2});
            host.Send(23, {0, 0, 34, 0});
            host.Send(23, {1, 0, 35, 0});
            host.Receive(3, 2000);
            ASSERT_TRUE(board.Vanish());
            EXPECT_FALSE(board.Present());
            EXPECT_TRUE(host.HungUp(2000)) << "the program's end sees the unplugging";
            EXPECT_EQ(LinkTarget(link), "") << "the link goes with the board";
            EXPECT_FALSE(board.Vanish()) << "already away";
        }
        ASSERT_TRUE(board.Reappear());
        EXPECT_EQ(LinkTarget(link), board.SlavePath());
        EXPECT_EQ(board.Reappearances(), 1u);
        EXPECT_FALSE(board.Reappear()) << "already there";
        Host again(link);
        again.Send(24, {});
        again.Receive(1, 2000);
        ASSERT_EQ(again.Replies().size(), 1u);
        EXPECT_EQ(again.Replies()[0].payload[0], forget ? 0 : 2) << "the channel count it holds";
        EXPECT_EQ(again.Replies()[0].payload[2], forget ? 0 : 1) << "slot 0: channel 1 or none";
        board.Stop();
        EXPECT_EQ(LinkTarget(link), "");
    }
}

TEST(BoardSimPlug, VanishesOnItsCommandOrItsTimeAndComesBackOnItsOwn) {
    const std::string link = "/tmp/larkspur-plug-" + std::to_string(getpid());
    {
        // The second command, a scan, is cut off after its acknowledgement and half the readings.
        CBoardSimulator board;
        BoardSimOptions o;
        o.instant = true;
        o.linkPath = link;
        o.vanishAfterCommands = 2;
        o.reappearAfterMs = 50;
        ASSERT_TRUE(board.Start(o));
        Host host(link);
        host.Send(39, {4});
        host.Send(35, {});
        host.Receive(4, 2000);
        ASSERT_EQ(host.Replies().size(), 4u);
        EXPECT_EQ(host.Replies()[1].type, 35);
        EXPECT_EQ(host.Replies()[3].type, 34);
        EXPECT_EQ(host.Replies()[3].payload[0], 1) << "readings 0 and 1 of 4";
        EXPECT_TRUE(host.HungUp(2000));
        host.Receive(5, 100);
        EXPECT_EQ(host.Replies().size(), 4u) << "no completion from a board that went";
        ASSERT_TRUE(board.WaitPresent(true, 3000));
        EXPECT_EQ(board.Reappearances(), 1u);
        Host again(link);
        again.Send(1, {});
        again.Receive(1, 2000);
        EXPECT_EQ(again.Replies().size(), 1u) << "it answers again, and stays";
    }
    {
        CBoardSimulator board;
        BoardSimOptions o;
        o.linkPath = link;
        o.vanishAfterMs = 50;
        o.reappearAfterMs = 50;
        ASSERT_TRUE(board.Start(o));
        ASSERT_TRUE(board.WaitPresent(false, 3000));
        ASSERT_TRUE(board.WaitPresent(true, 3000));
        EXPECT_EQ(LinkTarget(link), board.SlavePath());
    }
}

TEST(BoardSimPlug, TheLinkNeverReplacesAFile) {
    const std::string path = "/tmp/larkspur-notalink-" + std::to_string(getpid());
    { std::ofstream(path) << "keep me\n"; }
    CBoardSimulator board;
    BoardSimOptions o;
    o.linkPath = path;
    EXPECT_FALSE(board.Start(o));
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "keep me");
    std::remove(path.c_str());
}

TEST(BoardSimProgram, PrintsItsDeviceFirstLinksItAndStopsOnATerm) {
    const std::string link = "/tmp/larkspur-simlink-" + std::to_string(getpid());
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        execl(BOARDSIM_EXE, BOARDSIM_EXE, "--link", link.c_str(), "--instant", "--serial", "XY12",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string first;
    char ch;
    while (read(out[0], &ch, 1) == 1 && ch != '\n') {
        first += ch;
    }
    EXPECT_EQ(first.rfind("/dev/pts/", 0), 0u) << first;
    // The link appears right after the path is printed.
    char target[256] = {};
    for (int i = 0; i < 200 && readlink(link.c_str(), target, sizeof target - 1) < 0; ++i) {
        usleep(5000);
    }
    EXPECT_EQ(std::string(target), first);
    {
        Host host(link);
        host.Send(2, {});
        host.Receive(1, 2000);
        ASSERT_EQ(host.Replies().size(), 1u);
        EXPECT_EQ(host.Replies()[0].payload, (Bytes{'X', 'Y', '1', '2', 0}));
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    close(out[0]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_LT(readlink(link.c_str(), target, sizeof target), 0) << "the link is removed";
}

TEST(BoardSimProgram, RejectsBadOptions) {
    for (const char* bad : {"--baud=x", "--drop-every", "--pcs-spacing", "--vanish-after-ms",
                            "--vanish-after-commands", "--reappear-after-ms"}) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            freopen("/dev/null", "w", stderr);
            execl(BOARDSIM_EXE, BOARDSIM_EXE, bad, "-5", static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << bad;
    }
}

} // namespace
