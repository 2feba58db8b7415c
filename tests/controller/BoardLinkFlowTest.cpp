// The survey controller while the receiver board goes and comes back: the simulated board in the
// same process, unplugged while idle, during a scan and during a table load; a board that returns
// without its table; no board at start-up; and quitting meanwhile.
#include "SurveyFlowFixture.h"

#include <chrono>
#include <fstream>
#include <unistd.h>

#include "controller/SurveyTexts.h"
#include "support/ScriptedPrompts.h"

namespace {

using namespace surveytext;
using Clock = std::chrono::steady_clock;

// What the program sends before the first tap: identification (1, then 2 and 8 from the
// replies) and the three-channel table (8, 8, 5, 39, 23 x 3, 24).
constexpr int kIdentifyCommands = 3;
constexpr int kTableCommands = 8;
constexpr int kStartUpCommands = kIdentifyCommands + kTableCommands;

class BoardComesAndGoes : public SurveyFlow {
protected:
    BoardComesAndGoes() : m_usePrompts(prompts) {
        boardOptions.logPath = dir.File("wire.log");
        // A returning board is looked for often, so the tests wait milliseconds for it.
        timings.reconnectMs = 20;
    }

    // The board started afresh with options (instant, with the same log), and a program started
    // on it.
    void Restart(BoardSimOptions options) {
        EndProgram();
        board.Stop();
        options.logPath = boardOptions.logPath;
        ASSERT_TRUE(board.Start(options));
        StartProgram();
    }

    bool WaitForBoard(LinkState state) {
        return PumpUntil([&] { return controller->BoardState() == state; });
    }

