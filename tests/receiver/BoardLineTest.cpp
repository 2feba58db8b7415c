// The receiver against the simulated board in the same process: identification, table
// programming, measurements and their identities, a silent board and faulty lines.
#include "BoardLineFixture.h"

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

TEST_F(BoardLine, IdentificationFillsBothTextsAndPostsDraw) {
    BoardSimOptions o = CInProcessBoard::Instant();
    o.firmware = "4.07R";
    o.serial = "SN7781";
    Connect(o);
    m_rx.RequestFirmwareVersion();
    // Reply 1 asks for the serial number, reply 2 sends option byte 0 and then posts.
    ASSERT_TRUE(m_target.WaitForCount(1, 5000));
    char text[CReceiver::kFirmwareSize];
    m_rx.GetFirmwareVersion(text);
    EXPECT_STREQ(text, "4.07R");
    m_rx.GetSerialNumber(text);
    EXPECT_STREQ(text, "SN7781");
    ASSERT_TRUE(m_board.WaitForFrames(3, 3000));
    const auto frames = m_board.ReceivedFrames();
    ASSERT_GE(frames.size(), 3u);
    EXPECT_EQ(frames[0], (std::vector<uint8_t>{1}));
    EXPECT_EQ(frames[1], (std::vector<uint8_t>{2}));
    EXPECT_EQ(frames[2], (std::vector<uint8_t>{8, 0}));
    EXPECT_EQ(m_target.Count(), 1u);
    EXPECT_TRUE(m_prompts.Calls().empty());
}

TEST_F(BoardLine, ProgrammingSendsTheCommandsByteForByteAndReadsTheListBack) {
    constexpr int kCount = 18; // slot 17 is the frame-start byte, escaped on the line
    Connect();
    FillTable(kCount);
    // Entries past the table hold leftovers that the board's list reply clears.
    m_rx.SetChannel(25, ChannelEntry{1, 999, 0});
    std::vector<uint16_t> codes;
    for (int i = 0; i < kCount; ++i) {
        codes.push_back(m_rx.BoardCode(i));
    }
    ChannelEntry given[kCount];
    const ReceiverTable table = m_rx.GetChannelTable();
    std::copy(table.entries, table.entries + kCount, given);

    m_rx.ProgramChannelTable();
    ASSERT_TRUE(m_board.WaitForFrames(4 + kCount + 1, 2000));

    std::vector<std::string> expected = {Hex(8, {0}), Hex(8, {4}), Hex(5, {0x28, 0}),
                                         Hex(39, {kCount})};
    for (int i = 0; i < kCount; ++i) {
        expected.push_back(
            Hex(23, {static_cast<uint8_t>(i), given[i].plan, static_cast<uint8_t>(codes[i] & 0xFF),
                     static_cast<uint8_t>(codes[i] >> 8)}));
    }
    expected.push_back(Hex(24, {}));
    EXPECT_EQ(LogLines(), expected);
    EXPECT_EQ(expected[4].substr(0, 26), "11 12 17 00 00 22 00 11 13") << "channel 1 is code 34";
    EXPECT_EQ(expected[4 + 17].substr(0, 14), "11 12 17 11 14") << "slot 17 escaped";

    for (int i = 0; i < kCount; ++i) {
        EXPECT_EQ(m_rx.Channel(i).plan, given[i].plan) << i;
        EXPECT_EQ(m_rx.Channel(i).channel, given[i].channel) << i;
    }
    EXPECT_EQ(m_rx.Channel(25).channel, 0) << "the list reply arrived and was applied";
    EXPECT_EQ(m_rx.ChannelCount(), kCount);
}

