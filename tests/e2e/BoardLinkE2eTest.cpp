// The whole program while its board is unplugged and plugged in again: the simulated board at line
// rate behind a symbolic link given with --port, real taps, and what the window shows meanwhile.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>

#include "BoardSimulator.h"
#include "SurveyHarness.h"
#include "controller/SurveyController.h"
#include "controller/SurveyTexts.h"
#include "receiver/Receiver.h"
#include "shell/MainFrame.h"
#include "shell/QtBoardStatus.h"
#include "survey/RecordList.h"
#include "view/LarkspurView.h"

namespace {

constexpr int kReconnectTimeoutMs = 5000;

TEST(BoardLinkE2e, UnpluggedTheWindowSaysSoOnceTapsWaitForNothingAndTheReturnMeasures) {
    SurveyHarness h;
    CBoardSimulator board;
    BoardSimOptions boardOptions;
    boardOptions.linkPath = h.PathOf("board");
    ASSERT_TRUE(board.Start(boardOptions));
    AppOptions options;
    options.port = boardOptions.linkPath;
    h.timings.reconnectMs = 20; // the board's return is looked for often
    ASSERT_TRUE(h.Start(options));
    h.OpenSite(h.WriteSite("site.lks", 480, 640), false);
    h.LoadTable(h.WriteTable("three.nct", {{0, 1}, {0, 334}, {1, 25}}));
    ASSERT_TRUE(h.Receiver().TableLoaded());
    EXPECT_EQ(h.Frame().BoardText(), "") << "a board there from the start needs no word";
    h.Tap(QPoint(120, 160));
    ASSERT_TRUE(h.WaitForMapScreen(kReconnectTimeoutMs));
    ASSERT_EQ(RecordCount(h.Controller().Records()), 3u);

    ASSERT_TRUE(board.Vanish());
    ASSERT_TRUE(WaitUntil([&] { return h.Frame().BoardText() == "NO BOARD"; }, 2000));
    QMessageBox* notice = h.BoardStatus().Notice();
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->windowModality(), Qt::NonModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "nothing to dismiss before going on";
    EXPECT_EQ(notice->text().toStdString(), surveytext::kBoardLost);
    // The strip above the status panes is red where the window shows it.
    const QWidget* strip = h.Frame().findChild<QWidget*>("boardPane");
    ASSERT_NE(strip, nullptr);
    const QImage frame = h.Frame().grab().toImage();
    const QPoint inStrip = strip->geometry().topLeft() + QPoint(3, strip->height() / 2);
    EXPECT_EQ(QColor(frame.pixel(inStrip)), QColor(0xc0, 0, 0));

    // Taps while the board is away: the same notice answers, no box, the map stays as it was.
    const size_t prompts = h.Prompts().Calls().size();
    const QImage map = h.Screen();
    h.Tap(QPoint(60, 60));
    h.Tap(QPoint(180, 200));
    EXPECT_EQ(h.Prompts().Calls().size(), prompts);
    EXPECT_EQ(h.Frame().findChildren<QMessageBox*>().size(), 1);
    EXPECT_EQ(h.View().ScreenMode(), CLarkspurView::kMapScreen);
    EXPECT_EQ(h.Screen(), map);
    EXPECT_EQ(RecordCount(h.Controller().Records()), 3u);

    ASSERT_TRUE(board.Reappear());
    ASSERT_TRUE(
        WaitUntil([&] { return h.Frame().BoardText() == "BOARD CONNECTED"; }, kReconnectTimeoutMs));
    EXPECT_EQ(notice->text().toStdString(), surveytext::kBoardConnectedWithTable);
    EXPECT_EQ(h.Controller().BoardState(), LinkState::kConnected);
    h.Tap(QPoint(60, 60));
    ASSERT_TRUE(h.WaitForMapScreen(kReconnectTimeoutMs));
    EXPECT_EQ(RecordCount(h.Controller().Records()), 6u);
    EXPECT_EQ(board.Scans(), 2u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(h.Receiver().Channel(k).rssiX16, CSimulatedSignal::RssiX16(1, k, 2)) << k;
    }
}

} // namespace
