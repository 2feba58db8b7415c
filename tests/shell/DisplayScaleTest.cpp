// The display scale chosen from the screen, and the captions the window system is handed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>

#include "shell/ColorCodesDlg.h"
#include "shell/CommandLine.h"
#include "shell/DisplayScale.h"
#include "shell/HelpDlg.h"
#include "shell/LocationInfoDlg.h"
#include "shell/MainFrame.h"
#include "shell/SignOffDlg.h"

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
