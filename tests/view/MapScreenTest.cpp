// The map screen on real pixels: the stretched copy of the canvas, white margins, the centre
// marker combined by AND, survey circles in each colour band and the erase disc.
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include "ViewTestSupport.h"
#include "survey/RecordList.h"
#include "survey/SurveyData.h"

namespace {

using namespace viewtest;

constexpr QRgb kGrey = 0xA0A0A0;
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;

class MapScreen : public ::testing::Test {
protected:
    void SetUp() override {
        view = makeView();
        view->SetScreenMode(CLarkspurView::kMapScreen);
    }

    // True where the 32 x 32 marker (top-left at origin) covers client pixel (x, y).
    static bool underMarker(const QPoint& origin, int x, int y) {
        return x >= origin.x() && x < origin.x() + 32 && y >= origin.y() && y < origin.y() + 32;
    }

    std::unique_ptr<CLarkspurView> view;
};

TEST_F(MapScreen, BeforeAnyPictureTheScreenIsWhite) {
    const QImage shot = grabClient(*view);
    EXPECT_EQ(countColour(shot, shot.rect(), kWhite), 240 * 320);
    // Zoom commands on the empty viewport change nothing and still paint white.
    view->OnZoomIn();
    view->OnZoomOut();
    const QImage again = grabClient(*view);
    EXPECT_EQ(countColour(again, again.rect(), kWhite), 240 * 320);
}

TEST_F(MapScreen, ViewInsideTheMapFillsTheClientOneToOne) {
    ASSERT_TRUE(loadPattern(*view, 480, 640));
    view->OnZoomIn(); // view 120..360 x 160..480 on a 240 x 320 client
    const QImage shot = grabClient(*view);
    const QPoint marker(104, 144);
    int checked = 0;
    for (int y = 0; y < 320; ++y) {
        for (int x = 0; x < 240; ++x) {
            if (underMarker(marker, x, y)) {
                continue;
            }
            ASSERT_EQ(rgbAt(shot, x, y), patternColour(120 + x, 160 + y) & 0xFFFFFFu)
                << "at " << x << "," << y;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 240 * 320 - 32 * 32);
}

TEST_F(MapScreen, ZoomedViewStretchesEachMapPixelOverTwo) {
    ASSERT_TRUE(loadPattern(*view, 480, 640));
    view->OnZoomIn();
    view->OnZoomIn(); // 180..300 x 240..400: each map pixel covers 2 x 2 client pixels
    const QImage shot = grabClient(*view);
    for (int y = 0; y < 320; y += 7) {
        for (int x = 0; x < 100; x += 3) {
            ASSERT_EQ(rgbAt(shot, x, y), patternColour(180 + x / 2, 240 + y / 2) & 0xFFFFFFu)
                << "at " << x << "," << y;
        }
    }
}

TEST_F(MapScreen, CentreMarkerIsAndedOntoTheMapAtTheMiddle) {
    const QRgb base = qRgb(200, 100, 50) & 0xFFFFFFu;
    ASSERT_TRUE(loadUniform(*view, 480, 640, base));
    view->OnZoomIn();
    const QImage shot = grabClient(*view);
    const QImage marker =
        QImage(QStringLiteral(":/view/CentreMarker.bmp")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(marker.size(), QSize(32, 32));

    const QPoint origin(104, 320 / 2 - 16);
    int black = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb expected = base & rgbAt(marker, x, y);
            ASSERT_EQ(rgbAt(shot, origin.x() + x, origin.y() + y), expected)
                << "marker pixel " << x << "," << y;
            black += expected == kBlack;
        }
    }
    // The ring and the crosses are there; the middle pixel, the map's centre, shows the map.
    EXPECT_GT(black, 60);
    EXPECT_EQ(rgbAt(shot, 120, 160), base);
    // The marker's box is the only thing drawn over the map.
    EXPECT_EQ(countColour(shot, shot.rect(), base), 240 * 320 - black);
}

TEST_F(MapScreen, CentreMarkerFollowsAnOddClientSize) {
    auto odd = makeView(QSize(241, 301));
    odd->SetScreenMode(CLarkspurView::kMapScreen);
    ASSERT_TRUE(loadUniform(*odd, 480, 640, kGrey));
    const QImage shot = grabClient(*odd);
    // 241/2 - 16 = 104 and 301/2 - 16 = 134: the top and left rows of the box hold the ring's
    // outermost pixels only inside it, never left of or above it.
    int left = 1000;
    int top = 1000;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (rgbAt(shot, x, y) == kBlack) {
                left = std::min(left, x);
                top = std::min(top, y);
            }
        }
    }
    EXPECT_GE(left, 104);
    EXPECT_LT(left, 104 + 4);
    EXPECT_GE(top, 134);
    EXPECT_LT(top, 134 + 4);
}

