// Viewport geometry: opening, zooming, resizing, scrolling, screen-to-map and the picture copy
// with its margins, checked against hand-worked values.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "view/MapViewport.h"

namespace {

// A viewport as the view leaves it after opening a w x h picture on a client of the given size
// (the handheld's 240 x 320 unless said otherwise).
CMapViewport opened(int32_t w, int32_t h, int32_t clientW = 240, int32_t clientH = 320) {
    CMapViewport vp;
    vp.SetClientSize(clientW, clientH);
    vp.SetMapBounds(0, 0, w, h);
    vp.ResetView(0, 0, w, h);
    return vp;
}

void expectView(const CMapViewport& vp, int32_t left, int32_t right, int32_t top, int32_t bottom) {
    const ViewRect r = vp.GetViewRect();
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.bottom, bottom);
}

TEST(MapViewport, StartsAtZeroEverywhere) {
    CMapViewport vp;
    expectView(vp, 0, 0, 0, 0);
    EXPECT_EQ(vp.GetCentreX(), 0);
    EXPECT_EQ(vp.GetCentreY(), 0);
    EXPECT_EQ(vp.GetMaxX(), 0);
    EXPECT_EQ(vp.GetMarginCount(), 0);
}

TEST(MapViewport, OpeningSetsBoundsViewAndCentre) {
    CMapViewport vp = opened(480, 640);
    EXPECT_EQ(vp.GetMinX(), 0);
    EXPECT_EQ(vp.GetMaxX(), 480);
    EXPECT_EQ(vp.GetMinY(), 0);
    EXPECT_EQ(vp.GetMaxY(), 640);
    expectView(vp, 0, 480, 0, 640);
    EXPECT_EQ(vp.GetCentreX(), 240);
    EXPECT_EQ(vp.GetCentreY(), 320);
}

TEST(MapViewport, OddPictureCentreTruncates) {
    CMapViewport vp = opened(481, 641);
    EXPECT_EQ(vp.GetCentreX(), 240);
    EXPECT_EQ(vp.GetCentreY(), 320);
}

TEST(MapViewport, ZoomInHalvesAboutTheCentre) {
    CMapViewport vp = opened(480, 640);
    EXPECT_TRUE(vp.ZoomIn());
    expectView(vp, 120, 360, 160, 480);
    EXPECT_TRUE(vp.ZoomIn());
    expectView(vp, 180, 300, 240, 400);
    EXPECT_EQ(vp.GetCentreX(), 240);
    EXPECT_EQ(vp.GetCentreY(), 320);
}

TEST(MapViewport, ZoomInKeepsTheClientsProportionsDownToTheMinimum) {
    // 120 x 120 on 240 x 320: half a map pixel per client pixel, view 120 x 160 about (60, 60).
    CMapViewport vp = opened(120, 120);
    expectView(vp, 0, 120, -20, 140);
    vp.ZoomIn();
    vp.ZoomIn(); // 30 x 40
    vp.SetCentreX(0);
    vp.SetCentreY(0);
    expectView(vp, -15, 15, -20, 20);
    EXPECT_TRUE(vp.ZoomIn()); // 15 x 20: the odd extent is kept whole, left takes -7
    expectView(vp, -7, 8, -10, 10);
    // A further zoom would leave 7 x 10, below the minimum extent, so it is refused.
    EXPECT_FALSE(vp.ZoomIn());
    expectView(vp, -7, 8, -10, 10);
}

TEST(MapViewport, ZoomInStopsAtTheMinimumExtent) {
    CMapViewport vp = opened(480, 640);
    int accepted = 0;
    while (vp.ZoomIn()) {
        ++accepted;
        ASSERT_LT(accepted, 64);
    }
    const ViewRect r = vp.GetViewRect();
    EXPECT_GE(r.right - r.left, CMapViewport::kMinViewExtent);
    EXPECT_GE(r.bottom - r.top, CMapViewport::kMinViewExtent);
    // 480 -> 240 -> 120 -> 60 -> 30 -> 15, then 7 is refused.
    EXPECT_EQ(accepted, 5);
    EXPECT_EQ(vp.GetCentreX(), 240);
    ViewRect dest{0, 0, 240, 320};
    ViewRect src;
    EXPECT_TRUE(vp.ComputeBlit(dest, src));
    EXPECT_EQ(src.right - src.left, r.right - r.left);
}

