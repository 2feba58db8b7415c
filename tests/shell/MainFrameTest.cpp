// The main frame: bar layout and images, the status panes, the accelerators and the close rules.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <map>
#include <memory>
#include <thread>

#include "platform/WindowMessages.h"
#include "receiver/Receiver.h"
#include "shell/MainFrame.h"
#include "survey/RecordList.h"
#include "survey/SurveyData.h"
#include "view/ViewCommands.h"

namespace {

// Stands where the map view goes and records every key that reaches it.
class KeyRecorder : public QWidget {
public:
    int keys = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        // The modifier itself arrives first; only the letter that follows counts.
        if (event->key() != Qt::Key_Control) {
            ++keys;
        }
        event->accept();
    }
};

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame = std::make_unique<CMainFrame>();
        view = new KeyRecorder;
        view->setFocusPolicy(Qt::StrongFocus);
        frame->SetView(view, QSize(240, 320));
        frame->show();
        QApplication::setActiveWindow(frame.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        view->setFocus();
    }
    void TearDown() override {
        frame->SetCloseGuard({});
        frame.reset();
    }

    // A survey store whose points and readings the frame counts.
    CSurveyData& Survey() {
        if (!survey) {
            survey = std::make_unique<CSurveyData>(list, receiver);
            frame->SetSurveySource([this] { return survey.get(); });
        }
        return *survey;
    }
    // A point at (x, y) with a reading on each channel (channel 0: a point without readings).
    void AddPoint(int32_t x, int32_t y, const std::vector<int32_t>& channels) {
        std::vector<SurveyRecord> records(channels.size());
        for (size_t i = 0; i < channels.size(); ++i) {
            records[i].x = x;
            records[i].y = y;
            records[i].channel = channels[i];
        }
        Survey().AppendPoint(records);
    }

    CReceiver receiver;
    CRecordList list;
    std::unique_ptr<CSurveyData> survey;
    std::unique_ptr<CMainFrame> frame;
    KeyRecorder* view = nullptr;
};

// The colour an icon uses most, leaving out transparent and black pixels: it must show on screen.
QRgb dominantColour(const QImage& image) {
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 255 && (pixel & 0xFFFFFF) != 0) {
                ++counts[pixel];
            }
        }
    }
    QRgb best = 0;
    int bestCount = 0;
    for (const auto& [colour, count] : counts) {
        if (count > bestCount) {
            best = colour;
            bestCount = count;
        }
    }
    return best;
}

bool imageContains(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

TEST_F(MainFrameTest, ViewThenStatusBarThenCommandBarAtTheBottom) {
    EXPECT_EQ(view->size(), QSize(240, 320));
    QStatusBar* status = frame->StatusBar();
    QToolBar* bar = frame->CommandBar();
    EXPECT_EQ(view->geometry().bottom() + 1, status->geometry().top());
    EXPECT_EQ(status->geometry().bottom() + 1, bar->geometry().top());
    EXPECT_EQ(bar->geometry().bottom() + 1, frame->height());

    QList<QLabel*> panes = status->findChildren<QLabel*>();
    panes.removeIf([](QLabel* l) { return l->objectName() == QLatin1String("calibrationPane"); });
    ASSERT_EQ(panes.size(), CMainFrame::kPaneCount);
    const char* expected[] = {"L: 0", "P: 0", "X: 0", "Y: 0"};
    int previousRight = -1;
    for (int i = 0; i < CMainFrame::kPaneCount; ++i) {
        EXPECT_EQ(frame->PaneText(i), QString::fromLatin1(expected[i]));
        QLabel* pane = nullptr;
        for (QLabel* label : panes) {
            if (label->text() == QString::fromLatin1(expected[i])) {
                pane = label;
            }
        }
        ASSERT_NE(pane, nullptr);
        EXPECT_EQ(pane->width(), CMainFrame::kPaneWidth);
        EXPECT_GT(pane->x(), previousRight) << "panes run left to right in order";
        previousRight = pane->x();
    }
}

TEST_F(MainFrameTest, TheUncalibratedMarkStandsRightOfTheCountersWhileSet) {
    QStatusBar* status = frame->StatusBar();
    auto* mark = status->findChild<QLabel*>(QStringLiteral("calibrationPane"));
    ASSERT_NE(mark, nullptr);
    const auto amberPixels = [status] {
        const QImage shot = status->grab().toImage();
        int count = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                count += c.red() > 200 && c.green() > 140 && c.green() < 180 && c.blue() < 40;
            }
        }
        return count;
    };
    EXPECT_FALSE(frame->UncalibratedMarkShown());
    EXPECT_EQ(amberPixels(), 0);
    frame->SetUncalibratedMark(true);
    QApplication::processEvents();
    EXPECT_TRUE(frame->UncalibratedMarkShown());
    EXPECT_GT(amberPixels(), 50);
    EXPECT_GE(mark->x(), CMainFrame::kPaneCount * CMainFrame::kPaneWidth) << "after Y:";
    EXPECT_LE(mark->geometry().right(), status->width()) << "whole, not cut off";
    EXPECT_GE(mark->width(), mark->sizeHint().width());
    frame->SetUncalibratedMark(false);
    QApplication::processEvents();
    EXPECT_EQ(amberPixels(), 0);
}

