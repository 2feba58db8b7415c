// The view at display scale 2 on real pixels: the screens are the handheld's, twice as large,
// with the map copied pixel for pixel and the texts drawn at the finer resolution.
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "ViewTestSupport.h"

namespace {

using namespace viewtest;

// The screen as the handheld shows it: painted at scale 1 on a 240 x 320 surface.
QImage handheldPicture(CLarkspurView& view) {
    QImage image(240, 320, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    view.PaintClient(painter, QRect(0, 0, 240, 320));
    return image;
}

QImage grabDevicePixels(CLarkspurView& view) {
    const QPixmap pixmap = view.viewport()->grab();
    EXPECT_EQ(pixmap.devicePixelRatio(), 2.0);
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(ScaledView, MapScreenIsTheHandheldPictureEnlarged) {
    auto view = makeView(); // 240 x 320 logical pixels
    view->SetScreenMode(CLarkspurView::kMapScreen);
    ASSERT_TRUE(loadPattern(*view, 480, 640));
    view->OnZoomIn(); // one map pixel a handheld pixel
    view->ImprintPoint(200, 250, -45);
    view->ImprintPoint(300, 420, -85);
    const QImage handheld = handheldPicture(*view);
    const QImage shot = grabDevicePixels(*view);
    ASSERT_EQ(shot.size(), QSize(480, 640));
    // Every handheld pixel, the circles and the centre marker included, covers 2 x 2.
    for (int y = 0; y < 320; ++y) {
        for (int x = 0; x < 240; ++x) {
            const QRgb expected = rgbAt(handheld, x, y);
            ASSERT_EQ(rgbAt(shot, 2 * x, 2 * y), expected) << x << "," << y;
            ASSERT_EQ(rgbAt(shot, 2 * x + 1, 2 * y + 1), expected) << x << "," << y;
        }
    }
}

TEST(ScaledView, TextsAreDrawnAtTheScreensResolutionNotBlownUp) {
    auto view = makeView();
    const QImage shot = grabDevicePixels(*view);
    const QImage handheld = handheldPicture(*view);
    // The title "Larkspur Survalon" sits in handheld pixels (0, 25)..(240, 37). A bitmap blown
    // up from the handheld's rendering would consist of uniform 2 x 2 blocks only.
    int mixed = 0;
    int ink = 0;
    for (int y = 25; y < 37; ++y) {
        for (int x = 0; x < 240; ++x) {
            const QRgb p = rgbAt(shot, 2 * x, 2 * y);
            mixed += rgbAt(shot, 2 * x + 1, 2 * y) != p || rgbAt(shot, 2 * x, 2 * y + 1) != p ||
                     rgbAt(shot, 2 * x + 1, 2 * y + 1) != p;
            ink += qGray(p) >= 160;
        }
    }
    EXPECT_GT(mixed, 100);
    // Same size and place as on the handheld: about as much ink per handheld pixel.
    const int handheldInk = countBright(handheld, QRect(0, 25, 240, 12));
    EXPECT_GT(ink, handheldInk / 2);
    EXPECT_LT(ink, handheldInk * 2);
}

} // namespace
