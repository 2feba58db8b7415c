// The receiver when its board goes, falls silent and comes back, on the simulated board in the
// same process: loss seen at once and waiters released, a scan the loss cuts off never taken, a
// board that never identifies itself or stops answering during a table, a table changed while the
// board comes back, and the replies' follow-ups that never stall the line.
#include "BoardLineFixture.h"

#include <future>

namespace {

using Clock = std::chrono::steady_clock;

TEST_F(BoardLine, FollowUpsLeaveAtOnceSoATableRightAfterIdentificationLosesNothing) {
    Connect();
    FillTable(2);
    m_rx.RequestFirmwareVersion();
    // Straight on, as a table given on the command line is: nothing may displace the
    // identification's own commands, nor they the table's.
    m_rx.ProgramChannelTable();
    ASSERT_TRUE(m_board.WaitForFrames(3 + 7, 3000));
    const std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 10u);
    EXPECT_EQ(
        std::vector<std::string>(log.begin(), log.begin() + 5),
        (std::vector<std::string>{Hex(1, {}), Hex(2, {}), Hex(8, {0}), Hex(8, {0}), Hex(8, {4})}));
    EXPECT_EQ(log.back(), Hex(24, {}));
    char serial[CReceiver::kSerialSize];
    m_rx.GetSerialNumber(serial);
    EXPECT_STREQ(serial, "SIM001");
}

TEST_F(BoardLine, ALostBoardIsSeenAtOnceReleasesItsSenderAndTakesNoMoreCommands) {
    BoardSimOptions o = CInProcessBoard::Instant();
    o.silent = true; // the sender would otherwise wait its full second
    Connect(o);
    ASSERT_EQ(m_link.State(), LinkState::kConnected);
    const uint64_t generation = m_link.Generation();
    auto sender = std::async(std::launch::async, [this] {
        const auto start = Clock::now();
        m_rx.StartMeasurement();
        return Clock::now() - start;
    });
    ASSERT_TRUE(m_board.WaitForFrames(1, 2000));
    ASSERT_TRUE(m_board.Vanish());
    ASSERT_TRUE(WaitForLink(LinkState::kNoBoard));
    EXPECT_LT(sender.get(), std::chrono::milliseconds(m_rx.Timings().replyWaitMs))
        << "released by the loss, not by its wait running out";
    EXPECT_EQ(m_link.Generation(), generation + 1);
    EXPECT_FALSE(m_link.IsOpen());
    ASSERT_TRUE(m_target.WaitForCount(1, 1000)) << "the view hears of it";
    EXPECT_TRUE(m_prompts.Calls().empty()) << "no box from the I/O thread";
}

TEST_F(BoardLine, AScanTheLossCutsOffEndsAndAnEarlierCompletionIsNeverItsReadings) {
    // The board goes on the program's third command, the second scan's 35, without a word.
    BoardSimOptions o = CInProcessBoard::Instant();
    o.vanishAfterCommands = 3;
    o.vanishSilently = true;
    m_rx.SetTimings(Quick());
    Connect(o);
    m_rx.SetChannelCount(2); // command 1
    Measure();               // command 2: complete, taken
    const size_t from = m_target.Count();
    const uint64_t first = m_rx.BeginScan(); // command 3 is cut off: no reply at all
    ASSERT_TRUE(WaitForLink(LinkState::kNoBoard));
    EXPECT_EQ(m_rx.GetScanState(first), ScanState::kEnded);
    std::vector<ChannelReading> readings;
    EXPECT_FALSE(m_rx.TakeScan(first, readings));
    EXPECT_FALSE(m_target.WaitForDone(from, 50));

    // A completion the program never stored belongs to its own scan: once a new site ends it,
    // a later scan cut off by a loss must not pass it off as its readings.
    o.vanishAfterCommands = 3 + 3; // identification (1, 2, 8) when it comes back, then as before
    Restart(o);
    ASSERT_TRUE(WaitForLink(LinkState::kConnected));
    m_rx.SetChannelCount(2);
    const size_t before = m_target.Count();
    const uint64_t completed = m_rx.BeginScan();
    ASSERT_TRUE(m_target.WaitForDone(before, 2000));
    m_rx.EndScan(); // a site opened before the point was stored
    EXPECT_EQ(m_rx.GetScanState(completed), ScanState::kEnded);
    const uint64_t next = m_rx.BeginScan();
    ASSERT_TRUE(WaitForLink(LinkState::kNoBoard));
    EXPECT_EQ(m_rx.GetScanState(next), ScanState::kEnded);
    EXPECT_FALSE(m_rx.TakeScan(next, readings));
    EXPECT_FALSE(m_rx.TakeScan(completed, readings));
}

