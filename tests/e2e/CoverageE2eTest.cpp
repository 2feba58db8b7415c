// The coverage layer in the whole program: pixel for pixel what lks heatmap paints for the same
// survey, channel and bands; a tap served at once while the layer's worker is busy; the button,
// its menu of the table's channels and the key C.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QTest>

#include <algorithm>
#include <vector>

#include "ProgramRun.h"
#include "SurveyHarness.h"
#include "controller/SurveyController.h"
#include "files/SiteFile.h"
#include "files/SiteFileReader.h"
#include "files/SiteFileWriter.h"
#include "receiver/Receiver.h"
#include "shell/CoverageMenu.h"
#include "shell/MainFrame.h"
#include "survey/RecordList.h"
#include "view/LarkspurView.h"

namespace {

constexpr int kWidth = 240; // the plan at the view's own size: one map pixel, one screen pixel
constexpr int kHeight = 320;
constexpr double kMhz[] = {870.03, 870.06, 870.09};

struct Place {
    int32_t x;
    int32_t y;
};

// A walk of points reading three channels, and one place where nothing was received.
std::vector<Place> walk() {
    std::vector<Place> places;
    for (int32_t y = 40; y < 200; y += 70) {
        for (int32_t x = 30; x < kWidth; x += 60) {
            places.push_back({x, y});
        }
    }
    places.push_back({200, 300});
    return places;
}

// The survey written into the harness's empty site with the program's own writer.
std::string surveyedSite(SurveyHarness& h) {
    const std::string path = h.WriteSite("site.lks", kWidth, kHeight);
    CSiteFile site;
    std::string detail;
    EXPECT_EQ(CSiteFileReader::Read(path, site, detail), SF_OK) << detail;
    CRecordList list;
    const std::vector<Place> places = walk();
    for (size_t p = 0; p < places.size(); ++p) {
        SurveyRecord r;
        r.x = places[p].x;
        r.y = places[p].y;
        if (p + 1 == places.size()) {
            list.AppendCopy(r); // channel 0: nothing received
            continue;
        }
        for (int c = 0; c < 3; ++c) {
            r.channel = c + 1;
            r.frequencyMHz = kMhz[c];
            r.rssi = static_cast<int16_t>(-42 - static_cast<int>((p * 7 + c * 13) % 60));
            list.AppendCopy(r);
        }
    }
    EXPECT_EQ(CSiteFileWriter().Save(path, site.m_header, list, nullptr, 1700000000u), SF_OK);
    return path;
}

// Lets the layer's worker finish and its last result reach the map.
bool settle(SurveyHarness& h) {
    const bool idle = WaitUntil([&] { return !h.View().Coverage().Worker().Busy(); }, 5000);
    QApplication::processEvents();
    return idle && h.View().Coverage().Picture() != nullptr;
}

LayerChoice channel(int32_t number) {
    SiteReading r;
    r.channel = number;
    r.frequencyMHz = kMhz[number - 1];
    LayerChoice choice;
    choice.bestServer = false;
    choice.channel = ChannelIdOf(r);
    return choice;
}

class CoverageE2e : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.Start());
        ASSERT_EQ(h.View().viewport()->size(), QSize(kWidth, kHeight));
        site = surveyedSite(h);
        h.OpenSite(site, true);
        ASSERT_EQ(h.Controller().Records().IsEmpty(), false);
    }

    SurveyHarness h;
    std::string site;
};

struct LksCase {
    LayerChoice choice;
    bool threshold;
    QStringList options;
};

class CoverageLks : public CoverageE2e, public ::testing::WithParamInterface<LksCase> {};

