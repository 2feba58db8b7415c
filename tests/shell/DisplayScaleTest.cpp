// The display scale chosen from the screen, and the captions the window system is handed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>

#include "shell/ColorCodesDlg.h"
#include "shell/CommandLine.h"
#include "shell/DisplayScale.h"
#include "shell/HelpDlg.h"
#include "shell/LocationInfoDlg.h"
#include "shell/MainFrame.h"
#include "shell/SignOffDlg.h"
#include "view/LarkspurView.h"

TEST(DisplayScale, TheWindowTakesAboutFourFifthsOfTheScreenInQuarterSteps) {
    const QSize handheld(254, 384); // the frame around the 240 x 320 client
    struct Case {
        QSize available;
        double scale;
    } const cases[] = {
        {{1920, 1080}, 2.0},  // (864 - 32) / 384 = 2.17
        {{1920, 1040}, 2.0},  // the same screen under a panel
        {{1280, 860}, 1.5},   // (688 - 32) / 384 = 1.71
        {{1280, 900}, 1.75},  // (720 - 32) / 384 = 1.79
        {{2560, 1400}, 2.75}, // (1120 - 32) / 384 = 2.83
        {{1366, 728}, 1.25},
        {{800, 600}, 1.0},     // too small for more, never less than the handheld
        {{320, 240}, 1.0},     // even when the window does not fit at all
        {{600, 3000}, 1.75},   // a tall narrow screen: the width limits it (480 / 254)
        {{40000, 40000}, 8.0}, // and nothing grows without bound
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chooseDisplayScale(c.available, handheld), c.scale)
            << c.available.width() << "x" << c.available.height();
    }
    EXPECT_EQ(chooseDisplayScale(QSize(1920, 1080), QSize()), 1.0);
}

TEST(DisplayScale, IsSetOnTheRunningApplicationBeforeItsWindows) {
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(applyDisplayScale(1.0), 1.0);
    const QSize native = screen->geometry().size();
    for (double scale : {2.0, 1.5}) {
        EXPECT_EQ(applyDisplayScale(scale), scale);
        EXPECT_EQ(screen->devicePixelRatio(), scale);
        EXPECT_EQ(screen->geometry().size(), (QSizeF(native) / scale).toSize()) << scale;
        // A window opened now is drawn in the screen's pixels: scale times its own size.
        CMainFrame frame;
        frame.SetView(new QWidget, QSize(240, 320));
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        const QPixmap drawn = frame.grab();
        EXPECT_EQ(drawn.devicePixelRatio(), scale);
        EXPECT_EQ(drawn.size(), (QSizeF(frame.size()) * scale).toSize());
    }
    // The desktop's own factor is kept: the two multiply.
    qputenv("QT_SCALE_FACTOR", "1.5");
    EXPECT_EQ(applyDisplayScale(2.0), 3.0);
    EXPECT_EQ(screen->devicePixelRatio(), 3.0);
    qunsetenv("QT_SCALE_FACTOR");
    // Without a scale the screen decides: the program's own window at the chosen scale takes
    // up to four fifths of the free height, and a quarter step more would not fit.
    ASSERT_EQ(applyDisplayScale(1.0), 1.0);
    const QSize available = screen->availableGeometry().size();
    const double chosen = applyDisplayScale(0);
    CMainFrame frame;
    auto* view = new CLarkspurView(&frame);
    frame.SetView(view, view->SizeForClient(QSize(240, 320)));
    const auto fits = [&](double scale) {
        return frame.height() * scale + kTitleBarAllowance <= 0.8 * available.height() &&
               frame.width() * scale <= 0.8 * available.width();
    };
    EXPECT_TRUE(fits(chosen)) << chosen;
    EXPECT_FALSE(fits(chosen + kScaleStep)) << chosen;
    EXPECT_EQ(applyDisplayScale(1.0), 1.0);
}

TEST(Captions, AreTheTextsThemselvesWithNothingAppended) {
    SetApplicationIdentity();
    // Qt appends a display name to every caption the window system shows once one is set; the
    // program sets none, so the name the window system falls back to is the program's own.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("larkspur"));

    CMainFrame frame;
    CSignOffDlg signOff;
    CColorCodesDlg colours;
    CHelpDlg help;
    CLocationInfoDlg info(nullptr);
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Larkspur"));
    EXPECT_EQ(signOff.windowTitle(), QStringLiteral("Sign Off On Survey"));
    EXPECT_EQ(colours.windowTitle(), QStringLiteral("Color of RSSI Values"));
    EXPECT_EQ(help.windowTitle(), QStringLiteral("Larkspur Help"));
    EXPECT_EQ(info.windowTitle(), QStringLiteral("Location Info/Delete Point"));
}
