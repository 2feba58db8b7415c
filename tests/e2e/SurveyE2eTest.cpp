// The whole survey from end to end: the program on the simulated board at line rate, driven by
// real mouse and key events, with scripted answers to its questions and file dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstring>

#include "BoardSimulator.h"
#include "SurveyHarness.h"
#include "analysis/RssiBands.h"
#include "controller/SurveyController.h"
#include "files/SiteFile.h"
#include "files/SiteFileReader.h"
#include "receiver/Receiver.h"
#include "shell/LocationInfoDlg.h"
#include "shell/MainFrame.h"
#include "shell/SignOffDlg.h"
#include "survey/RecordList.h"
#include "survey/SurveyData.h"
#include "view/LarkspurView.h"
#include "view/ViewCommands.h"

namespace {

constexpr int kScanTimeoutMs = 5000;

struct Reading {
    int32_t x, y, channel;
    double frequencyMHz;
    int16_t rssi;
    std::string name;
    bool operator==(const Reading& o) const {
        return x == o.x && y == o.y && channel == o.channel && frequencyMHz == o.frequencyMHz &&
               rssi == o.rssi && name == o.name;
    }
};

std::vector<Reading> readingsIn(const CRecordList& list) {
    std::vector<Reading> out;
    SurveyRecord* cursor = nullptr;
    for (int16_t rc = list.GetAt(cursor, 1); rc == RL_OK; rc = list.GetNext(cursor)) {
        out.push_back({cursor->x, cursor->y, cursor->channel, cursor->frequencyMHz, cursor->rssi,
                       cursor->name});
    }
    return out;
}

QColor bandColour(int16_t dbm) {
    const BandColour c = ColourOfBand(RssiBandOf(dbm));
    return QColor(c.red, c.green, c.blue);
}

// The strongest reading of the table as the board last reported it.
int16_t strongestOfTable(const CReceiver& receiver) {
    int16_t best = -125;
    for (int i = 0; i < receiver.ChannelCount(); ++i) {
        best = std::max(best, receiver.RssiDbm(i));
    }
    return best;
}

QColor canvasAt(const CLarkspurView& view, int x, int y) {
    return QColor(view.MapCanvas().pixel(x, y));
}

bool regionHolds(const QImage& image, const QRect& region, const QColor& colour) {
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            if (QColor(image.pixel(x, y)).rgb() == colour.rgb()) {
                return true;
            }
        }
    }
    return false;
}

class SurveyE2e : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.Start());
        ASSERT_EQ(h.View().viewport()->size(), QSize(240, 320)) << "the view is 240 x 320";
    }

    // Opens a fresh 480 x 640 site and loads a three-channel table, checking both went in.
    void OpenSiteAndTable() {
        site = h.WriteSite("site.lks", 480, 640);
        ASSERT_FALSE(site.empty());
        h.OpenSite(site, false);
        ASSERT_NE(h.Controller().Survey(), nullptr);
        ASSERT_EQ(h.View().ScreenMode(), CLarkspurView::kMapScreen);
        const std::string table = h.WriteTable("three.nct", {{0, 1}, {0, 334}, {1, 25}});
        h.LoadTable(table);
        ASSERT_TRUE(h.Receiver().TableLoaded());
        ASSERT_EQ(h.Receiver().ChannelCount(), 3);
    }

    // A tap that must end in a stored point; returns the milliseconds it took.
    qint64 MeasureAt(const QPoint& client) {
        QElapsedTimer clock;
        clock.start();
        h.Tap(client);
        EXPECT_EQ(h.View().ScreenMode(), CLarkspurView::kScanScreen);
        EXPECT_TRUE(h.WaitForMapScreen(kScanTimeoutMs)) << "the scan never completed";
        return clock.elapsed();
    }

    bool WaitForPane(int pane, const QString& text) {
        return WaitUntil([&] { return h.Frame().PaneText(pane) == text; }, 1000);
    }

    SurveyHarness h;
    std::string site;
};

} // namespace