TEST(MapViewport, ZoomInIsRefusedOnAnUnopenedViewport) {
    CMapViewport vp;
    EXPECT_FALSE(vp.ZoomIn());
    expectView(vp, 0, 0, 0, 0);
}

TEST(MapViewport, ZoomOutOfTheWholeMapChangesNothing) {
    CMapViewport vp = opened(480, 640);
    vp.ZoomOut();
    expectView(vp, 0, 480, 0, 640);
    EXPECT_EQ(vp.GetCentreX(), 240);
    EXPECT_EQ(vp.GetCentreY(), 320);
}

TEST(MapViewport, ZoomOutNearAnEdgeMovesTheCentreInward) {
    CMapViewport vp = opened(480, 640);
    vp.ZoomIn();
    vp.ZoomIn();
    vp.ZoomIn(); // 210..270 about 240
    vp.SetCentreX(50);
    expectView(vp, 20, 80, 280, 360);
    // Doubled about 50 the view would start at -10: it keeps its width and moves inward.
    vp.ZoomOut();
    expectView(vp, 0, 120, 240, 400);
    EXPECT_EQ(vp.GetCentreX(), 60);
    EXPECT_EQ(vp.GetCentreY(), 320);
}

TEST(MapViewport, ZoomOutStopsAtTheWholePictureAndCentresOnIt) {
    // 400 x 640 on 240 x 320: the height limits the fit, so the view is 480 x 640.
    CMapViewport vp = opened(400, 640);
    expectView(vp, -40, 440, 0, 640);
    vp.ZoomIn();
    vp.ZoomIn(); // 120 x 160 about (200, 320)
    vp.SetCentreX(30);
    vp.SetCentreY(600);
    vp.ZoomOut(); // 240 x 320, pushed back onto the picture on both axes
    expectView(vp, 0, 240, 320, 640);
    vp.ZoomOut();
    vp.ZoomOut(); // never beyond the fit, and wider than the picture: centred on it
    expectView(vp, -40, 440, 0, 640);
    EXPECT_EQ(vp.GetCentreX(), 200);
}

TEST(MapViewport, ScrollLeftClampsAtTheEdgeAndKeepsTheExtent) {
    CMapViewport vp = opened(480, 640);
    vp.ZoomIn(); // 120..360
    vp.ScrollLeft(235);
    EXPECT_EQ(vp.GetCentreX(), 5);
    vp.ScrollLeft(10);
    EXPECT_EQ(vp.GetCentreX(), 0);
    expectView(vp, -120, 120, 160, 480);
}

TEST(MapViewport, ScrollsClampAtEachBound) {
    CMapViewport vp = opened(480, 640);
    vp.ScrollRight(1000);
    EXPECT_EQ(vp.GetCentreX(), 480);
    expectView(vp, 240, 720, 0, 640);
    vp.ScrollDown(1000);
    EXPECT_EQ(vp.GetCentreY(), 640);
    vp.ScrollUp(10);
    EXPECT_EQ(vp.GetCentreY(), 630);
    expectView(vp, 240, 720, 310, 950);
    vp.ScrollUp(5000);
    EXPECT_EQ(vp.GetCentreY(), 0);
    expectView(vp, 240, 720, -320, 320);
}

TEST(MapViewport, SetCentreClampsToTheMap) {
    CMapViewport vp = opened(480, 640);
    vp.SetCentreX(-5);
    EXPECT_EQ(vp.GetCentreX(), 0);
    vp.SetCentreX(481);
    EXPECT_EQ(vp.GetCentreX(), 480);
    vp.SetCentreY(-1);
    EXPECT_EQ(vp.GetCentreY(), 0);
    vp.SetCentreY(100000);
    EXPECT_EQ(vp.GetCentreY(), 640);
    vp.SetCentreX(17);
    EXPECT_EQ(vp.GetCentreX(), 17);
    expectView(vp, -223, 257, 320, 960);
}