    // Every frame the board received, as hex with its escapes, one line each.
    std::vector<std::string> WireLog() const {
        std::ifstream in(boardOptions.logPath);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    // The readings (whole dBm) of the last point stored, and those the board gave in its scan-th
    // scan of the table.
    std::vector<int> LastPoint(size_t channels = 3) const {
        const std::vector<Reading> all = ReadingsOf(controller->Records());
        std::vector<int> out;
        for (size_t i = all.size() - channels; i < all.size(); ++i) {
            out.push_back(all[i].rssi);
        }
        return out;
    }
    static std::vector<int> BoardScan(uint64_t scan, int channels = 3) {
        std::vector<int> out;
        for (int k = 0; k < channels; ++k) {
            out.push_back(CSimulatedSignal::RssiX16(1, k, scan) / 16);
        }
        return out;
    }

    CScriptedPrompts prompts;
    CScopedPrompts m_usePrompts;
};

TEST_F(BoardComesAndGoes, UnpluggedWhileIdleTheSurveyWaitsAndTheReturningBoardIsSetUpAgain) {
    for (const bool forgetsTable : {false, true}) {
        SCOPED_TRACE(forgetsTable ? "the board lost its table" : "the board kept its table");
        BoardSimOptions options = CInProcessBoard::Instant();
        options.forgetTable = forgetsTable;
        Restart(options);
        Open(MakeSite("site.lks"), false);
        LoadTable();
        ASSERT_TRUE(TakePoint(100, 100));
        const std::vector<Reading> taken = ReadingsOf(controller->Records());
        const size_t boxes = ui->messages.size();
        const size_t startUp = WireLog().size() - 1; // all but the tap's 35

        ASSERT_TRUE(board.Vanish());
        ASSERT_TRUE(WaitForBoard(LinkState::kNoBoard));
        EXPECT_EQ(ui->boardStates.back(), LinkState::kNoBoard);
        EXPECT_EQ(ui->notices, std::vector<std::string>{kBoardLost});

        // Taps and the centre key answer in the one notice: no box, no scan, nothing stored.
        EXPECT_FALSE(TakePoint(200, 200));
        EXPECT_FALSE(TakePoint(220, 220));
        EXPECT_EQ(ui->notices, (std::vector<std::string>{kBoardLost, kNoBoard, kNoBoard}));
        EXPECT_EQ(ui->messages.size(), boxes);
        EXPECT_EQ(ReadingsOf(controller->Records()), taken);
        EXPECT_TRUE(controller->HasUnsavedChanges());
        EXPECT_EQ(ui->screen, ISurveyMap::kMapScreen);

        ASSERT_TRUE(board.Reappear());
        ASSERT_TRUE(WaitForBoard(LinkState::kConnected));
        EXPECT_EQ(ui->revisions.back(), kBoardConnectedWithTable);
        // The wire log of the replug: identification and the whole table, as at start-up.
        const std::vector<std::string> log = WireLog();
        ASSERT_EQ(log.size(), 2 * startUp + 1);
        EXPECT_EQ(std::vector<std::string>(log.begin() + static_cast<long>(startUp) + 1, log.end()),
                  std::vector<std::string>(log.begin(), log.begin() + static_cast<long>(startUp)));
        EXPECT_EQ(log[startUp + 1], "11 12 01 11 13");

        ASSERT_TRUE(TakePoint(300, 300));
        EXPECT_EQ(board.Scans(), 2u);
        EXPECT_EQ(LastPoint(), BoardScan(2)) << "a reading for every channel, the board's own";
        EXPECT_TRUE(prompts.Calls().empty()) << "nothing asked at the program's start-up";
    }
}

TEST_F(BoardComesAndGoes, UnpluggedDuringAScanThePointIsDroppedAndTheNextTapMeasures) {
    BoardSimOptions options = CInProcessBoard::Instant();
    options.vanishAfterCommands = kStartUpCommands + 1; // the first tap's 35, cut off mid-scan
    Restart(options);
    Open(MakeSite("site.lks"), false);
    LoadTable();
    ASSERT_TRUE(Tap(100, 100));
    ASSERT_TRUE(WaitForBoard(LinkState::kNoBoard));
    EXPECT_TRUE(ui->stored.empty()) << "never stored half-filled";
    EXPECT_TRUE(controller->Records().IsEmpty());
    EXPECT_FALSE(controller->HasUnsavedChanges());
    EXPECT_FALSE(receiver->MeasurementPending());
    EXPECT_EQ(ui->screen, ISurveyMap::kMapScreen);
    EXPECT_EQ(ui->notices, std::vector<std::string>{std::string(kBoardLost) + kScanNotStored});
    ui->noticeOpen = false; // the surveyor closes it

    ASSERT_TRUE(board.Reappear());
    ASSERT_TRUE(WaitForBoard(LinkState::kConnected));
    // Told again even to a surveyor who had closed the notice: a point was not stored.
    EXPECT_EQ(ui->notices.back(), std::string(kBoardConnectedWithTable) + kScanNotStored);
    ASSERT_TRUE(TakePoint(100, 100));
    EXPECT_EQ(ReadingsOf(controller->Records()).size(), 3u);
    EXPECT_EQ(LastPoint(), BoardScan(2));
}

TEST_F(BoardComesAndGoes, UnpluggedDuringATableLoadTheTableIsLoadedWhenTheBoardReturns) {
    BoardSimOptions options = CInProcessBoard::Instant();
    options.vanishAfterCommands = kIdentifyCommands + 5; // the first slot, after 8, 8, 5, 39
    options.forgetTable = true;
    Restart(options);
    Open(MakeSite("site.lks"), false);
    EXPECT_FALSE(controller->LoadTableFile(TableFile()));
    EXPECT_EQ(ui->messages.back(), kTableLostDuringLoad);
    EXPECT_FALSE(receiver->TableLoaded());
    EXPECT_EQ(ui->busyDepth, 0);
    EXPECT_FALSE(TakePoint(100, 100));

    ASSERT_TRUE(board.Reappear());
    ASSERT_TRUE(WaitForBoard(LinkState::kConnected));
    EXPECT_TRUE(receiver->TableLoaded());
    const std::vector<std::vector<uint8_t>> frames = board.ReceivedFrames();
    ASSERT_EQ(frames.size(), static_cast<size_t>(kIdentifyCommands + 5 + kStartUpCommands));
    EXPECT_EQ(frames.back(), std::vector<uint8_t>{CReceiver::kCmdReadList});
    ASSERT_TRUE(TakePoint(100, 100));
    EXPECT_EQ(LastPoint(), BoardScan(1));
}

TEST_F(BoardComesAndGoes, ATableChosenWhileTheBoardIsAwayIsTheOneItGetsBack) {
    Open(MakeSite("site.lks"), false);
    LoadTable();
    ASSERT_TRUE(board.Vanish());
    ASSERT_TRUE(WaitForBoard(LinkState::kNoBoard));
    const std::string two = dir.File("two.nct");
    WriteText(two, "2\r\n30\r\n0,990,\r\n1,3,\r\n0,65535,\r\n");
    ui->maxBusyDepth = 0;
    EXPECT_FALSE(controller->LoadTableFile(two)) << "read, not yet on a board";
    EXPECT_EQ(ui->messages.back(), kTableWaitsForBoard);
    EXPECT_EQ(ui->maxBusyDepth, 0) << "answered at once, no busy cursor";

    ASSERT_TRUE(board.Reappear());
    ASSERT_TRUE(WaitForBoard(LinkState::kConnected));
    const std::vector<std::vector<uint8_t>> frames = board.ReceivedFrames();
    ASSERT_GE(frames.size(), 4u);
    EXPECT_EQ(frames[frames.size() - 4], (std::vector<uint8_t>{CReceiver::kCmdChannelCount, 2}));
    ASSERT_TRUE(TakePoint(50, 50));
    EXPECT_EQ(ReadingsOf(controller->Records()).size(), 2u);
    EXPECT_EQ(ReadingsOf(controller->Records())[0].channel, 990);
}

TEST_F(BoardComesAndGoes, WithoutABoardAtStartUpNothingWaitsAndABoardPluggedInLaterIsSetUp) {
    EndProgram();
    board.Stop();
    StartProgram();
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{"Cannot Open Connection To Board."});
    EXPECT_TRUE(ui->timers.empty()) << "no start-up waits without a port";
    EXPECT_EQ(ui->boardStates, std::vector<LinkState>{LinkState::kNoBoard});
    Open(MakeSite("site.lks"), false);
    ui->paths.push_back(TableFile());
    controller->OnChannelTable();
    EXPECT_EQ(ui->messages.back(), kTableWaitsForBoard);
    EXPECT_FALSE(receiver->TableLoaded());
    EXPECT_FALSE(TakePoint(100, 100));
    EXPECT_EQ(ui->notices, std::vector<std::string>{kNoBoard});