TEST_F(MapScreen, ScrollingPastTheLeftEdgeLeavesAWhiteMargin) {
    ASSERT_TRUE(loadUniform(*view, 480, 640, kGrey));
    view->OnZoomIn();                          // 120..360, centre 240
    view->Viewport().ScrollLeft(235);          // centre 5
    QTest::keyClick(view.get(), Qt::Key_Left); // centre 0: view -120..120
    ASSERT_EQ(view->Viewport().GetCentreX(), 0);
    const QImage shot = grabClient(*view);
    // Rows clear of the marker: the left half is white margin, the right half is the map.
    for (int y : {0, 50, 140, 200, 319}) {
        for (int x = 0; x < 240; ++x) {
            const bool marker = y >= 144 && y < 176 && x >= 104 && x < 136;
            if (marker) {
                continue;
            }
            ASSERT_EQ(rgbAt(shot, x, y), x < 120 ? kWhite : kGrey) << "at " << x << "," << y;
        }
    }
}

TEST_F(MapScreen, PastTheBottomRightCornerBothMarginsAreWhite) {
    ASSERT_TRUE(loadPattern(*view, 480, 640));
    view->OnZoomIn();
    view->Viewport().ScrollRight(1000);
    view->Viewport().ScrollDown(1000); // 360..600 x 480..800
    const QImage shot = grabClient(*view);
    EXPECT_EQ(rgbAt(shot, 0, 0), patternColour(360, 480) & 0xFFFFFFu);
    EXPECT_EQ(rgbAt(shot, 119, 159), patternColour(479, 639) & 0xFFFFFFu);
    EXPECT_EQ(rgbAt(shot, 120, 0), kWhite);
    EXPECT_EQ(rgbAt(shot, 0, 160), kWhite);
    EXPECT_EQ(countColour(shot, QRect(0, 200, 240, 120), kWhite), 240 * 120);
}

// A survey circle is painted at 1:1 so its pixels can be measured: fill, outline colour and
// the width of the run of coloured pixels through its middle.
struct CircleProbe {
    QRgb centre;
    QRgb edge; // the outermost pixel on the middle row, left side
    int span;  // coloured pixels on the middle row
};

CircleProbe probeCircle(const QImage& shot, int cx, int cy, QRgb background) {
    CircleProbe probe{rgbAt(shot, cx, cy), 0, 0};
    int first = -1;
    for (int x = cx - 20; x <= cx + 20; ++x) {
        if (rgbAt(shot, x, cy) != background) {
            if (first < 0) {
                first = x;
            }
            ++probe.span;
        }
    }
    probe.edge = first < 0 ? background : rgbAt(shot, first, cy);
    return probe;
}

TEST_F(MapScreen, CirclesAtEachColourBandEdge) {
    ASSERT_TRUE(loadUniform(*view, 480, 640, kGrey));
    view->OnZoomIn(); // 120..360 x 160..480 at 1:1
    struct Case {
        int16_t rssi;
        QRgb colour;
    };
    const Case cases[] = {{-39, 0xFF0000}, {-40, 0xFF8000}, {-50, 0xFFFF00},
                          {-60, 0x00FF00}, {-70, 0x0000FF}, {-80, 0x000000}};
    // Two rows of three, clear of the marker in the middle of the client.
    const QPoint spots[] = {{150, 200}, {200, 200}, {250, 200}, {150, 380}, {200, 380}, {250, 380}};
    for (int i = 0; i < 6; ++i) {
        view->ImprintPoint(spots[i].x(), spots[i].y(), cases[i].rssi);
    }
    const QImage shot = grabClient(*view);
    int spans[6];
    for (int i = 0; i < 6; ++i) {
        const int cx = spots[i].x() - 120;
        const int cy = spots[i].y() - 160;
        const CircleProbe probe = probeCircle(shot, cx, cy, kGrey);
        EXPECT_EQ(probe.centre, cases[i].colour) << "rssi " << cases[i].rssi;
        EXPECT_EQ(probe.edge, cases[i].colour) << "rssi " << cases[i].rssi;
        // Solid: every pixel of the middle row inside the circle has the colour.
        EXPECT_EQ(countColour(shot, QRect(cx - 9, cy, 19, 1), cases[i].colour), 19);
        // Not antialiased: only the colour or the map, nothing in between.
        const QRect box(cx - 13, cy - 13, 27, 27);
        EXPECT_EQ(countColour(shot, box, cases[i].colour) + countColour(shot, box, kGrey), 27 * 27)
            << "rssi " << cases[i].rssi;
        spans[i] = probe.span;
    }
    // Radius 10 with a 1-pixel outline: 21 pixels across. The black band's 2-pixel outline
    // reaches one pixel further.
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(spans[i], 21) << "rssi " << cases[i].rssi;
    }
    EXPECT_EQ(spans[5], 22);
}

