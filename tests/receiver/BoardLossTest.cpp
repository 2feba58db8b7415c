// The receiver when its board goes and comes back, on the simulated board over a real
// pseudo-terminal: loss seen at once and waiters released, a port that never identifies itself, a
// table changed while the board comes back, and the replies' follow-ups that no longer stall the
// line.
#include "BoardLineFixture.h"

#include <future>
#include <pty.h>

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
    BoardSimOptions o;
    o.silent = true; // the sender would otherwise wait its full second
    ConnectByLink(o);
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
    EXPECT_LT(sender.get(), std::chrono::milliseconds(CReceiver::kReplyWaitMs))
        << "released by the loss, not by its wait running out";
    EXPECT_EQ(m_link.Generation(), generation + 1);
    EXPECT_FALSE(m_link.IsOpen());
    ASSERT_TRUE(m_target.WaitForCount(1, 1000)) << "the view hears of it";
    EXPECT_TRUE(m_prompts.Calls().empty()) << "no box from the I/O thread";
}

TEST_F(BoardLine, APortThatNeverIdentifiesItselfIsClosedAndTriedAgainUntilTheBoardAnswers) {
    BoardSimOptions o;
    o.instant = true;
    ConnectByLink(o);
    ASSERT_TRUE(m_board.Vanish());
    ASSERT_TRUE(WaitForLink(LinkState::kNoBoard));
    // Something comes back under the board's name, but no board is behind it.
    int master = -1;
    int slave = -1;
    char name[128];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    ASSERT_EQ(symlink(name, m_boardLink.c_str()), 0);
    ASSERT_TRUE(WaitForLink(LinkState::kConnecting, 3000));
    const uint64_t generation = m_link.Generation();
    ASSERT_TRUE(WaitForLink(LinkState::kNoBoard, 3000)) << "no reply 1 within its wait";
    EXPECT_EQ(m_link.Generation(), generation + 1);

    // The board itself is plugged in behind the same name.
    const size_t before = LogLines().size();
    ASSERT_TRUE(m_board.Reappear());
    close(master);
    close(slave);
    ASSERT_TRUE(WaitForLink(LinkState::kConnected, 5000));
    const std::vector<std::string> log = LogLines();
    EXPECT_EQ(std::vector<std::string>(log.begin() + static_cast<long>(before), log.end()),
              (std::vector<std::string>{Hex(1, {}), Hex(2, {}), Hex(8, {0})}))
        << "identified; no table was wanted";
    EXPECT_FALSE(m_rx.TableLoaded());
}

TEST_F(BoardLine, ATableChangedWhileTheBoardComesBackIsProgrammedToo) {
    ConnectByLink(); // paced at 38400 baud: a 30-entry table takes a while to program
    FillTable(30);
    m_rx.SetTableWanted(true);
    ASSERT_TRUE(m_rx.ProgramChannelTable());
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
