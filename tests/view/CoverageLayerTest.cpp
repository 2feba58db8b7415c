// The coverage layer on the map screen, on real pixels: under the circles, the plan as it is where
// no point reaches, switched by the key C, following the zoom, the pass-line bands, and kept up
// to date after stored and deleted points by a worker whose picture equals a whole computation.
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "ViewTestSupport.h"
#include "analysis/LayerColours.h"
#include "survey/RecordList.h"
#include "view/ViewCommands.h"
#include "view/ViewSurveyMap.h"

namespace {

using namespace viewtest;

constexpr QRgb kGrey = 0xC8C8C8;

// The survey as a controller would hand it over, told to the view through the controller's map.
class Survey {
public:
    explicit Survey(CLarkspurView& view) : m_map(view) {
        view.Coverage().SetReadingsSource([this](CReadingsSnapshot& readings) {
            readings = m_readings;
            return true;
        });
    }

    // A point reading rssi on channels 1, 2, ... in turn.
    void Store(int32_t x, int32_t y, const std::vector<int16_t>& rssi) {
        std::vector<SurveyRecord> records(rssi.size());
        int16_t strongest = -125;
        for (size_t c = 0; c < rssi.size(); ++c) {
            records[c].x = x;
            records[c].y = y;
            records[c].channel = static_cast<int32_t>(c + 1);
            records[c].frequencyMHz = 870.0 + 0.03 * static_cast<double>(c + 1);
            records[c].rssi = rssi[c];
            strongest = std::max(strongest, rssi[c]);
        }
        m_readings.Append(records);
        m_places.push_back({x, y});
        m_map.PointStored(x, y, strongest);
    }

    // Deletes the place stored place-th, as the survey deletes a point.
    void Delete(size_t place) {
        const std::vector<SiteReading> all = m_readings.Readings();
        for (size_t i = 0; i < all.size(); ++i) {
            if (all[i].x == m_places[place].x() && all[i].y == m_places[place].y()) {
                m_readings.EraseRunAt(i);
                break;
            }
        }
        m_map.PointErased(m_places[place].x(), m_places[place].y());
        m_map.SurveyChanged();
    }

    // The survey is complete, as after an open.
    void Opened() { m_map.SurveyChanged(); }

private:
    CViewSurveyMap m_map;
    CReadingsSnapshot m_readings;
    std::vector<QPoint> m_places;
};

// Lets the worker finish and its results reach the view; false after five seconds.
bool settle(CLarkspurView& view) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
        QApplication::processEvents();
        if (!view.Coverage().Worker().Busy()) {
            QApplication::processEvents();
            return true;
        }
        QTest::qWait(2);
    }
    return false;
}

QRgb blended(QRgb plan, RssiBand band) {
    return BlendBandOver(plan, ColourOfBand(band), kCoverageOpacity);
}

class CoverageLayer : public ::testing::Test {
protected:
    void SetUp() override {
        view = makeView();
        view->SetScreenMode(CLarkspurView::kMapScreen);
        // The plan at its own size on the 240 x 320 client: one map pixel, one screen pixel.
        ASSERT_TRUE(loadUniform(*view, 240, 320, kGrey));
        survey = std::make_unique<Survey>(*view);
    }

    // Two points 60 pixels apart on a row (the radius is 90), and the survey told as opened.
    void TwoPoints() {
        survey->Store(60, 200, {-45, -70});
        survey->Store(120, 200, {-80, -65});
        survey->Opened();
    }

    std::unique_ptr<CLarkspurView> view;
    std::unique_ptr<Survey> survey;
};