TEST_F(SurveyE2e, StartScreenShowsTheBoardsFirmwareAndSerialNumber) {
    char firmware[CReceiver::kFirmwareSize];
    char serial[CReceiver::kSerialSize];
    h.Receiver().GetFirmwareVersion(firmware);
    h.Receiver().GetSerialNumber(serial);
    EXPECT_STREQ(firmware, BoardSimOptions().firmware.c_str());
    EXPECT_STREQ(serial, BoardSimOptions().serial.c_str());
    EXPECT_EQ(h.View().ScreenMode(), CLarkspurView::kStartScreen);
    const auto identity = h.FramesOfType(CReceiver::kCmdFirmware);
    EXPECT_EQ(identity.size(), 1u) << "start-up asks for the firmware once";

    // The same screen with a board that never answered: the identity texts must differ on
    // screen, the title must not.
    CLarkspurView reference;
    QImage expected(240, 320, QImage::Format_RGB32);
    {
        QPainter painter(&expected);
        reference.PaintClient(painter, QRect(0, 0, 240, 320));
    }
    const QImage shown = h.Screen();
    const QRect firmwareRect(5, 3, 110, 15);
    const QRect serialRect(155, 3, 80, 15);
    const QRect titleRect(0, 25, 240, 12);
    EXPECT_NE(shown.copy(firmwareRect), expected.copy(firmwareRect));
    EXPECT_NE(shown.copy(serialRect), expected.copy(serialRect));
    EXPECT_EQ(shown.copy(titleRect), expected.copy(titleRect));

    // Nothing measured: the window closes without a question.
    EXPECT_TRUE(h.Frame().close());
    EXPECT_TRUE(h.Prompts().Messages().empty());
}