TEST_F(MainFrameTest, TheEightButtonsAndTheCoverageLayersInOrderShowTheirOwnImages) {
    const QList<QAction*> actions = frame->CommandBar()->actions();
    ASSERT_EQ(actions.size(), CMainFrame::kButtonCount + 1);
    const int order[] = {kCmdOpenSite, kCmdSaveSite, kCmdChannelTable, kCmdColorCodes, kCmdZoomIn,
                         kCmdZoomOut,  kCmdHelp,     kCmdAbout,        kCmdCoverage};
    EXPECT_EQ(frame->CoverageAction(), actions.back());
    QSignalSpy spy(frame.get(), &CMainFrame::commandRequested);
    int previousX = -1;
    QStringList tips;
    for (int i = 0; i < actions.size(); ++i) {
        QAction* action = actions[i];
        EXPECT_EQ(action->data().toInt(), order[i]);
        EXPECT_FALSE(action->toolTip().isEmpty());
        tips << action->toolTip();
        const QImage icon = action->icon().pixmap(16, 16).toImage();
        ASSERT_FALSE(icon.isNull()) << "button " << i;
        EXPECT_EQ(icon.size(), QSize(16, 16));

        auto* button = qobject_cast<QToolButton*>(frame->CommandBar()->widgetForAction(action));
        ASSERT_NE(button, nullptr);
        EXPECT_GT(button->x(), previousX);
        previousX = button->x();
        const QRgb colour = dominantColour(icon);
        EXPECT_NE(colour, 0u) << "button " << i << " has an image of its own";
        EXPECT_TRUE(imageContains(button->grab().toImage(), colour))
            << "button " << i << " shows its image";

        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(spy.count(), i + 1);
        EXPECT_EQ(spy.at(i).at(0).toInt(), order[i]);
    }
    tips.removeDuplicates();
    EXPECT_EQ(tips.size(), CMainFrame::kButtonCount + 1);
}

TEST_F(MainFrameTest, StatusUpdateShowsCountersAndLow16BitsSigned) {
    AddPoint(10, 10, {1, 2});
    AddPoint(20, 20, {0}); // a place where nothing was received: a point, no reading
    AddPoint(30, 30, {5});

    frame->OnStatusUpdate(0x00012345u, 320);
    EXPECT_EQ(frame->PaneText(0), "L: 3");
    EXPECT_EQ(frame->PaneText(1), "P: 3") << "the survey's readings, not the last scan's";
    EXPECT_EQ(frame->PaneText(2), "X: 9029");
    EXPECT_EQ(frame->PaneText(3), "Y: 320");

    frame->OnStatusUpdate(0x7777FFFBu, static_cast<intptr_t>(0xABCD8000u));
    EXPECT_EQ(frame->PaneText(2), "X: -5");
    EXPECT_EQ(frame->PaneText(3), "Y: -32768");

    // The pane shows its text on screen, not only in the label.
    const QImage before = frame->StatusBar()->grab().toImage();
    frame->OnStatusUpdate(240, 320);
    EXPECT_NE(frame->StatusBar()->grab().toImage(), before);
}

TEST_F(MainFrameTest, StatusUpdatePostedFromAnotherThreadArrivesOnTheWindowThread) {
    AddPoint(240, 320, {1, 2, 3});
    const uint32_t id = RegisterWindowMessage("LKSS_STATUS_UPDATE");
    std::thread poster([&] { frame->MessageTarget().Post(id, 240, 320); });
    poster.join();
    EXPECT_EQ(frame->PaneText(2), "X: 0") << "posted, not sent: nothing before the queue runs";
    QApplication::processEvents();
    EXPECT_EQ(frame->PaneText(0), "L: 1");
    EXPECT_EQ(frame->PaneText(1), "P: 3");
    EXPECT_EQ(frame->PaneText(2), "X: 240");
    EXPECT_EQ(frame->PaneText(3), "Y: 320");

    // Another registered message is not a status update.
    frame->MessageTarget().Post(RegisterWindowMessage("LKSS_DRAW"), 1, 2);
    QApplication::processEvents();
    EXPECT_EQ(frame->PaneText(2), "X: 240");
}

