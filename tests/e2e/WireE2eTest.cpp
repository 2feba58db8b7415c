// The program on a real pseudo-terminal, byte for byte: the start-up, a channel table and two
// scans as the board receives them, and the readings the program makes of the board's answers.
#include <gtest/gtest.h>

#include <QFile>
#include <QPoint>

#include "BoardSimulator.h"
#include "SurveyHarness.h"
#include "controller/SurveyController.h"
#include "survey/RecordList.h"

namespace {

TEST(WireE2e, TheStartUpTableAndScansAreTheBoardsOwnBytes) {
    SurveyHarness h;
    CBoardSimulator board; // paced at 38400 baud, as the card is
    BoardSimOptions boardOptions;
    boardOptions.logPath = h.PathOf("wire.log");
    ASSERT_TRUE(board.Start(boardOptions));
    AppOptions options;
    options.port = board.SlavePath();
    ASSERT_TRUE(h.Start(options));
    h.OpenSite(h.WriteSite("site.lks", 480, 640), false);
    h.LoadTable(h.WriteTable("three.nct", {{0, 1}, {0, 334}, {1, 25}}));
    for (const QPoint& tap : {QPoint(120, 160), QPoint(60, 60)}) {
        h.Tap(tap);
        ASSERT_TRUE(h.WaitForMapScreen(5000));
    }

    QFile log(QString::fromStdString(boardOptions.logPath));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QStringList frames = QString::fromLatin1(log.readAll()).split('\n', Qt::SkipEmptyParts);
    const QStringList expected = {
        "11 12 01 11 13",
        "11 12 02 11 13",
        "11 12 08 00 11 13",
        "11 12 08 00 11 13",
        "11 12 08 04 11 13",
        "11 12 05 28 00 11 13",
        "11 12 27 03 11 13",
        "11 12 17 00 00 22 00 11 13",
        "11 12 17 01 00 6F 01 11 13",
        "11 12 17 02 01 4D 00 11 13",
        "11 12 18 11 13",
        "11 12 23 11 13",
        "11 12 23 11 13",
    };
    EXPECT_EQ(frames, expected);

    // Each point holds the board's readings of its own scan, whole dBm.
    std::vector<int> readings;
    SurveyRecord* r = nullptr;
    for (int16_t rc = h.Controller().Records().GetAt(r, 1); rc == RL_OK;
         rc = h.Controller().Records().GetNext(r)) {
        readings.push_back(r->rssi);
    }
    std::vector<int> fromBoard;
    for (uint64_t scan : {1, 2}) {
        for (int k = 0; k < 3; ++k) {
            fromBoard.push_back(CSimulatedSignal::RssiX16(boardOptions.seed, k, scan) / 16);
        }
    }
    EXPECT_EQ(readings, fromBoard);
}

} // namespace