TEST_F(BoardLine, ThreeChannelMeasurementPostsFiveTimesOnlyTheLastDone) {
    BoardSimOptions o = CInProcessBoard::Instant();
    o.seed = 77;
    Connect(o);
    FillTable(3);
    m_rx.ProgramChannelTable();
    const std::vector<RecordedPost> posts = Measure();
    ASSERT_EQ(posts.size(), 5u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(posts[i].pending);
        EXPECT_FALSE(posts[i].complete) << "post " << i;
    }
    EXPECT_TRUE(posts[4].pending && posts[4].complete);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(m_rx.Channel(k).rssiX16, CSimulatedSignal::RssiX16(77, k, 1)) << k;
        EXPECT_LE(m_rx.RssiDbm(k), -40);
        EXPECT_GE(m_rx.RssiDbm(k), -110);
    }
}

TEST_F(BoardLine, SilentBoardCostsOneReplyWaitPerCommandAndNothingElse) {
    BoardSimOptions o = CInProcessBoard::Instant();
    o.silent = true;
    m_rx.SetTimings(Quick());
    Connect(o);
    const auto start = Clock::now();
    m_rx.RequestFirmwareVersion();
    m_rx.StartMeasurement();
    const auto took = Clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(2 * Quick().replyWaitMs));
    EXPECT_LT(took, std::chrono::milliseconds(2 * Quick().replyWaitMs + 400));
    ASSERT_TRUE(m_board.WaitForFrames(2, 1000));
    EXPECT_EQ(m_board.ReceivedFrames().size(), 2u) << "no follow-up without a reply";
    char text[CReceiver::kFirmwareSize];
    m_rx.GetFirmwareVersion(text);
    EXPECT_STREQ(text, "0.00");
    EXPECT_EQ(m_target.Count(), 0u);
    EXPECT_TRUE(m_prompts.Calls().empty()) << "problems on the line are silent";
}

TEST_F(BoardLine, NoiseBetweenFramesIsSurvived) {
    BoardSimOptions o = CInProcessBoard::Instant();
    o.noise = true;
    o.seed = 5;
    Connect(o);
    FillTable(30);
    m_rx.ProgramChannelTable();
    EXPECT_EQ(m_rx.Channel(29).channel, 25 + 40 * 29) << "the list reply came through";
    for (uint64_t scan = 1; scan <= 3; ++scan) {
        EXPECT_EQ(Measure().size(), 32u);
        for (int k = 0; k < 30; ++k) {
            ASSERT_EQ(m_rx.Channel(k).rssiX16, CSimulatedSignal::RssiX16(5, k, scan)) << k;
        }
    }
}

TEST_F(BoardLine, CorruptedFramesAreDroppedAndTheNextOnesArrive) {
    BoardSimOptions o = CInProcessBoard::Instant();
    o.corruptEvery = 3; // reply frames 3 and 6: the RSSI replies of entries 0 and 3
    Connect(o);
    m_rx.SetChannelCount(5);
    for (int k = 0; k < 5; ++k) {
        m_rx.SetChannelRssi(k, 0x1234);
    }
    const std::vector<RecordedPost> posts = Measure();
    EXPECT_EQ(posts.size(), 5u);
    for (int k : {0, 3}) {
        EXPECT_EQ(m_rx.Channel(k).rssiX16, 0x1234) << k;
    }
    for (int k : {1, 2, 4}) {
        EXPECT_EQ(m_rx.Channel(k).rssiX16, CSimulatedSignal::RssiX16(1, k, 1)) << k;
    }
}