TEST_F(MainFrameTest, EditAndNewDocumentAcceleratorsChangeNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    int closeAsked = 0;
    frame->SetCloseGuard([&] {
        ++closeAsked;
        return true;
    });
    QSignalSpy spy(frame.get(), &CMainFrame::commandRequested);

    for (Qt::Key key : {Qt::Key_Z, Qt::Key_X, Qt::Key_C, Qt::Key_V, Qt::Key_N}) {
        QTest::keyClick(frame->windowHandle(), key, Qt::ControlModifier);
        QApplication::processEvents();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no dialog for key " << key;
    }
    EXPECT_EQ(view->keys, 0) << "the accelerators take the keys before the map sees them";
    QTest::keyClick(frame->windowHandle(), Qt::Key_A);
    EXPECT_EQ(view->keys, 1) << "other keys still reach the map";
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(closeAsked, 0);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty())
        << "no file may be written by the document commands";
    EXPECT_FALSE(frame->Document().IsModified());
    QDir::setCurrent(previous);
}

TEST_F(MainFrameTest, CtrlOAndCtrlSRunTheOpenAndSaveButtonsCommandsAndCtrlShiftSSaveAs) {
    QSignalSpy spy(frame.get(), &CMainFrame::commandRequested);
    const QList<QAction*> actions = frame->CommandBar()->actions();
    ASSERT_GE(actions.size(), 2);
    QTest::keyClick(frame->windowHandle(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(frame->windowHandle(), Qt::Key_S, Qt::ControlModifier);
    actions[0]->trigger(); // the open button
    actions[1]->trigger(); // the save button
    ASSERT_EQ(spy.count(), 4);
    EXPECT_EQ(spy.at(0).at(0).toInt(), kCmdOpenSite);
    EXPECT_EQ(spy.at(1).at(0).toInt(), kCmdSaveSite);
    EXPECT_EQ(spy.at(2).at(0), spy.at(0).at(0));
    EXPECT_EQ(spy.at(3).at(0), spy.at(1).at(0));
    EXPECT_EQ(view->keys, 0) << "the keys do not also reach the map";
    QTest::keyClick(frame->windowHandle(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(spy.count(), 5);
    EXPECT_EQ(spy.at(4).at(0).toInt(), kCmdSaveSiteAs);
}

TEST_F(MainFrameTest, CtrlQClosesThroughTheGuard) {
    int closeAsked = 0;
    frame->SetCloseGuard([&] {
        ++closeAsked;
        return closeAsked > 1; // the first time the user cancels
    });
    QTest::keyClick(frame->windowHandle(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(closeAsked, 1);
    EXPECT_TRUE(frame->isVisible());
    QTest::keyClick(frame->windowHandle(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(closeAsked, 2);
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(MainFrameTest, MinimiseClosesUnlessTheGuardKeepsTheWindowAsItWas) {
    bool allow = false;
    int asked = 0;
    frame->SetCloseGuard([&] {
        ++asked;
        return allow;
    });
    // Cancel at "save first?" brings the window back in the state it had before the minimise.
    struct Case {
        const char* name;
        void (QWidget::*show)();
        Qt::WindowStates state;
    } const cases[] = {
        {"maximised", &QWidget::showMaximized, Qt::WindowMaximized},
        {"full screen", &QWidget::showFullScreen, Qt::WindowFullScreen},
        {"normal", &QWidget::showNormal, Qt::WindowNoState},
    };
    for (const Case& c : cases) {
        (frame.get()->*c.show)();
        QTest::qWait(20);
        const QRect before = frame->geometry();
        frame->showMinimized();
        QTest::qWait(20);
        EXPECT_EQ(asked, &c - cases + 1) << c.name;
        EXPECT_TRUE(frame->isVisible()) << c.name;
        EXPECT_EQ(frame->windowState() & ~Qt::WindowActive, c.state) << c.name;
        EXPECT_EQ(frame->geometry(), before) << c.name;
    }

    allow = true;
    frame->showMinimized();
    QTest::qWait(20);
    EXPECT_EQ(asked, 4);
    EXPECT_FALSE(frame->isVisible());
}