TEST_F(SurveyE2e, WholeSurveyTapHoldDeleteSaveAndReopen) {
    OpenSiteAndTable();

    // The dialogs were asked as the commands say.
    const std::vector<PromptCall> calls = h.Prompts().Calls();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[0].kind, PromptCall::kOpenFile);
    EXPECT_EQ(calls[0].request.filter, "Site Files (*.lks)|*.lks|All Files (*.*)|*.*||");
    EXPECT_EQ(calls[0].request.initialName, "SITE1");
    EXPECT_EQ(calls[1].text, "Do you wish to keep existing data points?");
    EXPECT_EQ(calls[1].caption, "Larkspur");
    EXPECT_EQ(calls[1].flags & kMbButtonMask, kMbYesNo);
    EXPECT_EQ(calls[2].kind, PromptCall::kOpenFile);
    EXPECT_EQ(calls[2].request.initialName, "NCT");
    EXPECT_NE(calls[2].request.filter.find("*.nct"), std::string::npos);
    EXPECT_EQ(calls[3].text, "Table has been loaded.");

    // The board was identified (1, then 2 and 8(0) from the replies), then programmed in order:
    // 8(0), 8(4), 5(40), 39(3), 23 per entry, 24.
    const std::vector<std::vector<uint8_t>> frames = h.Board().ReceivedFrames();
    ASSERT_GE(frames.size(), 3u);
    EXPECT_EQ(std::vector<std::vector<uint8_t>>(frames.begin(), frames.begin() + 3),
              (std::vector<std::vector<uint8_t>>{{1}, {2}, {8, 0}}));
    const std::vector<std::vector<uint8_t>> programming(frames.begin() + 3, frames.end());
    const std::vector<std::vector<uint8_t>> expected = {
        {8, 0},
        {8, 4},
        {5, 40, 0},
        {39, 3},
        {23, 0, 0, uint8_t(h.Receiver().BoardCode(0) & 0xFF),
         uint8_t(h.Receiver().BoardCode(0) >> 8)},
        {23, 1, 0, uint8_t(h.Receiver().BoardCode(1) & 0xFF),
         uint8_t(h.Receiver().BoardCode(1) >> 8)},
        {23, 2, 1, uint8_t(h.Receiver().BoardCode(2) & 0xFF),
         uint8_t(h.Receiver().BoardCode(2) >> 8)},
        {24},
    };
    EXPECT_EQ(programming, expected);

    // A tap in the middle of the 240-wide view: scan screen, then after reply 36 and the pause
    // the map with the new point at (240, 320).
    h.Tap(QPoint(120, 160));
    ASSERT_EQ(h.View().ScreenMode(), CLarkspurView::kScanScreen);
    EXPECT_EQ(QColor(h.Screen().pixel(200, 300)), QColor(0, 0, 192)) << "scan screen shows";
    ASSERT_TRUE(h.WaitForMapScreen(kScanTimeoutMs));
    EXPECT_EQ(h.FramesOfType(CReceiver::kCmdMeasure).size(), 1u);

    const QColor first = bandColour(strongestOfTable(h.Receiver()));
    EXPECT_EQ(canvasAt(h.View(), 247, 320), first);
    EXPECT_EQ(canvasAt(h.View(), 240, 313), first);
    EXPECT_NE(canvasAt(h.View(), 254, 320), first) << "radius 10, no more";
    EXPECT_TRUE(regionHolds(h.Screen(), QRect(114, 154, 13, 13), first)) << "the point shows";
    ASSERT_TRUE(WaitForPane(0, "L: 1"));
    EXPECT_EQ(h.Frame().PaneText(1), "P: 3");
    EXPECT_EQ(h.Frame().PaneText(2), "X: 240");
    EXPECT_EQ(h.Frame().PaneText(3), "Y: 320");
    std::vector<Reading> stored = readingsIn(h.Controller().Records());
    ASSERT_EQ(stored.size(), 3u);
    for (const Reading& r : stored) {
        EXPECT_EQ(r.x, 240);
        EXPECT_EQ(r.y, 320);
        EXPECT_EQ(r.name, "TEST");
    }

    // Press and hold 40 px right of and below the point (map (280, 360) at half scale): the
    // location dialog opens; deleting takes the circle away and the plan shows again.
    bool dialogSeen = false;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<CLocationInfoDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialogSeen = true;
        dialog->DeleteButton()->click();
    });
    h.Hold(QPoint(140, 180), CLarkspurView::kHoldTimeMs + 150);
    EXPECT_TRUE(dialogSeen);
    EXPECT_TRUE(readingsIn(h.Controller().Records()).empty()) << "the point is deleted";
    EXPECT_EQ(canvasAt(h.View(), 243, 323), QColor(230, 230, 230)) << "the floor, not the circle";
    EXPECT_EQ(canvasAt(h.View(), 240, 323), QColor(128, 128, 128)) << "the wall under it too";
    EXPECT_EQ(h.FramesOfType(CReceiver::kCmdMeasure).size(), 1u) << "a hold is never a tap";
    EXPECT_TRUE(WaitForPane(0, "L: 0")) << "the status bar counts the survey as it stands";
    EXPECT_EQ(h.Frame().PaneText(1), "P: 0");

    // A second point at map (120, 160), then save.
    MeasureAt(QPoint(60, 80));
    EXPECT_EQ(h.View().horizontalScrollBar()->value(), 120) << "thumbs follow the tap";
    EXPECT_EQ(h.View().verticalScrollBar()->value(), 160);
    ASSERT_TRUE(WaitForPane(2, "X: 120"));
    EXPECT_EQ(h.Frame().PaneText(3), "Y: 160");
    const QColor second = bandColour(strongestOfTable(h.Receiver()));
    stored = readingsIn(h.Controller().Records());
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_TRUE(h.Controller().HasUnsavedChanges());

    bool signOffSeen = false;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<CSignOffDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        signOffSeen = true;
        dialog->SaveButton()->click();
    });
    const size_t messagesBefore = h.Prompts().Messages().size();
    h.View().OnCommand(kCmdSaveSite);
    EXPECT_TRUE(signOffSeen);
    EXPECT_EQ(h.Prompts().Messages().size(), messagesBefore) << "no error on save";
    EXPECT_FALSE(h.Controller().HasUnsavedChanges());

    // Reopen keeping the points: the same readings come back and their circle is painted; the
    // deleted point is gone from the file and so from the map.
    h.OpenSite(site, true);
    EXPECT_EQ(readingsIn(h.Controller().Records()), stored);
    EXPECT_EQ(canvasAt(h.View(), 127, 160), second);
    EXPECT_EQ(canvasAt(h.View(), 247, 321), QColor(230, 230, 230)) << "the floor shows again";
}