TEST_F(MapScreen, ALandscapeWindowKeepsCirclesRoundAtTheSameZoom) {
    ASSERT_TRUE(loadUniform(*view, 480, 640, kGrey));
    view->OnZoomIn();
    view->OnZoomIn(); // 120 x 160 map pixels on 240 x 320: two client pixels a map pixel
    view->ImprintPoint(270, 320, -45);
    view->resize(view->SizeForClient(QSize(640, 300)));
    QApplication::processEvents();
    ASSERT_EQ(view->viewport()->size(), QSize(640, 300));
    const QImage shot = grabClient(*view);
    // The zoom level stays: the circle, 30 map pixels right of the centre, is 60 client pixels
    // right of the middle, and its box is as tall as it is wide.
    QRect box;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (rgbAt(shot, x, y) == 0xFF8000u) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    ASSERT_FALSE(box.isEmpty());
    EXPECT_NEAR(box.width(), box.height(), 1);
    EXPECT_NEAR(box.width(), 42, 2);
    EXPECT_NEAR(box.center().x(), 320 + 60, 1);
    EXPECT_NEAR(box.center().y(), 150, 1);
}

TEST_F(MapScreen, CirclesLiveInTheCanvasAndMoveWithTheMap) {
    ASSERT_TRUE(loadUniform(*view, 480, 640, kGrey));
    view->OnZoomIn();
    view->ImprintPoint(150, 200, -45); // client (30, 40)
    QImage shot = grabClient(*view);
    EXPECT_EQ(rgbAt(shot, 30, 40), 0xFF8000u);
    EXPECT_EQ(rgbAt(view->MapCanvas(), 150, 200), 0xFF8000u);
    QTest::keyClick(view.get(), Qt::Key_Right); // 10 map pixels right: the point moves left
    shot = grabClient(*view);
    EXPECT_EQ(probeCircle(shot, 20, 40, kGrey).span, 21);
    EXPECT_EQ(rgbAt(shot, 20, 40), 0xFF8000u);
    EXPECT_EQ(rgbAt(shot, 41, 40), kGrey);
}

TEST_F(MapScreen, ADeletedPointLeavesThePlanAndTheOtherCirclesAsAFreshCanvasWould) {
    struct Point {
        int32_t x, y;
        int16_t rssi;
    };
    // Two overlapping circles, a far one, and two points at one place (the second one stays).
    const Point points[] = {
        {200, 220, -35}, {208, 225, -65}, {260, 300, -75}, {100, 100, -45}, {100, 100, -85}};
    ASSERT_TRUE(loadPattern(*view, 480, 640));
    for (const Point& p : points) {
        view->ImprintPoint(p.x, p.y, p.rssi);
    }
    view->ErasePoint(200, 220);
    view->ErasePoint(100, 100);
    view->ErasePoint(5, 5); // no point there: nothing changes

    auto fresh = makeView();
    ASSERT_TRUE(loadPattern(*fresh, 480, 640));
    for (const Point& p : {points[1], points[2], points[4]}) {
        fresh->ImprintPoint(p.x, p.y, p.rssi);
    }
    const QImage expected = fresh->MapCanvas().convertToFormat(QImage::Format_RGB32);
    const QImage canvas = view->MapCanvas().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(differences(canvas, expected, canvas.rect()), 0);
    // The walls under the deleted circle are back: a pattern pixel, not white.
    EXPECT_EQ(rgbAt(canvas, 195, 215), patternColour(195, 215) & 0xFFFFFFu);
}

} // namespace
