// The survey's flow at the controller, on the simulated board with scripted answers: opening,
// measuring, deleting and saving, and the ways a day's survey used to be lost.
#include "SurveyFlowFixture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>

#include "files/JournalCheck.h"
#include "files/JournalFormat.h"
#include "files/SurveyJournal.h"
#include "survey/RecordList.h"
#include "survey/SurveyData.h"

namespace {

constexpr const char* kKeepQuestion = "Do you wish to keep existing data points?";

TEST_F(SurveyFlow, OpenKeepsOrDiscardsTheFilesPoints) {
    const std::string site = MakeSite("site.lks", 480, 640, {{10, 20}, {300, 400}});
    Open(site, true);
    EXPECT_EQ(ui->messages, std::vector<std::string>{kKeepQuestion});
    EXPECT_EQ(ReadingsOf(controller->Records()).size(), 6u);
    ASSERT_EQ(ui->painted.size(), 2u);
    EXPECT_EQ(ui->painted[1].x, 300);
    EXPECT_EQ(ui->painted[1].strongest, -61);
    EXPECT_EQ(ui->screen, ISurveyMap::kMapScreen);
    EXPECT_FALSE(controller->HasUnsavedChanges());

    Open(site, false);
    EXPECT_TRUE(controller->Records().IsEmpty());
    EXPECT_EQ(controller->Survey()->m_nLocations, 0);
    EXPECT_EQ(ui->busyDepth, 0) << "every busy cursor was lifted";
    EXPECT_FALSE(controller->Journal().IsOpen()) << "no journal before the first change";
}

TEST_F(SurveyFlow, TakeDeleteSaveAndReopen) {
    const std::string site = MakeSite("site.lks");
    Open(site, false);
    ASSERT_FALSE(TakePoint(240, 320)) << "no table yet";
    EXPECT_EQ(ui->messages.back(), "No Channel Table Loaded.");
    LoadTable();
    ASSERT_TRUE(TakePoint(240, 320));
    ASSERT_TRUE(TakePoint(100, 100));
    EXPECT_EQ(ui->timers.back(), CSurveyController::kScanEndPauseMs) << "the scan stays a while";
    EXPECT_EQ(ui->screen, ISurveyMap::kMapScreen);
    // The readings are the board's, one per channel of the table.
    const std::vector<Reading> taken = ReadingsOf(controller->Records());
    ASSERT_EQ(taken.size(), 6u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(taken[k].rssi, CSimulatedSignal::RssiX16(1, k, 1) / 16) << k;
        EXPECT_EQ(taken[3 + k].rssi, CSimulatedSignal::RssiX16(1, k, 2) / 16) << k;
    }
    EXPECT_TRUE(controller->Journal().IsOpen());

    // A hold 30 px off the first point deletes it; the disc goes where the stylus was.
    ui->deletes.push_back(true);
    controller->OnHold({270, 320});
    ASSERT_EQ(ui->inspected.size(), 1u);
    const auto strongest =
        std::max_element(taken.begin(), taken.begin() + 3,
                         [](const Reading& a, const Reading& b) { return a.rssi < b.rssi; });
    EXPECT_EQ(ui->inspected[0].x, 240.0);
    EXPECT_EQ(ui->inspected[0].y, 320.0);
    EXPECT_EQ(ui->inspected[0].rssi, strongest->rssi) << "the dialog shows its strongest reading";
    EXPECT_EQ(ui->inspected[0].channel, strongest->channel);
    ASSERT_EQ(ui->erased.size(), 1u);
    EXPECT_EQ(ui->erased[0].x, 240) << "the deleted point's circle goes, wherever the hold was";
    EXPECT_EQ(ui->surveyChanges, 2) << "the open and the delete were told";
    EXPECT_EQ(ReadingsOf(controller->Records()),
              std::vector<Reading>(taken.begin() + 3, taken.end()));

    ui->signOffs.push_back(true);
    ASSERT_TRUE(controller->SaveSite());
    EXPECT_FALSE(controller->HasUnsavedChanges());
    EXPECT_EQ(access(JournalOf(site).c_str(), F_OK), -1) << "a save removes the journal";
    EXPECT_EQ(ReadingsOf(ReadSite(site).m_records),
              std::vector<Reading>(taken.begin() + 3, taken.end()));

    Open(site, true);
    EXPECT_EQ(ReadingsOf(controller->Records()),
              std::vector<Reading>(taken.begin() + 3, taken.end()));
}

TEST_F(SurveyFlow, AMovedOrDeletedFileIsSavedWholeAndOpensAgain) {
    const std::string site = MakeSite("site.lks");
    const CSiteFile original = ReadSite(site);
    Open(site, false);
    LoadTable();
    ASSERT_TRUE(TakePoint(50, 60));
    ASSERT_EQ(std::rename(site.c_str(), dir.File("moved.lks").c_str()), 0);

    ui->signOffs.push_back(true);
    ASSERT_TRUE(controller->SaveSite());
    const CSiteFile saved = ReadSite(site);
    EXPECT_EQ(saved.m_picture.pixels, original.m_picture.pixels) << "the picture, not zeros";
    EXPECT_EQ(ReadingsOf(saved.m_records), ReadingsOf(controller->Records()));
    Open(site, true);
    EXPECT_EQ(ui->messages.back(), kKeepQuestion) << "opened as a site file";
}

TEST_F(SurveyFlow, APointIsStoredBeforeThePauseSoACloseMeanwhileAsksToSaveIt) {
    const std::string site = MakeSite("site.lks");
    Open(site, false);
    LoadTable();
    ASSERT_TRUE(Tap(240, 320));
    ASSERT_TRUE(PumpUntil([&] { return !ui->stored.empty(); }));
    // The window is closed (or minimised) while the finished scan is still on screen.
    ASSERT_EQ(controller->Waiting(), CSurveyController::Wait::kScanEnd);
    EXPECT_EQ(CheckJournal(JournalOf(site), nullptr).contents.entries.size(), 2u)
        << "the keep answer and the point, before the pause";
    ui->answers.push_back(kIdCancel);
    EXPECT_FALSE(controller->QueryDiscardChanges("Save the survey before closing?"))
        << "the close asked about the new point at once and was cancelled";
    EXPECT_EQ(ui->messages.back(), "Save the survey before closing?");
    EXPECT_EQ(ui->screen, ISurveyMap::kScanScreen);
    EXPECT_TRUE(ui->FireTimer());
    EXPECT_EQ(ui->screen, ISurveyMap::kMapScreen) << "the map returns when the pause ends";
    EXPECT_EQ(ui->busyDepth, 0);
}

TEST_F(SurveyFlow, InputDuringThePauseWaitsForItsEndAndAHoldIsRefused) {
    const std::string site = MakeSite("site.lks", 480, 640, {{400, 500}});
    Open(site, true);
    LoadTable();
    ASSERT_TRUE(Tap(100, 100));
    ASSERT_TRUE(PumpUntil([&] { return ui->stored.size() == 1; }));
    ASSERT_EQ(controller->Waiting(), CSurveyController::Wait::kScanEnd);

    // Half a second on the scan screen: two taps, the table command, and a hold on the old
    // point come in meanwhile.
    const size_t centred = ui->centred.size();
    const size_t messages = ui->messages.size();
    controller->OnTap({200, 200});
    controller->OnTap({300, 300});
    ui->paths.push_back(TableFile());
    controller->OnChannelTable();
    ui->deletes.push_back(true);
    controller->OnHold({400, 500});
    EXPECT_EQ(ui->centred.size(), centred) << "no scan began";
    EXPECT_TRUE(ui->inspected.empty()) << "the hold was refused, not kept";
    EXPECT_EQ(ui->messages.size(), messages) << "nothing ran yet";

    // When the pause ends, the table is loaded and the last tap measures; the earlier tap was
    // the same intent and is not taken twice.
    ASSERT_TRUE(ui->FireTimer());
    EXPECT_EQ(ui->messages, (std::vector<std::string>{kKeepQuestion, "Table has been loaded.",
                                                      "Table has been loaded."}));
    ASSERT_EQ(ui->centred.size(), centred + 1);
    EXPECT_EQ(ui->centred.back().x, 300);
    ASSERT_TRUE(PumpUntil([&] { return ui->stored.size() == 2; }));
    EXPECT_EQ(ui->stored.back().x, 300);
    EndWaits();
    EXPECT_EQ(ReadingsOf(controller->Records()).size(), 3u + 6u);
    EXPECT_EQ(ui->busyDepth, 0);
}

TEST_F(SurveyFlow, TheStartUpWaitsAreTheTimersAndWhatComesMeanwhileRunsInOrderAfter) {
    const std::string site = MakeSite("site.lks");
    EndProgram();
    receiver = std::make_unique<CReceiver>();
    receiver->SetViewWindow(&posts);
    ui = std::make_unique<CScriptedSurveyUi>();
    controller = std::make_unique<CSurveyController>(*receiver, *ui);
    controller->StartLink(board.Source()); // the program's own waits: 3 s, then 2 s
    EXPECT_EQ(controller->Waiting(), CSurveyController::Wait::kLinkSettle);
    EXPECT_EQ(ui->busyDepth, 1) << "the busy cursor for the whole start-up";

    // The command line's site and table, given while the board settles, wait their turn.
    ui->answers.push_back(kIdNo);
    EXPECT_FALSE(controller->OpenSiteFile(site));
    EXPECT_FALSE(controller->LoadTableFile(TableFile()));
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_FALSE(controller->SiteIsOpen());

    ASSERT_TRUE(ui->FireTimer());
    EXPECT_EQ(controller->Waiting(), CSurveyController::Wait::kIdentity);
    ASSERT_TRUE(ui->FireTimer());
    EXPECT_EQ(ui->timers, (std::vector<int>{CSurveyController::kLinkSettleMs,
                                            CSurveyController::kIdentityWaitMs}));
    EXPECT_EQ(controller->Waiting(), CSurveyController::Wait::kNone);
    EXPECT_EQ(ui->messages, (std::vector<std::string>{kKeepQuestion, "Table has been loaded."}));
    EXPECT_TRUE(controller->SiteIsOpen());
    EXPECT_EQ(ui->busyDepth, 0);
    EXPECT_TRUE(PumpUntil([&] { return ui->identity.serial == "SIM001"; }))
        << "the start screen gets the board's identity";
}

TEST_F(SurveyFlow, AScanCompletedBeforeASiteOpensIsNeverStoredInTheNextSurvey) {
    // The board answers the tap's scan and then, as the next scan starts, is lost without a word.
    EndProgram();
    board.Stop();
    BoardSimOptions options = CInProcessBoard::Instant();
    options.vanishAfterCommands = 3 + 8 + 2; // identification, table, two scans
    options.vanishSilently = true;
    ASSERT_TRUE(board.Start(options));
    StartProgram();
    Open(MakeSite("first.lks"), false);
    LoadTable();
    ASSERT_TRUE(Tap(100, 100));
    // The scan completes at the receiver, but its post has not been handled when the surveyor
    // opens another site.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!receiver->MeasurementComplete() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(receiver->MeasurementComplete());
    Open(MakeSite("second.lks"), false);
    ASSERT_TRUE(Tap(200, 200));
    ASSERT_TRUE(PumpUntil([&] { return controller->BoardState() == LinkState::kNoBoard; }));
    EXPECT_TRUE(ui->stored.empty()) << "the first site's readings are not the second's point";
    EXPECT_TRUE(controller->Records().IsEmpty());
    EXPECT_FALSE(controller->HasUnsavedChanges());
}

TEST_F(SurveyFlow, ClosingTheSignOffWithoutSavingWritesNothing) {
    const std::string site = MakeSite("site.lks", 480, 640, {{10, 20}, {30, 40}, {50, 60}});
    const std::vector<uint8_t> before = ReadAll(site);
    Open(site, false); // the stored points are not kept in memory
    LoadTable();
    ASSERT_TRUE(TakePoint(240, 320));

    ui->signOffs.push_back(false); // Escape, or the caption's close
    EXPECT_FALSE(controller->SaveSite());
    EXPECT_EQ(ReadAll(site), before) << "the file keeps its three points";
    EXPECT_TRUE(controller->HasUnsavedChanges());

    // A close that asked for the save does not close either.
    ui->answers.push_back(kIdYes);
    ui->signOffs.push_back(false);
    EXPECT_FALSE(controller->QueryDiscardChanges("Save the survey before closing?"));
    EXPECT_EQ(ReadAll(site), before);
}

TEST_F(SurveyFlow, AfterACrashTheJournalRecoversThePointsTheDeleteAndTheKeepAnswer) {
    const std::string site = MakeSite("site.lks", 480, 640, {{10, 20}});
    Open(site, false); // the file's point was not kept: a recovery must not bring it back
    LoadTable();
    ASSERT_TRUE(TakePoint(100, 100));
    ASSERT_TRUE(TakePoint(200, 200));
    ASSERT_TRUE(TakePoint(300, 300));
    ui->deletes.push_back(true);
    controller->OnHold({205, 195});
    const std::vector<Reading> before = ReadingsOf(controller->Records());
    ASSERT_EQ(before.size(), 6u);
    EndProgram();

    StartProgram();
    ui->paths.push_back(site);
    ui->answers.push_back(kIdYes);
    controller->OnOpenSite();
    ASSERT_EQ(ui->messages, std::vector<std::string>{"Recover 4 points that were not saved?"});
    EXPECT_EQ(ReadingsOf(controller->Records()), before);
    EXPECT_EQ(ui->painted.size(), 3u) << "the circles of the three points taken";
    ASSERT_EQ(ui->erased.size(), 1u);
    EXPECT_EQ(ui->erased[0].x, 200) << "and the deleted one's circle gone";
    EXPECT_EQ(ui->surveyChanges, 1) << "the recovered survey was told, for the counts";
    EXPECT_TRUE(controller->HasUnsavedChanges());

    ui->signOffs.push_back(true);
    ASSERT_TRUE(controller->SaveSite());
    EXPECT_EQ(ReadingsOf(ReadSite(site).m_records), before);
}

TEST_F(SurveyFlow, ATornLastEntryIsDroppedAndLaterPointsStillRecover) {
    const std::string site = MakeSite("site.lks");
    Open(site, false);
    LoadTable();
    ASSERT_TRUE(TakePoint(100, 100));
    ASSERT_TRUE(TakePoint(200, 200));
    const std::vector<Reading> first = ReadingsOf(controller->Records());
    EndProgram();
    // The last entry was cut off mid-write.
    std::vector<uint8_t> bytes = ReadAll(JournalOf(site));
    bytes.resize(bytes.size() - 7);
    WriteAll(JournalOf(site), bytes);

    StartProgram();
    ui->answers.push_back(kIdYes);
    ui->paths.push_back(site);
    controller->OnOpenSite();
    EXPECT_EQ(ui->messages.back(), "Recover 1 point that was not saved?");
    EXPECT_EQ(ReadingsOf(controller->Records()),
              std::vector<Reading>(first.begin(), first.begin() + 3));
    LoadTable();
    ASSERT_TRUE(TakePoint(300, 300));
    const std::vector<Reading> second = ReadingsOf(controller->Records());
    EndProgram();

    // The new point was written after the good entries, not behind the torn one.
    StartProgram();
    ui->answers.push_back(kIdYes);
    ui->paths.push_back(site);
    controller->OnOpenSite();
    EXPECT_EQ(ui->messages.back(), "Recover 2 points that were not saved?");
    EXPECT_EQ(ReadingsOf(controller->Records()), second);
}

TEST_F(SurveyFlow, ADeclinedRecoveryIsSetAsideUnderANameThatSaysSo) {
    const std::string site = MakeSite("site.lks");
    Open(site, false);
    LoadTable();
    ASSERT_TRUE(TakePoint(100, 100));
    EndProgram();

    StartProgram();
    ui->answers = {kIdNo, kIdYes};
    ui->paths.push_back(site);
    controller->OnOpenSite();
    EXPECT_EQ(ui->messages,
              (std::vector<std::string>{"Recover 1 point that was not saved?", kKeepQuestion}));
    EXPECT_EQ(access((JournalOf(site) + ".declined").c_str(), F_OK), 0);
    EXPECT_EQ(access(JournalOf(site).c_str(), F_OK), -1);
}

} // namespace
