// Sign-off dialog: strokes from pointer events, the signature grid, clearing, and a picture that
// survives the modal run.
#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

#include "ModalRun.h"
#include "shell/DialogUnits.h"
#include "shell/SignOffDlg.h"

namespace {
constexpr int kGridWidth = 200;
constexpr int kGridHeight = 100;
constexpr uint32_t kInk = 0;
constexpr uint32_t kPaper = 0xFFFFFF;

// An L-shaped stroke: right along y = 20, then down along x = 60.
const QPoint kStart(10, 20);
const QPoint kCorner(60, 20);
const QPoint kEnd(60, 40);

void drawStroke(CSignaturePad& pad) {
    QTest::mousePress(&pad, Qt::LeftButton, Qt::NoModifier, kStart);
    QTest::mouseMove(&pad, kCorner);
    QTest::mouseMove(&pad, kEnd);
    QTest::mouseRelease(&pad, Qt::LeftButton, Qt::NoModifier, kEnd);
}

// Distance from (x, y) to the L-shaped stroke's centre line.
double distanceToStroke(int x, int y) {
    const double dx1 = x < kStart.x() ? kStart.x() - x : (x > kCorner.x() ? x - kCorner.x() : 0);
    const double d1 = std::hypot(dx1, y - kStart.y());
    const double dy2 = y < kCorner.y() ? kCorner.y() - y : (y > kEnd.y() ? y - kEnd.y() : 0);
    const double d2 = std::hypot(x - kCorner.x(), dy2);
    return std::min(d1, d2);
}

// A move with no button down, as a mouse or a hovering pen reports it. Qt passes such moves
// only to widgets that track the mouse, so turn tracking on as a platform with hover would need.
void hover(CSignaturePad& pad, const QPoint& pos) {
    pad.setMouseTracking(true);
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), pad.mapToGlobal(QPointF(pos)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&pad, &move);
}

int inkCount(const CSignOffDlg& dlg) {
    int ink = 0;
    for (int y = 0; y < kGridHeight; ++y) {
        for (int x = 0; x < kGridWidth; ++x) {
            const uint32_t v = dlg.GetSignaturePixel(x, y);
            EXPECT_TRUE(v == kInk || v == kPaper) << x << "," << y;
            ink += v == kInk ? 1 : 0;
        }
    }
    return ink;
}

class SignOffDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_dlg));
    }
    CSignOffDlg m_dlg;
};

void expectStrokeOnly(const CSignOffDlg& dlg) {
    for (int x = kStart.x(); x <= kCorner.x(); ++x) {
        EXPECT_EQ(dlg.GetSignaturePixel(x, kStart.y()), kInk) << x;
    }
    for (int y = kCorner.y(); y <= kEnd.y(); ++y) {
        EXPECT_EQ(dlg.GetSignaturePixel(kCorner.x(), y), kInk) << y;
    }
    int strayInk = 0;
    for (int y = 0; y < kGridHeight; ++y) {
        for (int x = 0; x < kGridWidth; ++x) {
            if (distanceToStroke(x, y) > 2.5 && dlg.GetSignaturePixel(x, y) != kPaper) {
                ++strayInk;
            }
        }
    }
    EXPECT_EQ(strayInk, 0);
}
} // namespace

TEST_F(SignOffDlgTest, LayoutFollowsTheTemplate) {
    EXPECT_EQ(m_dlg.windowTitle(), QStringLiteral("Sign Off On Survey"));
    const CDialogUnits units = CDialogUnits::FromFont(m_dlg.font());
    EXPECT_EQ(m_dlg.size(), units.ToPixels(139, 109));
    EXPECT_EQ(m_dlg.Pad().geometry(), units.ToPixels(7, 7, 125, 46));
    EXPECT_EQ(m_dlg.ClearButton()->geometry(), units.ToPixels(7, 65, 125, 14));
    EXPECT_EQ(m_dlg.SaveButton()->geometry(), units.ToPixels(7, 86, 125, 14));
    EXPECT_EQ(m_dlg.ClearButton()->text(), QStringLiteral("CLEAR SIGNATURE"));
    EXPECT_EQ(m_dlg.SaveButton()->text(), QStringLiteral("SAVE SITE SURVEY"));
    // The picture is exactly the pad's client size, and starts white.
    EXPECT_EQ(m_dlg.Pad().Surface().size(), m_dlg.Pad().size());
    EXPECT_EQ(inkCount(m_dlg), 0);
}

TEST_F(SignOffDlgTest, StrokeReadsBackAsInkAlongItsPathOnly) {
    drawStroke(m_dlg.Pad());
    expectStrokeOnly(m_dlg);
}

TEST_F(SignOffDlgTest, PointsBeyondThePadReadAsPaper) {
    // Ink right up to the pad's bottom-right corner.
    CSignaturePad& pad = m_dlg.Pad();
    const QPoint corner(pad.width() - 1, pad.height() - 1);
    QTest::mousePress(&pad, Qt::LeftButton, Qt::NoModifier, corner - QPoint(30, 0));
    QTest::mouseMove(&pad, corner);
    QTest::mouseRelease(&pad, Qt::LeftButton, Qt::NoModifier, corner);
    ASSERT_EQ(m_dlg.GetSignaturePixel(corner.x(), corner.y()), kInk);

    EXPECT_EQ(m_dlg.GetSignaturePixel(pad.width(), corner.y()), kPaper);
    EXPECT_EQ(m_dlg.GetSignaturePixel(corner.x(), pad.height()), kPaper);
    EXPECT_EQ(m_dlg.GetSignaturePixel(pad.width() + 100, pad.height() + 100), kPaper);
    EXPECT_EQ(m_dlg.GetSignaturePixel(-1, 0), kPaper);
    EXPECT_EQ(m_dlg.GetSignaturePixel(0, -1), kPaper);
    EXPECT_EQ(m_dlg.GetSignaturePixel(1 << 30, 1 << 30), kPaper);
}

