// The start screen on real pixels: the start picture over the whole client and the receiver's
// identity texts and the title in Arial 8 point, white on black.
#include <QFontInfo>
#include <QImage>
#include <cstring>
#include <gtest/gtest.h>

#include "ViewTestSupport.h"

namespace {

using namespace viewtest;

const QRect kFirmware(5, 3, 110, 15);
const QRect kSerial(155, 3, 80, 15);
const QRect kTitle(0, 25, 240, 12);

// The client as it should look in the three text rectangles: the start picture stretched to
// the client, then the three texts drawn over it.
QImage expectedStart(const QImage& shot, const QString& firmware, const QString& serial) {
    QImage expected = blankLike(shot, Qt::black);
    const QImage picture(QStringLiteral(":/view/StartScreen.bmp"));
    QPainter painter(&expected);
    painter.drawImage(expected.rect(), picture, picture.rect());
    drawExpectedText(painter, kFirmware, QStringLiteral("(Firmware %1)").arg(firmware), Qt::black);
    drawExpectedText(painter, kSerial, QStringLiteral("(SN %1)").arg(serial), Qt::black);
    drawExpectedText(painter, kTitle, QStringLiteral("Larkspur Survalon"), Qt::black,
                     Qt::AlignHCenter);
    return expected;
}

int textDifferences(const QImage& shot, const QImage& expected) {
    return differences(shot, expected, kFirmware) + differences(shot, expected, kSerial) +
           differences(shot, expected, kTitle);
}

TEST(StartScreen, ArialResolvesToAMetricCompatibleFace) {
    const QString family = QFontInfo(arial8()).family();
    EXPECT_TRUE(family == QStringLiteral("Arial") || family == QStringLiteral("Liberation Sans"))
        << family.toStdString();
}

TEST(StartScreen, ShowsTheReceiversInitialTextsAndTheTitle) {
    auto view = makeView();
    ASSERT_EQ(view->ScreenMode(), CLarkspurView::kStartScreen);
    const QImage shot = grabClient(*view);

    EXPECT_EQ(textDifferences(
                  shot, expectedStart(shot, QStringLiteral("0.00"), QStringLiteral("XXXXXX"))),
              0);
    // White ink on a black box in each rectangle.
    for (const QRect& r : {kFirmware, kSerial, kTitle}) {
        EXPECT_GT(countBright(shot, r), 10);
        EXPECT_GT(countColour(shot, r, 0x000000), 10);
    }
    // Outside the texts the start picture fills the client, unscaled on a 240 x 320 client.
    const QImage picture =
        QImage(QStringLiteral(":/view/StartScreen.bmp")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.size(), QSize(240, 320));
    EXPECT_EQ(differences(shot, picture, QRect(0, 40, 240, 160)), 0);
    EXPECT_EQ(differences(shot, picture, QRect(0, 240, 240, 80)), 0);
}

TEST(StartScreen, ShowsTheTextsTheBoardReported) {
    auto view = makeView();
    view->SetBoardIdentity({"2.13", "A10457", {}});
    const QImage shot = grabClient(*view);
    EXPECT_EQ(textDifferences(
                  shot, expectedStart(shot, QStringLiteral("2.13"), QStringLiteral("A10457"))),
              0);
    EXPECT_GT(textDifferences(
                  shot, expectedStart(shot, QStringLiteral("0.00"), QStringLiteral("XXXXXX"))),
              0);
}

TEST(StartScreen, ARadioShowsItsDriverLabelAndSerialInsteadOfTheFirmware) {
    auto view = makeView();
    const QString radio = QStringLiteral("larkspur-synth, Larkspur synthetic receiver");
    view->SetBoardIdentity({"SDR", "LKS-SYNTH-0001", radio.toStdString()});
    const QImage shot = grabClient(*view);
    // The radio takes the whole top line, its serial a line of its own under the title.
    const QRect line(5, 3, 230, 15);
    const QRect serial(0, 40, 240, 12);
    QImage expected = expectedStart(shot, QString(), QString());
    {
        const QImage picture(QStringLiteral(":/view/StartScreen.bmp"));
        QPainter painter(&expected);
        painter.drawImage(expected.rect(), picture, picture.rect());
        drawExpectedText(painter, line, QStringLiteral("(%1)").arg(radio), Qt::black);
        drawExpectedText(painter, serial, QStringLiteral("(SN LKS-SYNTH-0001)"), Qt::black,
                         Qt::AlignHCenter);
    }
    EXPECT_EQ(differences(shot, expected, line), 0);
    EXPECT_EQ(differences(shot, expected, serial), 0);
    EXPECT_GT(countBright(shot, QRect(115, 3, 120, 15)), 10) << "the label runs past the middle";
}

TEST(StartScreen, ALargerClientShowsThePageEnlargedAndCentred) {
    // 600 x 640: the page doubles to 480 x 640 and sits 60 pixels from either side.
    auto view = makeView(QSize(600, 640));
    const QImage shot = grabClient(*view);
    const QImage picture =
        QImage(QStringLiteral(":/view/StartScreen.bmp")).convertToFormat(QImage::Format_RGB32);
    // Each picture pixel covers 2 x 2 client pixels; sample away from the texts.
    for (int y = 100; y < 400; y += 9) {
        for (int x = 0; x < 480; x += 11) {
            ASSERT_EQ(rgbAt(shot, 60 + x, y), rgbAt(picture, x / 2, y / 2)) << x << "," << y;
        }
    }
    EXPECT_EQ(countColour(shot, QRect(0, 0, 60, 640), 0x000000), 60 * 640);
    EXPECT_EQ(countColour(shot, QRect(540, 0, 60, 640), 0x000000), 60 * 640);
    // The title moved with the picture and grew with it.
    const QRect title(60 + 2 * kTitle.left(), 2 * kTitle.top(), 2 * kTitle.width(),
                      2 * kTitle.height());
    EXPECT_GT(countBright(shot, title), 2 * countBright(grabClient(*makeView()), kTitle));
}

} // namespace