TEST_P(CoverageLks, TheLayerIsWhatLksHeatmapPaintsForTheSameSurveyChannelAndBands) {
    const LksCase& c = GetParam();
    h.View().Coverage().SetChoice(c.choice);
    h.View().Coverage().SetThresholdBands(c.threshold);
    h.View().SetCoverageShown(true);
    ASSERT_TRUE(settle(h));
    const QImage screen = h.Screen();

    // Through fork and exec: a program started the way QProcess starts one would share this
    // process's memory until its exec, which the thread checker cannot follow.
    const std::string out = h.PathOf("heatmap.png");
    std::vector<std::string> args = {"heatmap", site, "-o", out, "--no-points"};
    for (const QString& option : c.options) {
        args.push_back(option.toStdString());
    }
    const ProgramRun lks = RunProgram(LKS_PROGRAM, args, h.PathOf(""));
    ASSERT_EQ(lks.exitCode, 0) << lks.err;
    const QImage heatmap =
        QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_RGB32);
    ASSERT_GE(heatmap.width(), kWidth);

    // Every pixel of the map but the circles over it and the centre marker.
    std::vector<char> covered(static_cast<size_t>(kWidth) * kHeight, 0);
    std::vector<QRect> over = {QRect(kWidth / 2 - 16, kHeight / 2 - 16, 32, 32)};
    for (const Place& p : walk()) {
        over.emplace_back(p.x - 11, p.y - 11, 23, 23);
    }
    for (const QRect& r : over) {
        for (int y = std::max(0, r.top()); y <= std::min(kHeight - 1, r.bottom()); ++y) {
            for (int x = std::max(0, r.left()); x <= std::min(kWidth - 1, r.right()); ++x) {
                covered[static_cast<size_t>(y) * kWidth + x] = 1;
            }
        }
    }
    const QImage& plain = h.View().MapCanvas();
    int compared = 0;
    int coloured = 0;
    int differing = 0;
    for (int y = 0; y < kHeight; ++y) {
        const auto* shown = reinterpret_cast<const QRgb*>(screen.constScanLine(y));
        const auto* painted = reinterpret_cast<const QRgb*>(heatmap.constScanLine(y));
        const auto* bare = reinterpret_cast<const QRgb*>(plain.constScanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            if (covered[static_cast<size_t>(y) * kWidth + x] == 0) {
                ++compared;
                differing += shown[x] != painted[x] ? 1 : 0;
                coloured += shown[x] != bare[x] ? 1 : 0;
            }
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(compared, kWidth * kHeight * 3 / 4);
    EXPECT_GT(coloured, compared / 2) << "the layer covers most of the walk";
    EXPECT_LT(coloured, compared) << "and leaves some plan bare";
}

INSTANTIATE_TEST_SUITE_P(
    BestServerAndOneChannel, CoverageLks,
    ::testing::Values(LksCase{LayerChoice(), false, {"--bands", "handheld"}},
                      LksCase{channel(2), true, {"--bands", "threshold", "--channel", "2"}}));

TEST_F(CoverageE2e, ATapWhileTheLayerIsBeingComputedIsServedAtOnce) {
    h.LoadTable(h.WriteTable("three.nct", {{0, 1}, {0, 2}, {0, 3}}));
    ASSERT_TRUE(h.Receiver().TableLoaded());
    h.View().SetCoverageShown(true);
    ASSERT_TRUE(settle(h));
    CCoverageWorker& worker = h.View().Coverage().Worker();
    worker.Hold(true);
    h.Tap(QPoint(60, 60));
    ASSERT_TRUE(h.WaitForMapScreen(5000));
    // The stored point's update is taken and held in the middle of its work.
    ASSERT_TRUE(WaitUntil([&] { return worker.Holding(); }, 5000));
    const size_t scans = h.FramesOfType(CReceiver::kCmdMeasure).size();
    h.Tap(QPoint(180, 250));
    EXPECT_EQ(h.View().ScreenMode(), CLarkspurView::kScanScreen) << "the tap was served";
    EXPECT_EQ(h.FramesOfType(CReceiver::kCmdMeasure).size(), scans + 1);
    EXPECT_TRUE(worker.Holding()) << "while the layer's work still waited";
    ASSERT_TRUE(h.WaitForMapScreen(5000));
    worker.Hold(false);
    ASSERT_TRUE(settle(h));
    EXPECT_EQ(h.View().Coverage().Spots(), walk().size() + 2);
}

TEST_F(CoverageE2e, TheButtonItsMenuOfTheTablesChannelsAndTheKeyC) {
    EXPECT_FALSE(h.View().Coverage().Shown()) << "off unless the program starts it on";
    QAction* button = h.Frame().CoverageAction();
    QTest::keyClick(&h.View(), Qt::Key_C);
    EXPECT_TRUE(h.View().Coverage().Shown());
    EXPECT_TRUE(button->isChecked());
    button->trigger();
    EXPECT_FALSE(h.View().Coverage().Shown());
    EXPECT_FALSE(button->isChecked());

    h.LoadTable(h.WriteTable("two.nct", {{0, 1}, {1, 25}}));
    ASSERT_TRUE(h.Receiver().TableLoaded());
    CCoverageMenu& menu = h.App().CoverageMenu();
    menu.Refill();
    QStringList texts;
    QAction* pcs = nullptr;
    for (QAction* action : menu.Menu()->actions()) {
        texts << action->text();
        pcs = action->text().startsWith(QStringLiteral("Channel 25 ")) ? action : pcs;
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("Channel 1 (870.030 MHz)")))
        << texts.join('|').toStdString();
    ASSERT_NE(pcs, nullptr);
    EXPECT_TRUE(pcs->text().contains(QStringLiteral("1930.")));
    pcs->trigger();
    EXPECT_FALSE(h.View().Coverage().Choice().bestServer);
    EXPECT_EQ(h.View().Coverage().Choice().channel.channel, 25);
    EXPECT_TRUE(h.View().Coverage().Shown()) << "choosing what it shows shows it";
    EXPECT_TRUE(button->isChecked());
}

TEST(CoverageE2eStart, TheProgramCanStartWithTheLayerOn) {
    SurveyHarness h;
    AppOptions options;
    options.coverageLayer = true;
    ASSERT_TRUE(h.StartInProcess(options));
    EXPECT_TRUE(h.View().Coverage().Shown());
    EXPECT_TRUE(h.Frame().CoverageAction()->isChecked());
}

} // namespace