TEST(MapViewport, TheFitContainsAnOddPictureAndMovingKeepsItsExtent) {
    // 241 x 400 on 240 x 320: the height limits the fit (400/320), so the view is 300 x 400.
    CMapViewport vp = opened(241, 400);
    expectView(vp, -30, 270, 0, 400);
    // 243 x 300 on 240 x 320: the width limits it; the odd extent is kept whole, so the
    // rectangle still holds the picture's last column.
    CMapViewport odd = opened(243, 300);
    expectView(odd, 0, 243, -12, 312);
    odd.ScrollRight(5);
    expectView(odd, 5, 248, -12, 312);
}

TEST(MapViewport, TheFitOnALandscapeClientIsCentredAroundThePicture) {
    // 480 x 640 on 800 x 400: the height limits the fit at 640/400 map units a pixel.
    CMapViewport vp = opened(480, 640, 800, 400);
    expectView(vp, -400, 880, 0, 640);
    EXPECT_EQ(vp.GetCentreX(), 240);
    ViewRect dest{0, 0, 800, 400};
    ViewRect src;
    ASSERT_TRUE(vp.ComputeBlit(dest, src));
    // The picture keeps its proportions: 480 x 640 map pixels onto 300 x 400 client pixels.
    EXPECT_EQ(dest, (ViewRect{250, 0, 550, 400}));
    EXPECT_EQ(src, (ViewRect{0, 0, 480, 640}));
    EXPECT_EQ(vp.GetMargin(0), (ViewRect{0, 0, 250, 400}));
    EXPECT_EQ(vp.GetMargin(2), (ViewRect{550, 0, 800, 400}));
}

TEST(MapViewport, ResizingKeepsTheZoomLevelAndTheCentre) {
    CMapViewport vp = opened(480, 640);
    vp.ZoomIn(); // one map pixel a client pixel
    vp.SetCentreX(100);
    vp.SetClientSize(600, 300);
    expectView(vp, -200, 400, 170, 470);
    EXPECT_EQ(vp.GetCentreX(), 100);
    EXPECT_EQ(vp.GetCentreY(), 320);
    // Many resizes there and back leave the level exactly where it was.
    for (int i = 0; i < 50; ++i) {
        vp.SetClientSize(241 + i * 7, 333 + i * 3);
    }
    vp.SetClientSize(240, 320);
    expectView(vp, -20, 220, 160, 480);
    // A tap still takes the map point under it at that level.
    vp.SetClientSize(600, 300);
    EXPECT_EQ(vp.ScreenToMap({0, 0, 600, 300}, {300, 150}), (ViewPoint{100, 320}));
}

TEST(MapViewport, AClientSizeArrivingAfterTheResetFitsThePictureAfresh) {
    CMapViewport vp; // the client's size is not known yet
    vp.SetMapBounds(0, 0, 480, 640);
    vp.ResetView(0, 0, 480, 640);
    vp.SetClientSize(240, 320);
    expectView(vp, 0, 480, 0, 640);
    vp.SetClientSize(480, 640); // from here on the level is kept
    expectView(vp, -240, 720, -320, 960);
}

TEST(MapViewport, TheMapPointUnderAClientPointScales) {
    CMapViewport vp = opened(480, 640);
    vp.ZoomIn();
    vp.ZoomIn();        // 180..300 x 240..400
    vp.SetCentreX(160); // 100..220
    const ViewRect client{0, 0, 240, 320};
    const ViewPoint map = vp.ScreenToMap(client, {120, 160});
    EXPECT_EQ(map.x, 160); // 100 + (120*120)/240
    EXPECT_EQ(map.y, 320); // 240 + (160*160)/320
    const ViewPoint odd = vp.ScreenToMap(client, {1, 1});
    EXPECT_EQ(odd, (ViewPoint{100, 240})); // 120/240 and 160/320 truncate to 0
}

TEST(MapViewport, TheMapPointUnderAnEmptyClientDoesNotDivide) {
    CMapViewport vp = opened(480, 640);
    const ViewPoint map = vp.ScreenToMap(ViewRect{0, 0, 0, 0}, {5, 5});
    EXPECT_EQ(map, (ViewPoint{0, 0}));
}

