// Viewport geometry: opening, zooming, scrolling, screen-to-map and the picture copy with its
// margins, checked against hand-worked values.
#include <gtest/gtest.h>

#include "view/MapViewport.h"

namespace {

// A viewport as the view leaves it after opening a w x h picture.
CMapViewport opened(int32_t w, int32_t h) {
    CMapViewport vp;
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
    EXPECT_EQ(vp.GetHeld(), (ViewPoint{0, 0}));
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

TEST(MapViewport, ZoomInTruncatesTowardZeroOnNegativeEdges) {
    CMapViewport vp = opened(120, 120);
    vp.ZoomIn();
    vp.ZoomIn(); // 45..75 about 60
    vp.SetCentreX(0);
    vp.SetCentreY(0);
    expectView(vp, -15, 15, -15, 15);
    // (-15 + 0)/2 is -7, not -8.
    EXPECT_TRUE(vp.ZoomIn());
    expectView(vp, -7, 7, -7, 7);
    // A further zoom would leave -3..3, below the minimum extent, so it is refused.
    EXPECT_FALSE(vp.ZoomIn());
    expectView(vp, -7, 7, -7, 7);
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

TEST(MapViewport, ZoomOutNearAnEdgeClampsAndRecentres) {
    CMapViewport vp = opened(480, 640);
    vp.ZoomIn();
    vp.ZoomIn();
    vp.ZoomIn(); // 210..270 about 240
    vp.SetCentreX(50);
    expectView(vp, 20, 80, 280, 360);
    vp.ZoomOut(); // left 2*20-50 = -10 raised to 0; right 2*80-50 = 110
    expectView(vp, 0, 110, 240, 400);
    EXPECT_EQ(vp.GetCentreX(), 55);
    EXPECT_EQ(vp.GetCentreY(), 320);
}

TEST(MapViewport, ZoomOutOfAHundredWideViewAtFifty) {
    // View 0..100 with centre 50: left -50 raised to 0, right 150, centre 75.
    CMapViewport vp = opened(400, 640);
    vp.ZoomIn();
    vp.ZoomIn(); // 150..250, extent 100
    vp.SetCentreX(50);
    EXPECT_EQ(vp.GetViewRect().left, 0);
    EXPECT_EQ(vp.GetViewRect().right, 100);
    vp.ZoomOut();
    EXPECT_EQ(vp.GetViewRect().left, 0);
    EXPECT_EQ(vp.GetViewRect().right, 150);
    EXPECT_EQ(vp.GetCentreX(), 75);
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

TEST(MapViewport, MovingAnOddExtentLosesItsRemainder) {
    CMapViewport vp = opened(241, 400);
    vp.ScrollRight(0);
    const ViewRect r = vp.GetViewRect();
    EXPECT_EQ(r.right - r.left, 240);
    EXPECT_EQ(vp.GetCentreX(), 120);
    expectView(vp, 0, 240, 0, 400);
}

TEST(MapViewport, ScreenToMapScalesAndStoresTheHeldPoint) {
    CMapViewport vp = opened(480, 640);
    vp.ZoomIn();
    vp.ZoomIn();        // 180..300 x 240..400
    vp.SetCentreX(160); // 100..220
    const ViewRect client{0, 0, 240, 320};
    const ViewPoint map = vp.ScreenToMap(client, {120, 160});
    EXPECT_EQ(map.x, 160); // 100 + (120*120)/240
    EXPECT_EQ(map.y, 320); // 240 + (160*160)/320
    EXPECT_EQ(vp.GetHeld(), map);
    const ViewPoint odd = vp.ScreenToMap(client, {1, 1});
    EXPECT_EQ(odd, (ViewPoint{100, 240})); // 120/240 and 160/320 truncate to 0
    EXPECT_EQ(vp.GetEraseRect(), (ViewRect{85, 225, 115, 255}));
}

TEST(MapViewport, CentreOnScreenPointMovesTheCentreButNotTheHeldPoint) {
    CMapViewport vp = opened(480, 640);
    const ViewRect client{0, 0, 240, 320};
    vp.ScreenToMap(client, {10, 10});
    const ViewPoint held = vp.GetHeld();
    vp.CentreOnScreenPoint(client, {120, 160});
    EXPECT_EQ(vp.GetCentreX(), 240);
    EXPECT_EQ(vp.GetCentreY(), 320);
    EXPECT_EQ(vp.GetHeld(), held);
    EXPECT_EQ(vp.GetNewPointRect(), (ViewRect{230, 310, 250, 330}));
    // A tap beside the map clamps to its edge.
    vp.ZoomIn();
    vp.SetCentreX(0); // -120..120: the left half of the client is margin
    vp.CentreOnScreenPoint(client, {30, 160});
    EXPECT_EQ(vp.GetCentreX(), 0);
}

TEST(MapViewport, ScreenToMapOnAnEmptyClientDoesNotDivide) {
    CMapViewport vp = opened(480, 640);
    const ViewPoint map = vp.ScreenToMap(ViewRect{0, 0, 0, 0}, {5, 5});
    EXPECT_EQ(map, (ViewPoint{0, 0}));
}

TEST(MapViewport, BlitOfAViewInsideTheMapHasNoMargins) {
    CMapViewport vp = opened(480, 640);
    vp.ZoomIn(); // 120..360 x 160..480
    ViewRect dest{0, 0, 240, 320};
    ViewRect src;
    EXPECT_TRUE(vp.ComputeBlit(dest, src));
    EXPECT_EQ(dest, (ViewRect{0, 0, 240, 320}));
    EXPECT_EQ(src, (ViewRect{120, 160, 360, 480}));
    EXPECT_EQ(vp.GetMarginCount(), 0);
}

TEST(MapViewport, BlitOfTheWholeMapAddsEmptyLeftAndTopMargins) {
    // left and top are 0, which counts as "at or before the edge": two zero-area strips.
    CMapViewport vp = opened(480, 640);
    ViewRect dest{0, 0, 240, 320};
    ViewRect src;
    vp.ComputeBlit(dest, src);
    EXPECT_EQ(dest, (ViewRect{0, 0, 240, 320}));
    EXPECT_EQ(src, (ViewRect{0, 0, 480, 640}));
    ASSERT_EQ(vp.GetMarginCount(), 2);
    EXPECT_EQ(vp.GetMargin(0), (ViewRect{0, 0, 0, 320}));
    EXPECT_EQ(vp.GetMargin(1), (ViewRect{0, 0, 240, 0}));
}

TEST(MapViewport, BlitAfterScrollingPastTheLeftEdge) {
    CMapViewport vp = opened(480, 640);
    vp.ZoomIn();
    vp.ScrollLeft(235);
    vp.ScrollLeft(10); // -120..120
    ViewRect dest{0, 0, 240, 320};
    ViewRect src;
    vp.ComputeBlit(dest, src);
    EXPECT_EQ(dest, (ViewRect{120, 0, 240, 320}));
    EXPECT_EQ(src, (ViewRect{0, 160, 120, 480}));
    ASSERT_EQ(vp.GetMarginCount(), 1);
    EXPECT_EQ(vp.GetMargin(0), (ViewRect{0, 0, 120, 320}));
}

TEST(MapViewport, BlitPastTheRightAndBottomEdges) {
    CMapViewport vp = opened(480, 640);
    vp.ZoomIn();          // 120..360 x 160..480, extent 240 x 320
    vp.ScrollRight(1000); // centre 480: 360..600
    vp.ScrollDown(1000);  // centre 640: 480..800
    ViewRect dest{0, 0, 240, 320};
    ViewRect src;
    vp.ComputeBlit(dest, src);
    // 120 of 240 map columns and 160 of 320 rows lie past the picture.
    EXPECT_EQ(dest, (ViewRect{0, 0, 120, 160}));
    EXPECT_EQ(src, (ViewRect{360, 480, 480, 640}));
    ASSERT_EQ(vp.GetMarginCount(), 2);
    EXPECT_EQ(vp.GetMargin(0), (ViewRect{120, 0, 240, 320}));
    EXPECT_EQ(vp.GetMargin(1), (ViewRect{0, 160, 240, 320}));
}

TEST(MapViewport, BlitAtTheTopLeftCornerOnAStretchedClient) {
    // A 120 x 160 view on a 240 x 320 client: each map pixel is two screen pixels.
    CMapViewport vp = opened(480, 640);
    vp.ZoomIn();
    vp.ZoomIn(); // 180..300 x 240..400
    vp.SetCentreX(30);
    vp.SetCentreY(40); // -30..90 x -40..120
    ViewRect dest{0, 0, 240, 320};
    ViewRect src;
    vp.ComputeBlit(dest, src);
    EXPECT_EQ(dest, (ViewRect{60, 80, 240, 320}));
    EXPECT_EQ(src, (ViewRect{0, 0, 90, 120}));
    ASSERT_EQ(vp.GetMarginCount(), 2);
    EXPECT_EQ(vp.GetMargin(0), (ViewRect{0, 0, 60, 320}));
    EXPECT_EQ(vp.GetMargin(1), (ViewRect{0, 0, 240, 80}));
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
    CMapViewport vp = opened(60000, 60000);
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