TEST_F(SurveyE2e, TapWithoutTableShowsTheMessageAndLeavesTheMap) {
    site = h.WriteSite("site.lks", 480, 640);
    h.OpenSite(site, false);
    ASSERT_EQ(h.View().ScreenMode(), CLarkspurView::kMapScreen);
    const QImage before = h.Screen();
    h.Tap(QPoint(30, 40));
    const std::vector<std::string> messages = h.Prompts().Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "No Channel Table Loaded.");
    EXPECT_EQ(h.View().Viewport().GetCentreX(), 240);
    EXPECT_EQ(h.View().Viewport().GetCentreY(), 320);
    EXPECT_EQ(h.View().ScreenMode(), CLarkspurView::kMapScreen);
    QApplication::processEvents();
    EXPECT_EQ(h.Screen(), before) << "the map did not move";
    EXPECT_TRUE(h.FramesOfType(CReceiver::kCmdMeasure).empty());
}

TEST_F(SurveyE2e, BeforeASiteIsOpenTapsKeysAndScansStoreNothing) {
    const std::string table = h.WriteTable("one.nct", {{0, 1}});
    h.LoadTable(table);
    ASSERT_TRUE(h.Receiver().TableLoaded());
    h.Tap(QPoint(120, 160));
    QTest::keyClick(&h.View(), Qt::Key_Return);
    EXPECT_TRUE(h.FramesOfType(CReceiver::kCmdMeasure).empty());
    EXPECT_EQ(h.Controller().Survey(), nullptr);
    EXPECT_EQ(h.View().ScreenMode(), CLarkspurView::kStartScreen);

    // A scan that completes anyway (begun by nobody the program knows) stores nothing either.
    h.Receiver().BeginScan();
    ASSERT_TRUE(WaitUntil([this] { return h.Receiver().MeasurementComplete(); }, 2000));
    QTest::qWait(20); // its progress messages are handled
    EXPECT_EQ(h.Controller().Survey(), nullptr);
    EXPECT_TRUE(h.Controller().Records().IsEmpty());
    EXPECT_EQ(h.View().ScreenMode(), CLarkspurView::kStartScreen);
    EXPECT_EQ(h.Frame().PaneText(0), "L: 0");
}

TEST_F(SurveyE2e, FailedOrCancelledOpenKeepsTheSurveyInProgress) {
    OpenSiteAndTable();
    MeasureAt(QPoint(120, 160));
    CSurveyData* survey = h.Controller().Survey();
    const std::vector<Reading> stored = readingsIn(h.Controller().Records());
    const QImage canvas = h.View().MapCanvas().copy();
    const std::string path = h.Controller().SitePath();

    // Cancelled dialog (after declining to save first).
    h.Prompts().QueueAnswer(kIdNo);
    h.View().OnCommand(kCmdOpenSite);
    // A file that is not a site file.
    QFile junk(QString::fromStdString(h.PathOf("junk.lks")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(300, 'x'));
    junk.close();
    h.Prompts().QueueAnswer(kIdNo);
    h.Prompts().QueuePath(h.PathOf("junk.lks"));
    h.View().OnCommand(kCmdOpenSite);
    // A file that cannot be opened.
    h.Prompts().QueueAnswer(kIdNo);
    h.Prompts().QueuePath(h.PathOf("missing.lks"));
    h.View().OnCommand(kCmdOpenSite);

    std::vector<PromptCall> calls = h.Prompts().Calls();
    std::vector<std::pair<std::string, std::string>> boxes;
    for (const PromptCall& call : calls) {
        if (call.kind == PromptCall::kMessageBox &&
            call.text != "Save the survey before opening another site?") {
            boxes.emplace_back(call.text, call.caption);
        }
    }
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_EQ(boxes[boxes.size() - 2],
              std::make_pair(std::string("Not a Site File."), std::string("File Error")));
    EXPECT_EQ(boxes.back().second, "File Open Error");
    EXPECT_FALSE(boxes.back().first.empty());

    EXPECT_EQ(h.Controller().Survey(), survey);
    EXPECT_EQ(h.Controller().SitePath(), path);
    EXPECT_EQ(readingsIn(h.Controller().Records()), stored);
    EXPECT_EQ(h.View().MapCanvas(), canvas);
    EXPECT_TRUE(h.Controller().HasUnsavedChanges());

    // The survey in progress still saves into its own file.
    WhenModal([](QWidget* modal) { qobject_cast<CSignOffDlg*>(modal)->SaveButton()->click(); });
    ASSERT_TRUE(h.Controller().SaveSite());
    CSiteFile saved;
    std::string detail;
    ASSERT_EQ(CSiteFileReader::Read(path, saved, detail), SF_OK) << detail;
    EXPECT_EQ(saved.m_records.size(), 3u);
}

TEST_F(SurveyE2e, SaveWithoutAnOpenSiteWritesNothing) {
    h.View().OnCommand(kCmdSaveSite);
    const std::vector<PromptCall> calls = h.Prompts().Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, "Could not update site");
    EXPECT_EQ(calls[0].caption, "Site Update Error");
    EXPECT_TRUE(calls[0].flags & kMbIconError);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(h.PathOf("SITE1.lks"))));
}

