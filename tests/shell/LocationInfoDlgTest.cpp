// Location information dialog: painted values, the default delete button and closing.
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

#include "ModalRun.h"
#include "controller/SurveyPrompts.h"
#include "shell/DialogUnits.h"
#include "shell/LocationInfoDlg.h"

namespace {

class LocationInfoDlgTest : public ::testing::Test {
protected:
    // The middle of three points, whose strongest reading is -47 dBm on channel 1.
    PointInfo m_point{120.0, 45.0, 1, -47};
};

QImage grabImage(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The text as the dialog's rule says it is drawn: top-left, one line, black on opaque white.
QImage referenceText(const QRect& rect, const QString& text) {
    QImage image(rect.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(CLocationInfoDlg::PaintFont());
    painter.setPen(Qt::black);
    painter.drawText(QRect(QPoint(0, 0), rect.size()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    return image;
}

bool hasInk(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                return true;
            }
        }
    }
    return false;
}
} // namespace

TEST_F(LocationInfoDlgTest, ShowsThePositionAndStrongestReadingOfTheNearestPoint) {
    CLocationInfoDlg dlg(&m_point);
    std::vector<QString> texts;
    for (const auto& t : dlg.Texts()) {
        texts.push_back(t.text);
    }
    const std::vector<QString> expected = {"LOCATION INFORMATION", "X: 120.00",  "Y: 45.00",
                                           "STRONGEST CHANNEL",    "Channel: 1", "RSSI: -47"};
    EXPECT_EQ(texts, expected);

    // And those are the pixels on screen, each in its own rectangle.
    const QImage shot = grabImage(dlg);
    for (const auto& t : dlg.Texts()) {
        SCOPED_TRACE(t.text.toStdString());
        const QImage area = shot.copy(t.rect);
        EXPECT_TRUE(hasInk(area));
        EXPECT_EQ(area, referenceText(t.rect, t.text));
    }
    // The comparison tells values apart: a neighbouring value would not match.
    const auto xText = dlg.Texts()[1];
    EXPECT_NE(shot.copy(xText.rect), referenceText(xText.rect, QStringLiteral("X: 121.00")));
}

TEST_F(LocationInfoDlgTest, EveryTextFitsItsRectangle) {
    CLocationInfoDlg dlg(&m_point);
    const QFontMetrics metrics(CLocationInfoDlg::PaintFont());
    for (const auto& t : dlg.Texts()) {
        SCOPED_TRACE(t.text.toStdString());
        EXPECT_LE(metrics.horizontalAdvance(t.text), t.rect.width());
        EXPECT_LE(metrics.height(), t.rect.height());
    }
}

TEST_F(LocationInfoDlgTest, RepaintsFromThePointsCurrentValues) {
    CLocationInfoDlg dlg(&m_point);
    const QRect rssiRect = dlg.Texts()[5].rect;
    const QImage before = grabImage(dlg).copy(rssiRect);
    m_point.rssi = -103;
    m_point.channel = 799;
    EXPECT_EQ(dlg.Texts()[5].text, QStringLiteral("RSSI: -103"));
    EXPECT_EQ(dlg.Texts()[4].text, QStringLiteral("Channel: 799"));
    const QImage after = grabImage(dlg).copy(rssiRect);
    EXPECT_NE(before, after);
    EXPECT_EQ(after, referenceText(rssiRect, QStringLiteral("RSSI: -103")));
}

TEST_F(LocationInfoDlgTest, DrawsThreeBlueRulesAcrossThePaintedWidth) {
    CLocationInfoDlg dlg(&m_point);
    const QImage shot = grabImage(dlg);
    const QRgb blue = qRgb(0, 0, 255);
    for (int y : {20, 21, 100, 101, 210, 211}) {
        SCOPED_TRACE(y);
        EXPECT_EQ(shot.pixel(7, y), blue);
        EXPECT_EQ(shot.pixel(120, y), blue);
        EXPECT_EQ(shot.pixel(232, y), blue);
        EXPECT_EQ(shot.pixel(6, y), qRgb(255, 255, 255));
        EXPECT_EQ(shot.pixel(233, y), qRgb(255, 255, 255));
    }
    EXPECT_EQ(shot.pixel(120, 22), qRgb(255, 255, 255));
    EXPECT_EQ(shot.pixel(120, 209), qRgb(255, 255, 255));
}

TEST_F(LocationInfoDlgTest, LayoutFitsThePaintingAndTheTemplatesButton) {
    CLocationInfoDlg dlg(&m_point);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Location Info/Delete Point"));
    EXPECT_GE(dlg.width(), CLocationInfoDlg::kPaintWidth);
    const CDialogUnits units = CDialogUnits::FromFont(dlg.font());
    EXPECT_GE(dlg.width(), units.ToPixelsX(131));
    EXPECT_GE(dlg.height(), units.ToPixelsY(158));

    QPushButton* button = dlg.DeleteButton();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("DELETE THIS POINT"));
    EXPECT_TRUE(button->isDefault());
    const QRect templ = units.ToPixels(7, 137, 117, 14);
    EXPECT_EQ(button->x(), templ.x());
    EXPECT_EQ(button->size(), templ.size());
    // Never over the painted rules and texts.
    EXPECT_GE(button->y(), std::max(templ.y(), CLocationInfoDlg::kPaintHeight));
    EXPECT_LE(button->geometry().bottom(), dlg.height() - 1);
}

TEST_F(LocationInfoDlgTest, EnterAsksForTheDeleteWithMinusTwoAndLeavesItToTheCaller) {
    CLocationInfoDlg dlg(&m_point);
    const int result = runModal(
        dlg, [&dlg] { return dlg.DoModal(); }, [&dlg] { QTest::keyClick(&dlg, Qt::Key_Return); });
    EXPECT_EQ(result, CLocationInfoDlg::kDeletedResult);
}

TEST_F(LocationInfoDlgTest, ClosingDeletesNothing) {
    CLocationInfoDlg dlg(&m_point);
    const int result = runModal(
        dlg, [&dlg] { return dlg.DoModal(); }, [&dlg] { dlg.close(); });
    EXPECT_NE(result, CLocationInfoDlg::kDeletedResult);
    EXPECT_NE(result, kWatchdogResult);
}

TEST_F(LocationInfoDlgTest, WithoutAPointDeleteReportsNothingDeleted) {
    CLocationInfoDlg dlg(nullptr);
    ASSERT_EQ(dlg.Texts().size(), 2u); // the two headings only
    const int result = runModal(
        dlg, [&dlg] { return dlg.DoModal(); },
        [&dlg] { QTest::mouseClick(dlg.DeleteButton(), Qt::LeftButton); });
    EXPECT_EQ(result, QDialog::Rejected);
}