TEST_F(CoverageLayer, LiesUnderTheCirclesFollowsTheZoomAndLeavesTheUnreachedPlanAsItIs) {
    TwoPoints();
    view->SetCoverageShown(true);
    ASSERT_TRUE(settle(*view));
    ASSERT_NE(view->Coverage().Picture(), nullptr);
    EXPECT_DOUBLE_EQ(view->Coverage().Radius(), 90.0);
    QImage shot = grabClient(*view);
    EXPECT_EQ(rgbAt(shot, 60, 200), 0xFF8000u) << "the circle, in its strongest reading's colour";
    EXPECT_EQ(rgbAt(shot, 120, 200), 0x00FF00u);
    // Half way, equal weights: -55 dBm, yellow laid over the plan.
    EXPECT_EQ(rgbAt(shot, 90, 200), blended(kGrey, RssiBand::Yellow));
    // Beside a circle, the orange of its point.
    EXPECT_EQ(rgbAt(shot, 60, 213), blended(kGrey, RssiBand::Orange));
    EXPECT_EQ(rgbAt(shot, 230, 40), kGrey) << "no point within the radius: the plan as it is";
    EXPECT_EQ(rgbAt(shot, 60, 289), blended(kGrey, RssiBand::Orange));
    EXPECT_EQ(rgbAt(shot, 60, 291), kGrey) << "the radius from (60, 200) ends here";

    // Two map pixels a screen pixel each way, from the view 60..180 x 80..240.
    view->OnZoomIn();
    shot = grabClient(*view);
    EXPECT_EQ(rgbAt(shot, 60, 240), blended(kGrey, RssiBand::Yellow));
    EXPECT_EQ(rgbAt(shot, 61, 241), blended(kGrey, RssiBand::Yellow));
    EXPECT_EQ(rgbAt(shot, 0, 240), 0xFF8000u);
}

TEST_F(CoverageLayer, TheKeyCAndTheCommandSwitchItAndOffShowsThePlainMap) {
    TwoPoints();
    const QImage plain = grabClient(*view);
    QSignalSpy shown(view.get(), &CLarkspurView::coverageShown);
    EXPECT_FALSE(view->Coverage().Shown()) << "off until asked for";
    QTest::keyClick(view.get(), Qt::Key_C);
    ASSERT_TRUE(settle(*view));
    EXPECT_TRUE(view->Coverage().Shown());
    EXPECT_NE(grabClient(*view), plain);
    QTest::keyClick(view.get(), Qt::Key_C, Qt::ControlModifier); // copy: not the layer's key
    EXPECT_TRUE(view->Coverage().Shown());
    EXPECT_TRUE(view->OnCommand(kCmdCoverage));
    EXPECT_FALSE(view->Coverage().Shown());
    EXPECT_EQ(view->Coverage().Picture(), nullptr);
    EXPECT_EQ(grabClient(*view), plain);
    ASSERT_EQ(shown.count(), 2);
    EXPECT_TRUE(shown.at(0).at(0).toBool());
    EXPECT_FALSE(shown.at(1).at(0).toBool());
}

TEST_F(CoverageLayer, AfterStoredAndDeletedPointsThePictureEqualsAWholeComputation) {
    // A walk of 4 x 5 points 60 pixels apart: one more point, or one fewer, leaves the spacing's
    // median and so the radius as they are, and only around it is computed again.
    const auto walk = [](Survey& s, int32_t skipX, int32_t skipY) {
        for (int32_t y = 40; y < 320; y += 60) {
            for (int32_t x = 30; x < 240; x += 60) {
                if (x != skipX || y != skipY) {
                    s.Store(x, y, {static_cast<int16_t>(-40 - (x + y) % 55), -90});
                }
            }
        }
    };
    walk(*survey, -1, -1);
    survey->Opened();
    view->SetCoverageShown(true);
    ASSERT_TRUE(settle(*view));
    const double radius = view->Coverage().Radius();
    survey->Store(120, 130, {-30, -44});
    ASSERT_TRUE(settle(*view));
    survey->Delete(5); // (90, 100)
    ASSERT_TRUE(settle(*view));
    EXPECT_EQ(view->Coverage().Radius(), radius);

    auto fresh = makeView();
    ASSERT_TRUE(loadUniform(*fresh, 240, 320, kGrey));
    Survey again(*fresh);
    walk(again, 90, 100);
    again.Store(120, 130, {-30, -44});
    again.Opened();
    fresh->SetCoverageShown(true);
    ASSERT_TRUE(settle(*fresh));
    ASSERT_NE(fresh->Coverage().Picture(), nullptr);
    EXPECT_EQ(*view->Coverage().Picture(), *fresh->Coverage().Picture());
}