TEST_F(SignOffDlgTest, StrokeIsShownOnScreenInsideAOnePixelFrame) {
    drawStroke(m_dlg.Pad());
    const QImage shot = m_dlg.Pad().grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.pixel(30, kStart.y()), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(kEnd.x(), 30), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(100, 60), qRgb(255, 255, 255));
    // The outer ring is the dialog's background, not the picture.
    const QRgb background = m_dlg.palette().color(QPalette::Window).rgb();
    EXPECT_EQ(shot.pixel(0, 0), background);
    EXPECT_EQ(shot.pixel(shot.width() - 1, 30), background);
    // Repainting shows the same stroke again.
    m_dlg.Pad().repaint();
    EXPECT_EQ(m_dlg.Pad().grab().toImage().convertToFormat(QImage::Format_RGB32), shot);
}

TEST_F(SignOffDlgTest, MovesWithoutTheButtonDownDrawNothing) {
    CSignaturePad& pad = m_dlg.Pad();
    hover(pad, QPoint(5, 5));
    hover(pad, QPoint(100, 50));
    EXPECT_EQ(inkCount(m_dlg), 0);

    drawStroke(pad);
    const int afterStroke = inkCount(m_dlg);
    EXPECT_GT(afterStroke, 0);
    // After the release the pointer hovers: moving on leaves no trail.
    hover(pad, QPoint(150, 70));
    hover(pad, QPoint(20, 60));
    EXPECT_EQ(inkCount(m_dlg), afterStroke);
    EXPECT_EQ(m_dlg.GetSignaturePixel(105, 55), kPaper);

    // A release the pad never sees (another window took it) must not leave the pen down.
    QTest::mousePress(&pad, Qt::LeftButton, Qt::NoModifier, QPoint(150, 10));
    const int afterDot = inkCount(m_dlg);
    hover(pad, QPoint(180, 60));
    EXPECT_EQ(inkCount(m_dlg), afterDot);
    EXPECT_EQ(m_dlg.GetSignaturePixel(165, 35), kPaper);
    QTest::mouseRelease(&pad, Qt::LeftButton, Qt::NoModifier, QPoint(180, 60));
}

TEST_F(SignOffDlgTest, TapAloneLeavesADot) {
    CSignaturePad& pad = m_dlg.Pad();
    QTest::mouseClick(&pad, Qt::LeftButton, Qt::NoModifier, QPoint(40, 30));
    EXPECT_EQ(m_dlg.GetSignaturePixel(40, 30), kInk);
    EXPECT_LE(inkCount(m_dlg), 9);
}

TEST_F(SignOffDlgTest, ClearingGivesAnAllWhiteGrid) {
    drawStroke(m_dlg.Pad());
    ASSERT_GT(inkCount(m_dlg), 0);
    QTest::mouseClick(m_dlg.ClearButton(), Qt::LeftButton);
    for (int y = 0; y < kGridHeight; ++y) {
        for (int x = 0; x < kGridWidth; ++x) {
            ASSERT_EQ(m_dlg.GetSignaturePixel(x, y), kPaper) << x << "," << y;
        }
    }
    const QImage shot = m_dlg.Pad().grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.pixel(30, kStart.y()), qRgb(255, 255, 255));
    // The pad still takes a new signature after clearing.
    drawStroke(m_dlg.Pad());
    expectStrokeOnly(m_dlg);
}

TEST_F(SignOffDlgTest, GrownPadKeepsTheSignatureAndTakesInkInTheNewArea) {
    CSignaturePad& pad = m_dlg.Pad();
    drawStroke(pad);
    const QSize old = pad.size();
    pad.resize(old.width() + 40, old.height() + 20);
    expectStrokeOnly(m_dlg);
    const QPoint inNewArea(old.width() + 10, old.height() + 10);
    QTest::mouseClick(&pad, Qt::LeftButton, Qt::NoModifier, inNewArea);
    EXPECT_EQ(m_dlg.GetSignaturePixel(inNewArea.x(), inNewArea.y()), kInk);
}

TEST(SignOffDlgModal, SaveReturnsMinusTwoAndTheSignatureOutlivesTheRun) {
    CSignOffDlg dlg;
    const int result = runModal(
        dlg, [&dlg] { return dlg.DoModal(); },
        [&dlg] {
            drawStroke(dlg.Pad());
            QTest::mouseClick(dlg.SaveButton(), Qt::LeftButton);
        });
    EXPECT_EQ(result, CSignOffDlg::kSaveResult);
    EXPECT_FALSE(dlg.isVisible());
    expectStrokeOnly(dlg);
}

TEST(SignOffDlgModal, ClosingWithoutSigningLeavesAWhiteSignature) {
    CSignOffDlg dlg;
    const int result = runModal(
        dlg, [&dlg] { return dlg.DoModal(); }, [&dlg] { dlg.close(); });
    EXPECT_NE(result, CSignOffDlg::kSaveResult);
    EXPECT_NE(result, kWatchdogResult);
    EXPECT_EQ(inkCount(dlg), 0);
}

TEST(SignOffDlgModal, EachDialogStartsWhite) {
    {
        CSignOffDlg first;
        first.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&first));
        drawStroke(first.Pad());
        ASSERT_GT(inkCount(first), 0);
    }
    CSignOffDlg second;
    EXPECT_EQ(inkCount(second), 0);
}
