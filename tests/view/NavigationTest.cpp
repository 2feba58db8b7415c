// Zoom commands, scroll bars and arrow keys on a real view: the viewport's centre and the
// scroll thumbs move together as the surveyor expects, and zoom leaves the thumbs alone.
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

#include "ViewTestSupport.h"

namespace {

using namespace viewtest;

class Navigation : public ::testing::Test {
protected:
    void SetUp() override {
        view = makeView();
        view->SetScreenMode(CLarkspurView::kMapScreen);
        ASSERT_TRUE(loadUniform(*view, 480, 640, 0x808080));
    }

    QScrollBar& hbar() { return *view->horizontalScrollBar(); }
    QScrollBar& vbar() { return *view->verticalScrollBar(); }
    int32_t cx() const { return view->Viewport().GetCentreX(); }
    int32_t cy() const { return view->Viewport().GetCentreY(); }

    std::unique_ptr<CLarkspurView> view;
};

TEST_F(Navigation, OpeningSetsRangesAndThumbsOnTheCentre) {
    EXPECT_TRUE(hbar().isVisible());
    EXPECT_TRUE(vbar().isVisible());
    EXPECT_EQ(hbar().minimum(), 0);
    EXPECT_EQ(hbar().maximum(), 480);
    EXPECT_EQ(vbar().minimum(), 0);
    EXPECT_EQ(vbar().maximum(), 640);
    EXPECT_EQ(hbar().value(), 240);
    EXPECT_EQ(vbar().value(), 320);
    EXPECT_EQ(view->PictureWidth(), 480);
    EXPECT_EQ(view->PictureHeight(), 640);
    EXPECT_EQ(view->Viewport().GetViewRect(), (ViewRect{0, 0, 480, 640}));
}

TEST_F(Navigation, OpeningAnotherPictureResetsEverything) {
    view->OnZoomIn();
    QTest::keyClick(view.get(), Qt::Key_Left);
    ASSERT_TRUE(loadUniform(*view, 100, 60, 0x808080));
    // The client's proportions around the picture: 100 x 133, centred on (50, 30).
    EXPECT_EQ(view->Viewport().GetViewRect(), (ViewRect{0, -36, 100, 97}));
    EXPECT_EQ(hbar().maximum(), 100);
    EXPECT_EQ(vbar().maximum(), 60);
    EXPECT_EQ(hbar().value(), 50);
    EXPECT_EQ(vbar().value(), 30);
}

TEST_F(Navigation, ArrowKeysAndLineStepsMoveTenMapPixelsAndTheirThumbUpToTheEdge) {
    const auto key = [this](Qt::Key k) { return [this, k] { QTest::keyClick(view.get(), k); }; };
    const auto bar = [this](bool across, QAbstractSlider::SliderAction action) {
        return [this, across, action] { (across ? hbar() : vbar()).triggerAction(action); };
    };
    struct Step {
        const char* what;
        std::function<void()> act;
        bool across; // the step moves the centre across (x), or else down (y)
        int32_t centre;
    };
    const Step steps[] = {
        {"left", key(Qt::Key_Left), true, 230},
        {"up", key(Qt::Key_Up), false, 310},
        {"right", key(Qt::Key_Right), true, 240},
        {"right", key(Qt::Key_Right), true, 250},
        {"down", key(Qt::Key_Down), false, 320},
        {"another key", key(Qt::Key_A), true, 250},
        {"another key", key(Qt::Key_A), false, 320},
        {"line right", bar(true, QAbstractSlider::SliderSingleStepAdd), true, 260},
        {"line up", bar(false, QAbstractSlider::SliderSingleStepSub), false, 310},
        // Other codes change nothing but put the thumb back on the centre.
        {"thumb released", [this] { view->OnHScroll(CLarkspurView::kScrollThumbPosition, 12); },
         true, 260},
        {"to the start", bar(true, QAbstractSlider::SliderToMinimum), true, 260},
        {"to the end", bar(false, QAbstractSlider::SliderToMaximum), false, 310},
        {"left at the edge",
         [this] {
             view->Viewport().SetCentreX(5);
             QTest::keyClick(view.get(), Qt::Key_Left);
         },
         true, 0},
        {"down at the edge",
         [this] {
             view->Viewport().SetCentreY(635);
             QTest::keyClick(view.get(), Qt::Key_Down);
         },
         false, 640},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(step.across ? cx() : cy(), step.centre) << step.what;
        EXPECT_EQ((step.across ? hbar() : vbar()).value(), step.centre) << step.what;
    }
    // The view rectangle moves with the centre, keeping its extent.
    EXPECT_EQ(view->Viewport().GetViewRect(), (ViewRect{-240, 320, 240, 960}));
}

TEST_F(Navigation, PageStepsMoveByTheClientSizeEvenWhenZoomedIn) {
    view->OnZoomIn();
    view->OnZoomIn(); // 120 map pixels shown across 240 client pixels
    view->OnHScroll(CLarkspurView::kScrollThumbTrack, 100);
    ASSERT_EQ(cx(), 100);
    hbar().triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(cx(), 340); // 240 map pixels, the client's width
    EXPECT_EQ(hbar().value(), 340);
    hbar().triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(cx(), 100);
    vbar().triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(cy(), 640); // 320 + 320
    EXPECT_EQ(vbar().value(), 640);
    vbar().triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(cy(), 320);
}

TEST_F(Navigation, DraggingTheThumbSetsTheCentre) {
    hbar().setSliderDown(true);
    hbar().setSliderPosition(77);
    EXPECT_EQ(cx(), 77);
    hbar().setSliderDown(false);
    EXPECT_EQ(cx(), 77);
    EXPECT_EQ(hbar().value(), 77);
    vbar().setSliderDown(true);
    vbar().setSliderPosition(600);
    vbar().setSliderDown(false);
    EXPECT_EQ(cy(), 600);
    EXPECT_EQ(view->Viewport().GetViewRect(), (ViewRect{-163, 280, 317, 920}));
}

void turnWheel(QWidget* target, QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWheelEvent wheel(QPointF(20, 20), QPointF(20, 20), QPoint(), angle, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
}

TEST_F(Navigation, EachWheelNotchScrollsThreeLinesFromTheCentreEvenAfterAZoom) {
    view->OnZoomIn();
    view->OnZoomIn();
    view->OnZoomIn(); // 60 x 80 about (240, 320)
    view->OnHScroll(CLarkspurView::kScrollThumbTrack, 50);
    view->OnVScroll(CLarkspurView::kScrollThumbTrack, 600);
    view->OnZoomOut(); // the centre moves inward to (60, 560); the thumbs stay at 50 and 600
    ASSERT_EQ(cx(), 60);
    ASSERT_EQ(cy(), 560);
    ASSERT_EQ(vbar().value(), 600);
    turnWheel(view->viewport(), QPoint(0, -120)); // one notch towards the user: down
    EXPECT_EQ(cy(), 590);
    EXPECT_EQ(cx(), 60);
    EXPECT_EQ(vbar().value(), 590);
    // Over the scroll bar, and sideways over the horizontal one, it is the same 30 map pixels.
    turnWheel(&vbar(), QPoint(0, 240));
    EXPECT_EQ(cy(), 530);
    turnWheel(&hbar(), QPoint(0, -120));
    EXPECT_EQ(cx(), 90);
    EXPECT_EQ(hbar().value(), 90);
    turnWheel(view->viewport(), QPoint(120, 0));
    EXPECT_EQ(cx(), 60);
    // A smooth wheel's part-notches add up to whole ones.
    turnWheel(view->viewport(), QPoint(0, 60));
    EXPECT_EQ(cy(), 530);
    turnWheel(view->viewport(), QPoint(0, 60));
    EXPECT_EQ(cy(), 500);
}

TEST_F(Navigation, CtrlWheelZoomsAsTheZoomButtonsDo) {
    turnWheel(view->viewport(), QPoint(0, 120), Qt::ControlModifier);
    EXPECT_EQ(view->Viewport().GetViewRect(), (ViewRect{120, 160, 360, 480}));
    turnWheel(view->viewport(), QPoint(0, 240), Qt::ControlModifier);
    EXPECT_EQ(view->Viewport().GetViewRect(), (ViewRect{210, 280, 270, 360}));
    turnWheel(view->viewport(), QPoint(0, -120), Qt::ControlModifier);
    EXPECT_EQ(view->Viewport().GetViewRect(), (ViewRect{180, 240, 300, 400}));
    EXPECT_EQ(cx(), 240);
    EXPECT_EQ(cy(), 320);
}

TEST_F(Navigation, ZoomLeavesTheThumbsWhereTheyWere) {
    view->OnZoomIn();
    view->OnZoomIn();
    view->OnZoomIn(); // 210..270
    view->OnHScroll(CLarkspurView::kScrollThumbTrack, 50);
    ASSERT_EQ(hbar().value(), 50);
    view->OnZoomOut(); // moves inward to 60
    EXPECT_EQ(cx(), 60);
    EXPECT_EQ(hbar().value(), 50);
    EXPECT_EQ(vbar().value(), 320);
}

TEST_F(Navigation, ZoomInStopsBeforeTheViewCollapses) {
    for (int i = 0; i < 20; ++i) {
        view->OnZoomIn();
    }
    const ViewRect r = view->Viewport().GetViewRect();
    EXPECT_GE(r.right - r.left, CMapViewport::kMinViewExtent);
    EXPECT_GE(r.bottom - r.top, CMapViewport::kMinViewExtent);
    // And the map still paints: the centre pixel shows the map, not a blank or a crash.
    const QImage shot = grabClient(*view);
    EXPECT_EQ(rgbAt(shot, 120, 160), 0x808080u);
}

TEST_F(Navigation, TapCentresTheMapAndMovesTheThumbs) {
    view->OnZoomIn(); // 120..360 x 160..480 at 1:1
    // As a tap goes: the map point under it, taken by the controller, becomes the centre.
    const ViewPoint tapped = view->MapPointAt(QPoint(20, 300));
    view->CentreOnMap(tapped.x, tapped.y);
    EXPECT_EQ(cx(), 140);
    EXPECT_EQ(cy(), 460);
    EXPECT_EQ(hbar().value(), 140);
    EXPECT_EQ(vbar().value(), 460);
    EXPECT_EQ(view->MapPointAt(QPoint(0, 0)), (ViewPoint{20, 300}));
}

TEST_F(Navigation, SizeForClientGivesTheRequestedClient) {
    auto big = makeView(QSize(1024, 700));
    EXPECT_EQ(big->ClientRect(), (ViewRect{0, 0, 1024, 700}));
}

TEST(SitePicture, RejectsInconsistentSizesAndKeepsTheOldPicture) {
    auto view = makeView();
    ASSERT_TRUE(loadUniform(*view, 50, 40, 0x123456));
    std::vector<uint32_t> palette(256, 0xFFFFFF);
    std::vector<uint8_t> pixels(100 * 10, 0);
    EXPECT_FALSE(
        view->SetSitePicture(0, 10, palette.data(), pixels.data(), pixels.size(), 100, false));
    EXPECT_FALSE(
        view->SetSitePicture(100, -1, palette.data(), pixels.data(), pixels.size(), 100, false));
    EXPECT_FALSE(view->SetSitePicture(100, 10, palette.data(), pixels.data(), pixels.size(), 99,
                                      false)); // stride shorter than a row
    EXPECT_FALSE(view->SetSitePicture(100, 11, palette.data(), pixels.data(), pixels.size(), 100,
                                      false)); // one row short
    EXPECT_FALSE(view->SetSitePicture(100, 10, nullptr, pixels.data(), pixels.size(), 100, false));
    EXPECT_FALSE(view->SetSitePicture(100, 10, palette.data(), nullptr, 0, 100, false));
    EXPECT_EQ(view->PictureWidth(), 50);
    EXPECT_EQ(view->PictureHeight(), 40);
    EXPECT_EQ(view->MapCanvas().size(), QSize(50, 40));
    EXPECT_EQ(rgbAt(view->MapCanvas(), 0, 0), 0x123456u);
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), 50);
}