TEST_F(CoverageLayer, ANewCircleShowsAtOnceAndThePreviousLayerStaysUntilTheNewOneIsReady) {
    TwoPoints();
    view->SetCoverageShown(true);
    ASSERT_TRUE(settle(*view));
    const QImage before = grabClient(*view);
    view->Coverage().Worker().Hold(true);
    survey->Store(90, 170, {-30});
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->Coverage().Worker().Holding(); }, 5000));
    QImage shot = grabClient(*view);
    EXPECT_EQ(rgbAt(shot, 90, 170), 0xFF0000u) << "the new point's circle";
    const QRect reach(79, 159, 23, 23);
    const auto changedBeyond = [&](const QImage& a, const QImage& b) {
        return differences(a, b, a.rect()) - differences(a, b, reach);
    };
    EXPECT_EQ(changedBeyond(shot, before), 0) << "the colours around it as they were";
    view->Coverage().Worker().Hold(false);
    ASSERT_TRUE(settle(*view));
    shot = grabClient(*view);
    EXPECT_GT(changedBeyond(shot, before), 1000);
    EXPECT_EQ(rgbAt(shot, 90, 182), blended(kGrey, RssiBand::Red)) << "and then the new colours";
}

TEST_F(CoverageLayer, PassLineBandsForTheLayerAndWhenAskedTheCircles) {
    TwoPoints();
    view->SetCoverageShown(true);
    view->Coverage().SetThresholdBands(true);
    ASSERT_TRUE(settle(*view));
    QImage shot = grabClient(*view);
    const CBandSet& pass = CBandSet::Threshold();
    // -55 dBm passes: at or above -85, green.
    EXPECT_EQ(rgbAt(shot, 90, 200), BlendBandOver(kGrey, pass.Colour(0), kCoverageOpacity));
    EXPECT_EQ(rgbAt(shot, 60, 200), 0xFF8000u) << "circles keep the handheld's bands";
    view->Coverage().SetCirclesInThreshold(true);
    ASSERT_TRUE(settle(*view));
    shot = grabClient(*view);
    EXPECT_EQ(rgbAt(shot, 60, 200), 0x00FF00u) << "-45 dBm passes";
    EXPECT_EQ(rgbAt(view->MapCanvas(), 60, 200), 0x00FF00u) << "on the plain map too";
    EXPECT_EQ(rgbAt(shot, 90, 200), BlendBandOver(kGrey, pass.Colour(0), kCoverageOpacity));
}

TEST_F(CoverageLayer, AChannelTheSurveyNeverReadLeavesThePlanAsItIs) {
    TwoPoints();
    const QImage plain = grabClient(*view);
    LayerChoice choice;
    choice.bestServer = false;
    SiteReading fourth;
    fourth.channel = 4;
    fourth.frequencyMHz = 870.12;
    choice.channel = ChannelIdOf(fourth);
    view->Coverage().SetChoice(choice);
    view->SetCoverageShown(true);
    ASSERT_TRUE(settle(*view));
    EXPECT_EQ(grabClient(*view), plain);
    // Channel 2 alone: -70 dBm where the first point alone reaches, blue rather than orange.
    SiteReading second;
    second.channel = 2;
    second.frequencyMHz = 870.06;
    choice.channel = ChannelIdOf(second);
    view->Coverage().SetChoice(choice);
    ASSERT_TRUE(settle(*view));
    EXPECT_EQ(rgbAt(grabClient(*view), 60, 289), blended(kGrey, RssiBand::Blue));
}

} // namespace