TEST_F(SurveyE2e, NewPointStaysWhereItWasStoredWhenTheMapMovesDuringTheScan) {
    OpenSiteAndTable();
    h.View().OnCommand(kCmdZoomIn);
    h.Tap(QPoint(120, 160));
    // Scroll before the board's replies are handled.
    h.View().OnArrowKey(Qt::Key_Right);
    h.View().OnArrowKey(Qt::Key_Right);
    h.View().OnArrowKey(Qt::Key_Right);
    ASSERT_EQ(h.View().Viewport().GetCentreX(), 270);
    ASSERT_TRUE(h.WaitForMapScreen(kScanTimeoutMs));
    const QColor colour = bandColour(strongestOfTable(h.Receiver()));
    EXPECT_EQ(canvasAt(h.View(), 247, 320), colour);
    EXPECT_NE(canvasAt(h.View(), 277, 320), colour);
    ASSERT_TRUE(WaitForPane(2, "X: 240"));
    EXPECT_EQ(h.Frame().PaneText(3), "Y: 320");
}

TEST_F(SurveyE2e, CentreKeyPingsAndTakesAPointAtTheCentre) {
    OpenSiteAndTable();
    QTest::keyClick(&h.View(), Qt::Key_Return);
    EXPECT_EQ(h.FramesOfType(CReceiver::kCmdMeasure).size(), 1u);
    ASSERT_TRUE(h.WaitForMapScreen(kScanTimeoutMs));
    ASSERT_TRUE(WaitForPane(0, "L: 1"));
    EXPECT_EQ(h.Frame().PaneText(2), "X: 240");
    EXPECT_EQ(readingsIn(h.Controller().Records()).size(), 3u);

    // The keypad's own code for the centre press does the same.
    QKeyEvent press(QEvent::KeyPress, 0x86, Qt::NoModifier);
    QApplication::sendEvent(&h.View(), &press);
    EXPECT_EQ(h.FramesOfType(CReceiver::kCmdMeasure).size(), 2u);
    ASSERT_TRUE(h.WaitForMapScreen(kScanTimeoutMs));
    // The same place again: still one location, now with both scans' readings.
    ASSERT_TRUE(WaitForPane(1, "P: 6"));
    EXPECT_EQ(h.Frame().PaneText(0), "L: 1");
}

TEST_F(SurveyE2e, ClosingWithUnsavedPointsAsksAndSavesOnYes) {
    OpenSiteAndTable();
    MeasureAt(QPoint(120, 160));

    h.Prompts().QueueAnswer(kIdCancel);
    EXPECT_FALSE(h.Frame().close());
    EXPECT_TRUE(h.Frame().isVisible());
    ASSERT_FALSE(h.Prompts().Messages().empty());
    EXPECT_EQ(h.Prompts().Messages().back(), "Save the survey before closing?");

    h.Prompts().QueueAnswer(kIdYes);
    WhenModal([](QWidget* modal) { qobject_cast<CSignOffDlg*>(modal)->SaveButton()->click(); });
    EXPECT_TRUE(h.Frame().close());
    EXPECT_FALSE(h.Frame().isVisible());
    CSiteFile saved;
    std::string detail;
    ASSERT_EQ(CSiteFileReader::Read(site, saved, detail), SF_OK) << detail;
    EXPECT_EQ(saved.m_records.size(), 3u);
    EXPECT_EQ(saved.SurveyState(), 2);
}