    ASSERT_TRUE(board.Start(boardOptions)); // plugged in
    ASSERT_TRUE(WaitForBoard(LinkState::kConnected));
    EXPECT_EQ(ui->revisions, std::vector<std::string>{kBoardConnectedWithTable});
    EXPECT_TRUE(receiver->TableLoaded());
    char serial[CReceiver::kSerialSize];
    receiver->GetSerialNumber(serial);
    EXPECT_STREQ(serial, "SIM001");
    EXPECT_EQ(WireLog().size(), static_cast<size_t>(kStartUpCommands));
    ASSERT_TRUE(TakePoint(100, 100));
    EXPECT_EQ(LastPoint(), BoardScan(1));
    EXPECT_EQ(prompts.Messages().size(), 1u) << "the retries are silent";
}

TEST_F(BoardComesAndGoes, QuittingIsPromptWhateverTheBoardIsDoing) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
    };
    const Case cases[] = {
        {"board lost",
         [&] {
             ASSERT_TRUE(board.Vanish());
             ASSERT_TRUE(WaitForBoard(LinkState::kNoBoard));
         }},
        {"a board that never answers is being set up",
         [&] {
             BoardSimOptions mute = CInProcessBoard::Instant();
             mute.silent = true;
             board.Stop();
             ASSERT_TRUE(board.Start(mute));
             ASSERT_TRUE(WaitForBoard(LinkState::kConnecting));
         }},
        {"scan running on a slow line",
         [&] {
             BoardSimOptions slow;
             slow.baud = 4800; // about 2 ms a byte: the scan's replies take a while
             Restart(slow);
             Open(MakeSite("site.lks"), false);
             LoadTable();
             ASSERT_TRUE(Tap(10, 10));
             ASSERT_TRUE(receiver->MeasurementPending());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Restart(CInProcessBoard::Instant());
        c.arrange();
        const auto start = Clock::now();
        EndProgram();
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
    }
    StartProgram(); // for TearDown
}

} // namespace