TEST(MapViewport, BlitCopiesWhatThePictureHoldsAndMarginsTheRest) {
    struct Case {
        const char* what;
        std::function<void(CMapViewport&)> move;
        ViewRect dest;
        ViewRect src;
        std::vector<ViewRect> margins;
    } const cases[] = {
        {"a view inside the map",
         [](CMapViewport& vp) { vp.ZoomIn(); }, // 120..360 x 160..480
         {0, 0, 240, 320},
         {120, 160, 360, 480},
         {}},
        // Left and top are 0, which counts as "at or before the edge": two zero-area strips.
        {"the whole map",
         [](CMapViewport&) {},
         {0, 0, 240, 320},
         {0, 0, 480, 640},
         {{0, 0, 0, 320}, {0, 0, 240, 0}}},
        {"past the left edge",
         [](CMapViewport& vp) {
             vp.ZoomIn();
             vp.ScrollLeft(235);
             vp.ScrollLeft(10); // -120..120
         },
         {120, 0, 240, 320},
         {0, 160, 120, 480},
         {{0, 0, 120, 320}}},
        // 120 of 240 map columns and 160 of 320 rows lie past the picture.
        {"past the right and bottom edges",
         [](CMapViewport& vp) {
             vp.ZoomIn();          // 120..360 x 160..480, extent 240 x 320
             vp.ScrollRight(1000); // centre 480: 360..600
             vp.ScrollDown(1000);  // centre 640: 480..800
         },
         {0, 0, 120, 160},
         {360, 480, 480, 640},
         {{120, 0, 240, 320}, {0, 160, 240, 320}}},
        // A 120 x 160 view on a 240 x 320 client: each map pixel is two screen pixels.
        {"the top left corner on a stretched client",
         [](CMapViewport& vp) {
             vp.ZoomIn();
             vp.ZoomIn(); // 180..300 x 240..400
             vp.SetCentreX(30);
             vp.SetCentreY(40); // -30..90 x -40..120
         },
         {60, 80, 240, 320},
         {0, 0, 90, 120},
         {{0, 0, 60, 320}, {0, 0, 240, 80}}},
    };
    for (const Case& c : cases) {
        CMapViewport vp = opened(480, 640);
        c.move(vp);
        ViewRect dest{0, 0, 240, 320};
        ViewRect src;
        EXPECT_TRUE(vp.ComputeBlit(dest, src)) << c.what;
        EXPECT_EQ(dest, c.dest) << c.what;
        EXPECT_EQ(src, c.src) << c.what;
        ASSERT_EQ(vp.GetMarginCount(), static_cast<int>(c.margins.size())) << c.what;
        for (size_t i = 0; i < c.margins.size(); ++i) {
            EXPECT_EQ(vp.GetMargin(static_cast<int>(i)), c.margins[i]) << c.what << " " << i;
        }
    }
}

TEST(MapViewport, BlitBeforeAnyPictureNeverDividesAndMarginsTheWholeClient) {
    CMapViewport vp;
    ViewRect dest{0, 0, 240, 320};
    ViewRect src{1, 2, 3, 4};
    EXPECT_FALSE(vp.ComputeBlit(dest, src));
    EXPECT_EQ(dest, (ViewRect{0, 0, 240, 320}));
    EXPECT_EQ(src, (ViewRect{}));
    ASSERT_EQ(vp.GetMarginCount(), 1);
    EXPECT_EQ(vp.GetMargin(0), (ViewRect{0, 0, 240, 320}));
}

TEST(MapViewport, MarginOutOfRangeIsEmpty) {
    CMapViewport vp = opened(480, 640);
    ViewRect dest{0, 0, 240, 320};
    ViewRect src;
    vp.ComputeBlit(dest, src);
    EXPECT_EQ(vp.GetMargin(2), (ViewRect{}));
    EXPECT_EQ(vp.GetMargin(-1), (ViewRect{}));
}

TEST(MapViewport, LargePicturesOnLargeScreensDoNotOverflow) {
    // A 60000-wide map on an 80000-wide client: the products pass 2^31.
    CMapViewport vp = opened(60000, 60000, 80000, 80000);
    vp.SetCentreX(0); // -30000..30000
    const ViewRect client{0, 0, 80000, 80000};
    ViewRect dest = client;
    ViewRect src;
    vp.ComputeBlit(dest, src);
    EXPECT_EQ(dest.left, 40000);
    const ViewPoint map = vp.ScreenToMap(client, {79999, 79999});
    EXPECT_EQ(map, (ViewPoint{29999, 59999}));
}

} // namespace