TEST_F(SurveyE2e, EscapeOnTheSignOffCancelsTheSaveAndTheClose) {
    OpenSiteAndTable();
    MeasureAt(QPoint(120, 160));
    const QByteArray before = [this] {
        QFile file(QString::fromStdString(site));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    int signOffs = 0;
    const auto escape = [&signOffs](QWidget* modal) {
        ++signOffs;
        QTest::keyClick(qobject_cast<CSignOffDlg*>(modal), Qt::Key_Escape);
    };
    WhenModal(escape);
    h.View().OnCommand(kCmdSaveSite);
    h.Prompts().QueueAnswer(kIdYes);
    WhenModal(escape);
    EXPECT_FALSE(h.Frame().close()) << "the close that asked for the save stays open";
    EXPECT_EQ(signOffs, 2);
    EXPECT_TRUE(h.Frame().isVisible());
    EXPECT_TRUE(h.Controller().HasUnsavedChanges());
    QFile file(QString::fromStdString(site));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before) << "nothing written";
}

TEST_F(SurveyE2e, CtrlOOpensTheSiteDialogAndCtrlSTheSignOff) {
    // Ctrl+O asks for a site file exactly as the open button does, and opens the one picked.
    site = h.WriteSite("keys.lks", 480, 640);
    h.Prompts().QueuePath(site);
    h.Prompts().QueueAnswer(kIdNo);
    h.Frame().activateWindow();
    QTest::keyClick(h.Frame().windowHandle(), Qt::Key_O, Qt::ControlModifier);
    const std::vector<PromptCall> calls = h.Prompts().Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].kind, PromptCall::kOpenFile);
    EXPECT_EQ(calls[0].request.filter, "Site Files (*.lks)|*.lks|All Files (*.*)|*.*||");
    EXPECT_EQ(h.Controller().SitePath(), site);
    EXPECT_EQ(h.View().ScreenMode(), CLarkspurView::kMapScreen);

    // Ctrl+S shows the sign-off, as the save button does; cancelling it writes nothing.
    const QByteArray before = [this] {
        QFile file(QString::fromStdString(site));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    QString shown;
    WhenModal([&shown](QWidget* modal) {
        shown = modal->windowTitle();
        EXPECT_NE(qobject_cast<CSignOffDlg*>(modal), nullptr);
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    QTest::keyClick(h.Frame().windowHandle(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(shown, QStringLiteral("Sign Off On Survey"));
    QFile file(QString::fromStdString(site));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

TEST_F(SurveyE2e, AStylusThatSlidesAwayNeitherTapsNorHolds) {
    OpenSiteAndTable();
    MeasureAt(QPoint(120, 160));
    const size_t messages = h.Prompts().Messages().size();
    bool dialogSeen = false;
    QPointer<QTimer> watcher = WhenModal([&](QWidget* modal) {
        dialogSeen = true;
        qobject_cast<QDialog*>(modal)->reject();
    });
    QTest::mousePress(h.View().viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(120, 160));
    QTest::mouseMove(h.View().viewport(), QPoint(170, 220));
    QTest::qWait(CLarkspurView::kHoldTimeMs + 150);
    QTest::mouseRelease(h.View().viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(170, 220));
    QTest::qWait(50);
    EXPECT_FALSE(dialogSeen);
    EXPECT_EQ(h.FramesOfType(CReceiver::kCmdMeasure).size(), 1u);
    EXPECT_EQ(h.View().ScreenMode(), CLarkspurView::kMapScreen);
    EXPECT_EQ(h.Prompts().Messages().size(), messages);
    delete watcher.data();
}

TEST_F(SurveyE2e, AScanStillRunningWhenAnotherSiteOpensIsNotStoredInIt) {
    OpenSiteAndTable();
    // The tap's scan ends at the receiver, but its progress reaches the window only after
    // another site has been opened.
    h.Tap(QPoint(120, 160));
    const std::string other = h.WriteSite("other.lks", 320, 240);
    h.OpenSite(other, false);
    QTest::qWait(50);
    EXPECT_TRUE(h.Controller().Records().IsEmpty());
    EXPECT_EQ(h.Controller().Survey()->m_nLocations, 0);
    EXPECT_FALSE(h.Controller().HasUnsavedChanges());
    EXPECT_EQ(h.View().ScreenMode(), CLarkspurView::kMapScreen);

    // The next tap measures normally.
    MeasureAt(QPoint(120, 160));
    EXPECT_EQ(readingsIn(h.Controller().Records()).size(), 3u);
}