TEST_F(BoardLine, ALostCompletionLeavesTheScanRunningUntilANewerOneEndsIt) {
    BoardSimOptions o = CInProcessBoard::Instant();
    o.dropEvery = 4; // frames 4 and 8 of the first scan: entry 1 and the completion
    Connect(o);
    m_rx.SetChannelCount(5);
    const size_t from = m_target.Count();
    const uint64_t first = m_rx.BeginScan();
    ASSERT_TRUE(m_target.WaitForCount(from + 5, 3000)); // 35 and four 34s
    EXPECT_FALSE(m_target.WaitForDone(from, 100));
    EXPECT_EQ(m_rx.GetScanState(first), ScanState::kRunning);
    EXPECT_TRUE(m_rx.MeasurementPending());
    // The second scan loses entry 2 (frame 12) but completes (frame 15); the first never will.
    const uint64_t second = m_rx.BeginScan();
    EXPECT_EQ(m_rx.GetScanState(first), ScanState::kEnded);
    EXPECT_TRUE(m_target.WaitForDone(from, 3000));
    EXPECT_EQ(m_rx.GetScanState(second), ScanState::kComplete);
    std::vector<ChannelReading> readings;
    EXPECT_FALSE(m_rx.TakeScan(first, readings));
    ASSERT_TRUE(m_rx.TakeScan(second, readings));
    ASSERT_EQ(readings.size(), 5u);
    EXPECT_EQ(readings[2].rssiX16, CSimulatedSignal::RssiX16(1, 2, 1)) << "entry 2 kept its last";
    EXPECT_EQ(readings[1].rssiX16, CSimulatedSignal::RssiX16(1, 1, 2));
    EXPECT_FALSE(m_rx.TakeScan(second, readings)) << "a scan is taken once";
}

TEST_F(BoardLine, FiftyMeasurementsOfThirtyChannelsLoseNoFrame) {
    BoardSimOptions o = CInProcessBoard::Instant();
    o.seed = 2024;
    Connect(o);
    FillTable(30);
    m_rx.ProgramChannelTable();
    for (uint64_t scan = 1; scan <= 50; ++scan) {
        const std::vector<RecordedPost> posts = Measure();
        ASSERT_EQ(posts.size(), 32u) << "scan " << scan;
        for (int k = 0; k < 30; ++k) {
            ASSERT_EQ(m_rx.Channel(k).rssiX16, CSimulatedSignal::RssiX16(2024, k, scan))
                << "scan " << scan << " entry " << k;
        }
    }
    EXPECT_EQ(m_board.Scans(), 50u);
}

TEST_F(BoardLine, OnlyTheSecondOfTwoEarlyTransmissionsGoesOut) {
    ASSERT_TRUE(m_board.Start(CInProcessBoard::Instant()));
    ASSERT_TRUE(m_link.Setup(m_board.Source()));
    const uint8_t first[] = {0x11, 0x12, 0x01, 0x11, 0x13};
    const uint8_t second[] = {0x11, 0x12, 0x02, 0x11, 0x13};
    m_link.QueueTransmit(first, sizeof first);
    m_link.QueueTransmit(second, sizeof second);
    ASSERT_TRUE(m_rx.StartIoThread(m_link));
    // The serial-number reply sends its follow-up, option byte 0, at once.
    ASSERT_TRUE(m_board.WaitForFrames(2, 2000));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(m_board.ReceivedFrames(), (std::vector<std::vector<uint8_t>>{{2}, {8, 0}}));
}

TEST_F(BoardLine, TheIoThreadStopsJoinsAndStartsAgain) {
    Connect();
    EXPECT_FALSE(m_rx.StartIoThread(m_link)) << "one I/O thread at a time";
    m_rx.StopIoThread();
    EXPECT_FALSE(m_rx.IoThreadRunning());
    ASSERT_TRUE(m_rx.StartIoThread(m_link));
    m_rx.SetChannelCount(2);
    EXPECT_EQ(Measure().size(), 4u);
}

TEST_F(BoardLine, KeepAliveOnTheFirstIdlePassThenAfterTenIdleTicks) {
    ReceiverTimings timings;
    timings.clockTick = std::chrono::milliseconds(40);
    m_rx.SetTimings(timings);
    Connect();
    const auto start = Clock::now();
    while (m_board.KeepAlives() < 1 && Clock::now() - start < std::chrono::seconds(2)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(m_board.KeepAlives(), 1u) << "the first idle pass sends one";
    // More than 10 ticks of 40 ms must pass before the next one: none within 300 ms...
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(m_board.KeepAlives(), 1u);
    // ...and one by about 440 ms.
    while (m_board.KeepAlives() < 2 && Clock::now() - start < std::chrono::seconds(3)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(m_board.KeepAlives(), 2u);
    EXPECT_TRUE(m_board.ReceivedFrames().empty()) << "keep-alives are not frames";
}

} // namespace