TEST_F(BoardLine, ABoardThatStopsAnsweringDuringATableCostsOneWaitAndIsProgrammedWhenItAnswers) {
    m_rx.SetTimings(Quick());
    BoardSimOptions o = CInProcessBoard::Instant();
    o.silentAfterCommands = 3; // goes quiet on the option word, and stays plugged in
    Connect(o);
    FillTable(30);
    m_rx.SetTableWanted(true);
    const uint64_t generation = m_link.Generation();
    const auto start = Clock::now();
    EXPECT_EQ(m_rx.ProgramChannelTable(), TableLoad::kUnanswered);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(3 * Quick().replyWaitMs))
        << "one unanswered command ends it, not 34 more waits";
    ASSERT_TRUE(WaitForReturn(generation)) << "counted as lost, tried again, and it answers";
    EXPECT_TRUE(m_rx.TableLoaded()) << "the returning board got the whole table";
    const std::vector<std::string> log = LogLines();
    EXPECT_EQ(log.back(), Hex(24, {}));
    EXPECT_EQ(m_rx.ChannelCount(), 30);
}

TEST_F(BoardLine, APortThatNeverIdentifiesItselfIsClosedAndTriedAgainUntilTheBoardAnswers) {
    m_rx.SetTimings(Quick());
    Connect();
    // Something comes back in the board's place, but it never answers.
    BoardSimOptions mute = CInProcessBoard::Instant();
    mute.silent = true;
    Restart(mute);
    ASSERT_TRUE(WaitForLink(LinkState::kConnecting, 3000));
    const uint64_t generation = m_link.Generation();
    ASSERT_TRUE(WaitForLink(LinkState::kNoBoard, 3000)) << "no reply 1 within its wait";
    EXPECT_EQ(m_link.Generation(), generation + 1);

    // The board itself is plugged in.
    Restart(CInProcessBoard::Instant());
    ASSERT_TRUE(WaitForLink(LinkState::kConnected, 5000));
    EXPECT_EQ(LogLines(), (std::vector<std::string>{Hex(1, {}), Hex(2, {}), Hex(8, {0})}))
        << "identified; no table was wanted";
    EXPECT_FALSE(m_rx.TableLoaded());
}

TEST_F(BoardLine, ATableChangedWhileTheBoardComesBackIsProgrammedToo) {
    m_rx.SetTimings(Quick());
    BoardSimOptions o; // paced at 38400 baud: a 30-entry table takes a while to program
    Connect(o);
    FillTable(30);
    m_rx.SetTableWanted(true);
    ASSERT_EQ(m_rx.ProgramChannelTable(), TableLoad::kLoaded);
    ASSERT_TRUE(m_board.Vanish());
    ASSERT_TRUE(WaitForLink(LinkState::kNoBoard));
    const size_t before = LogLines().size();
    ASSERT_TRUE(m_board.Reappear());
    ASSERT_TRUE(WaitForLink(LinkState::kConnecting));
    FillTable(4); // the surveyor picks another table meanwhile
    ASSERT_TRUE(WaitForLink(LinkState::kConnected, 10000));
    EXPECT_TRUE(m_rx.TableLoaded());
    const std::vector<std::string> log = LogLines();
    ASSERT_GT(log.size(), before + 8);
    // The last programming is the new table's, whole: 39(4), four slots, 24.
    EXPECT_EQ(log[log.size() - 6], Hex(39, {4}));
    EXPECT_EQ(log.back(), Hex(24, {}));
    EXPECT_EQ(m_rx.ChannelCount(), 4);
}

} // namespace