TEST(SitePicture, ReadsPaddedBottomUpRowsThroughThePalette) {
    auto view = makeView();
    // 3 x 2 picture, rows padded to 4 bytes, stored bottom row first as a bitmap file does.
    std::vector<uint32_t> palette(256, 0);
    palette[1] = 0xFF0000;
    palette[2] = 0x00FF00;
    palette[3] = 0x0000FF;
    palette[255] = 0xFFFFFF;
    const std::vector<uint8_t> pixels = {3, 3, 255, 0xEE,  // bottom row
                                         1, 2, 3,   0xEE}; // top row
    ASSERT_TRUE(view->SetSitePicture(3, 2, palette.data(), pixels.data(), pixels.size(), 4, true));
    const QImage& canvas = view->MapCanvas();
    EXPECT_EQ(rgbAt(canvas, 0, 0), 0xFF0000u);
    EXPECT_EQ(rgbAt(canvas, 1, 0), 0x00FF00u);
    EXPECT_EQ(rgbAt(canvas, 2, 0), 0x0000FFu);
    EXPECT_EQ(rgbAt(canvas, 0, 1), 0x0000FFu);
    EXPECT_EQ(rgbAt(canvas, 2, 1), 0xFFFFFFu);
    // The last row needs only its pixels, not its padding.
    const std::vector<uint8_t> tight = {1, 2, 3, 0, 3, 2, 1};
    EXPECT_TRUE(view->SetSitePicture(3, 2, palette.data(), tight.data(), tight.size(), 4, false));
    EXPECT_EQ(rgbAt(view->MapCanvas(), 0, 1), 0x0000FFu);
}

TEST(SitePicture, CirclesBeforeAnyPictureAreIgnored) {
    auto view = makeView();
    view->ImprintPoint(10, 10, -50);
    view->ErasePoint(10, 10);
    EXPECT_FALSE(view->HasSitePicture());
    view->SetScreenMode(CLarkspurView::kMapScreen);
    const QImage shot = grabClient(*view);
    EXPECT_EQ(countColour(shot, shot.rect(), 0xFFFFFF), 240 * 320);
}

} // namespace
