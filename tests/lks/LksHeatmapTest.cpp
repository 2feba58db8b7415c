// lks heatmap end to end: sites with points at known places are mapped, and the PNG's pixels are
// read back at a point, between points, at the cut-off and far from everything.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "LksRun.h"
#include "PngCheck.h"
#include "SurveySite.h"
#include "TestFiles.h"
#include "analysis/RssiBands.h"
#include "files/SiteFile.h"
#include "files/SiteFileReader.h"
#include "files/SiteFileWriter.h"
#include "survey/RecordList.h"

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 100;
constexpr QRgb kPaper = 0xFFFFFFFFu;
constexpr QRgb kLine = 0xFF808080u; // a wall across the plan at y = kLineY
constexpr int kLineY = 90;

struct Reading {
    int x;
    int y;
    int channel;
    int dbm;
};

// A white 200 x 100 plan with a grey wall near the bottom, made by lks make and surveyed with
// the program's own writer.
std::string site(const CTempDir& dir, const std::vector<Reading>& readings) {
    QImage plan(kWidth, kHeight, QImage::Format_RGB32);
    plan.fill(kPaper);
    for (int x = 0; x < kWidth; ++x) {
        plan.setPixel(x, kLineY, kLine);
    }
    EXPECT_TRUE(plan.save(QString::fromStdString(dir.File("plan.png"))));
    const std::string path = dir.File("site.lks");
    EXPECT_EQ(RunLks(dir, "make --force " + dir.File("plan.png") + " -o " + path).exitCode, 0);
    CSiteFile made;
    std::string detail;
    EXPECT_EQ(CSiteFileReader::Read(path, made, detail), SF_OK) << detail;
    CRecordList list;
    for (const Reading& r : readings) {
        AppendRecord(list, r.x, r.y, "TEST", r.channel, 870.0, r.dbm);
    }
    EXPECT_EQ(CSiteFileWriter().Save(
                  path, made.m_header, list, [](int, int) { return 1u; }, 1700000000u),
              SF_OK);
    return path;
}

// Maps the site and reads the picture back; the run is kept for its messages. Unless options
// name bands, the handheld's are used, whose edges the geometry below is drawn around.
QImage heatmap(const CTempDir& dir, const std::string& site, const std::string& options,
               ToolRun* run = nullptr) {
    const std::string out = dir.File("map.png");
    std::remove(out.c_str());
    const std::string bands =
        options.find("--bands") == std::string::npos ? " --bands handheld" : "";
    const ToolRun r = RunLks(dir, "heatmap " + site + " -o " + out + " " + options + bands);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    if (run != nullptr) {
        *run = r;
    }
    return QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_RGB32);
}

// The band's colour laid over white paper at the opacity.
QRgb over(QRgb paper, const BandColour& band, double opacity) {
    auto mix = [&](int p, int b) { return static_cast<int>(std::lround(p + (b - p) * opacity)); };
    return qRgb(mix(qRed(paper), band.red), mix(qGreen(paper), band.green),
                mix(qBlue(paper), band.blue));
}

QRgb handheld(RssiBand band, double opacity = 0.55) {
    return over(kPaper, ColourOfBand(band), opacity);
}

// Equal within one step of rounding in each channel.
bool within1(QRgb got, QRgb expected) {
    return std::abs(qRed(got) - qRed(expected)) <= 1 &&
           std::abs(qGreen(got) - qGreen(expected)) <= 1 &&
           std::abs(qBlue(got) - qBlue(expected)) <= 1;
}

::testing::AssertionResult near(QRgb got, QRgb expected) {
    if (within1(got, expected)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << QColor(got).name().toStdString() << " is not "
                                         << QColor(expected).name().toStdString();
}

// Pixels of the legend strip below the plan within a rounding step of colour.
int legendPixels(const QImage& map, QRgb colour) {
    int found = 0;
    for (int y = kHeight; y < map.height(); ++y) {
        for (int x = 0; x < map.width(); ++x) {
            found += within1(map.pixel(x, y), colour) ? 1 : 0;
        }
    }
    return found;
}

TEST(LksHeatmap, PixelsAtAPointBetweenPointsAndFarFromAllPoints) {
    CTempDir dir;
    // Orange (-45) and green (-65): halfway, IDW gives -55, yellow.
    const std::string s =
        site(dir, {{50, 50, 1, -45}, {50, 50, 2, -90}, {110, 50, 1, -65}, {110, 50, 2, -95}});
    ToolRun run;
    const QImage map = heatmap(dir, s, "--radius 45 --no-points", &run);
    ASSERT_FALSE(map.isNull());
    EXPECT_EQ(map.width(), kWidth) << "the plan at its own size";
    EXPECT_GT(map.height(), kHeight) << "with the legend strip below it";
    EXPECT_TRUE(near(map.pixel(50, 50), handheld(RssiBand::Orange)));
    EXPECT_TRUE(near(map.pixel(110, 50), handheld(RssiBand::Green)));
    EXPECT_TRUE(near(map.pixel(80, 50), handheld(RssiBand::Yellow)));
    // Far from all points the plan shows unchanged, its wall included.
    EXPECT_EQ(map.pixel(190, 10), kPaper);
    EXPECT_EQ(map.pixel(5, 5), kPaper);
    EXPECT_EQ(map.pixel(190, kLineY), kLine);
    // Near a point, the wall shows through the colour.
    EXPECT_TRUE(near(map.pixel(50, kLineY), over(kLine, ColourOfBand(RssiBand::Orange), 0.55)));
    EXPECT_TRUE(run.err.empty()) << "a given radius is not reported: " << run.err;
    EXPECT_EQ(run.out, dir.File("map.png") + ": 200 x " + std::to_string(map.height()) +
                           ", 2 points, radius 45.0 px\n");

    // The same with the nearest method: each side takes its point's band.
    const QImage nearest = heatmap(dir, s, "--method nearest --radius 45 --no-points");
    EXPECT_TRUE(near(nearest.pixel(79, 50), handheld(RssiBand::Orange)));
    EXPECT_TRUE(near(nearest.pixel(81, 50), handheld(RssiBand::Green)));
    EXPECT_EQ(nearest.pixel(190, 10), kPaper);
}

TEST(LksHeatmap, APixelJustBeyondTheRadiusIsUncoloured) {
    CTempDir dir;
    const std::string s = site(dir, {{100, 50, 1, -72}});
    for (const char* method : {"idw", "nearest"}) {
        SCOPED_TRACE(method);
        const QImage map =
            heatmap(dir, s, std::string("--no-points --radius 10 --method ") + method);
        EXPECT_TRUE(near(map.pixel(109, 50), handheld(RssiBand::Blue)));
        EXPECT_EQ(map.pixel(110, 50), kPaper);
        EXPECT_TRUE(near(map.pixel(100, 41), handheld(RssiBand::Blue)));
        EXPECT_EQ(map.pixel(100, 40), kPaper);
        EXPECT_TRUE(near(map.pixel(107, 57), handheld(RssiBand::Blue))); // 9.9 px away
        EXPECT_EQ(map.pixel(108, 57), kPaper);                           // 10.6 px away
    }
}

TEST(LksHeatmap, AMeasuredPointKeepsItsOwnBandAmongStrongerNeighbours) {
    CTempDir dir;
    // -40 is orange (the red band is strictly above -40); any blend with the red neighbours
    // would tip it into red.
    const std::string s = site(dir, {{100, 50, 1, -40},
                                     {94, 50, 1, -20},
                                     {106, 50, 1, -20},
                                     {100, 44, 1, -20},
                                     {100, 56, 1, -20}});
    const QImage map = heatmap(dir, s, "--no-points --radius 30");
    EXPECT_TRUE(near(map.pixel(100, 50), handheld(RssiBand::Orange)));
    EXPECT_TRUE(near(map.pixel(97, 47), handheld(RssiBand::Red)));
}

TEST(LksHeatmap, ScansAtOneSpotAreAveragedInPowerNotAdded) {
    CTempDir dir;
    // Two scans of -60 at one spot stay -60 (green); added they would be -57 (yellow).
    const std::string s = site(dir, {{100, 50, 1, -60}, {100, 50, 1, -60}});
    ToolRun run;
    const QImage map = heatmap(dir, s, "--no-points", &run);
    EXPECT_TRUE(near(map.pixel(100, 50), handheld(RssiBand::Green)));
    EXPECT_NE(run.err.find("one point only"), std::string::npos) << run.err;
}

TEST(LksHeatmap, TheDefaultRadiusComesFromTheSpacingAndIsReported) {
    CTempDir dir;
    // Neighbours 40 px apart: the radius is 1.5 x 40 = 60 px.
    const std::string s = site(dir, {{20, 20, 1, -55}, {60, 20, 1, -55}, {100, 20, 1, -55}});
    ToolRun run;
    const QImage map = heatmap(dir, s, "--no-points", &run);
    EXPECT_EQ(run.err, "lks: heatmap: radius 60.0 px (1.5 x 40.0 px, the median distance "
                       "between neighbouring points)\n");
    EXPECT_TRUE(near(map.pixel(159, 20), handheld(RssiBand::Yellow)));
    EXPECT_EQ(map.pixel(160, 20), kPaper);
}

TEST(LksHeatmap, ChannelsBandsOpacityAndDots) {
    CTempDir dir;
    // Point A reads channels 1 and 2; point B reads channel 1 only.
    const std::string s = site(dir, {{40, 40, 1, -52}, {40, 40, 2, -88}, {150, 40, 1, -75}});
    const QImage strongest = heatmap(dir, s, "--no-points --radius 20");
    EXPECT_TRUE(near(strongest.pixel(40, 40), handheld(RssiBand::Yellow)));
    EXPECT_TRUE(near(strongest.pixel(150, 40), handheld(RssiBand::Blue)));

    // Named channels: the weakest of them, and only where all of them were read.
    const QImage named = heatmap(dir, s, "--no-points --radius 20 --channel 1,2");
    EXPECT_TRUE(near(named.pixel(40, 40), handheld(RssiBand::Black)));
    EXPECT_EQ(named.pixel(150, 40), kPaper);

    // The public-safety set: -88 is in -95 to -85 (its second band); custom edges likewise.
    const CBandSet& threshold = CBandSet::Threshold();
    const QImage t = heatmap(dir, s, "--no-points --radius 20 --channel 2 --bands threshold");
    EXPECT_TRUE(near(t.pixel(40, 40), over(kPaper, threshold.Colour(1), 0.55)));
    CBandSet custom = threshold;
    ASSERT_TRUE(CBandSet::Custom({-60, -90}, custom));
    const QImage c = heatmap(dir, s, "--no-points --radius 20 --channel=2 --bands=-60,-90");
    EXPECT_TRUE(near(c.pixel(40, 40), over(kPaper, custom.Colour(1), 0.55)));

    // Opacity 1 paints the band's own colour; 0 leaves the plan as it is.
    EXPECT_TRUE(near(heatmap(dir, s, "--no-points --radius 20 --opacity 1").pixel(40, 40),
                     handheld(RssiBand::Yellow, 1.0)));
    EXPECT_EQ(heatmap(dir, s, "--no-points --radius 20 --opacity 0").pixel(40, 40), kPaper);

    // By default each point is marked by a dark dot.
    const QImage dots = heatmap(dir, s, "--radius 20");
    EXPECT_LT(qGray(dots.pixel(40, 40)), 64);
    EXPECT_TRUE(near(dots.pixel(40, 52), handheld(RssiBand::Yellow)));
}

TEST(LksHeatmap, TheLegendStripShowsEveryBand) {
    CTempDir dir;
    const std::string s = site(dir, {{40, 40, 1, -52}});
    for (const char* bands : {"handheld", "threshold"}) {
        SCOPED_TRACE(bands);
        const QImage map = heatmap(dir, s, std::string("--radius 20 --bands ") + bands);
        const CBandSet& set =
            std::string(bands) == "handheld" ? CBandSet::Handheld() : CBandSet::Threshold();
        for (size_t band = 0; band < set.Count(); ++band) {
            EXPECT_GT(legendPixels(map, over(kPaper, set.Colour(band), 0.55)), 20)
                << "band " << band;
        }
    }
}

TEST(LksHeatmap, ExactValuesDeadSpotsContoursAndScale) {
    CTempDir dir;
    // -1520 / 16 is -95 exactly, in the band from -95; -1521 / 16 is just under it. Whole dBm
    // would put both at -95. The dead spot is painted as no signal.
    const std::string s = MakeSurveySite(dir, "s.lks", kWidth, kHeight,
                                         {{30, 30, {{kCell1, -1520}}},
                                          {90, 30, {{kCell1, -1521}}},
                                          {150, 30, {}},
                                          {30, 75, {{kCell1, X16(-80.0)}}},
                                          {90, 75, {{kCell1, X16(-110.0)}}}});
    const std::string out = dir.File("map.png");
    const ToolRun run = RunLks(dir, "heatmap " + s + " -o " + out +
                                        " --no-points --radius 40 --method nearest --contour -95");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QImage map = QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_RGB32);
    const CBandSet& threshold = CBandSet::Threshold();
    EXPECT_TRUE(near(map.pixel(30, 30), over(kPaper, threshold.Colour(1), 0.55)))
        << "the default bands show the -95 dBm line";
    EXPECT_TRUE(near(map.pixel(90, 30), over(kPaper, threshold.Colour(2), 0.55)));
    EXPECT_TRUE(near(map.pixel(150, 30), over(kPaper, {0, 0, 0, 1}, 0.55))) << "no signal";
    // The -95 dBm contour runs halfway between -80 and -110, and nowhere far from it.
    int line = 0;
    for (int x = 40; x < 80; ++x) {
        line += qGray(map.pixel(x, 75)) < 40 ? 1 : 0;
    }
    EXPECT_GE(line, 1);
    EXPECT_LE(line, 3);
    EXPECT_GT(qGray(map.pixel(30, 75)), 40);
    // The caption's no-signal swatch: full black at the opacity, below the plan.
    EXPECT_GT(legendPixels(map, over(kPaper, {0, 0, 0, 1}, 0.55)), 20);

    // A scale bar of 25 ft at 2 px/ft: a dark bar 50 px long at the plan's bottom left.
    const QImage scaled = heatmap(dir, s, "--no-points --radius 20 --scale 2/ft");
    const auto darkRun = [](const QImage& image) {
        int longest = 0;
        for (int y = kHeight - 20; y < kHeight; ++y) {
            int length = 0;
            for (int x = 0; x < 80; ++x) {
                length = qGray(image.pixel(x, y)) < 60 ? length + 1 : 0;
                longest = std::max(longest, length);
            }
        }
        return longest;
    };
    EXPECT_GE(darkRun(scaled), 45);
    EXPECT_LT(darkRun(heatmap(dir, s, "--no-points --radius 20")), 10);
}

TEST(LksHeatmap, TheSameSiteGivesTheSameBytesInAWellFormedPng) {
    CTempDir dir;
    std::vector<TestPoint> points;
    for (int i = 0; i < 30; ++i) {
        points.push_back(TwoChannelPoint(7 + (i * 37) % 190, 5 + (i * 23) % 90, -50.0 - 2 * i));
    }
    points.push_back({120, 60, {}});
    const std::string s = MakeSurveySite(dir, "s.lks", kWidth, kHeight, points);
    std::vector<uint8_t> first;
    for (int run = 0; run < 2; ++run) {
        const std::string out = dir.File("map" + std::to_string(run) + ".png");
        const ToolRun r =
            RunLks(dir, "heatmap " + s + " -o " + out + " --contour -80 --scale 2/ft");
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const std::vector<uint8_t> png = ReadAll(out);
        int width = 0;
        int height = 0;
        EXPECT_EQ(CheckPng(png, width, height), "");
        const std::string size = std::to_string(width) + " x " + std::to_string(height);
        EXPECT_EQ(r.out.rfind(out + ": " + size + ", 31 points", 0), 0u) << r.out;
        if (run == 0) {
            first = png;
        } else {
            EXPECT_EQ(png, first) << "the same site maps to the same bytes";
        }
    }
}

TEST(LksHeatmap, ADeadSpotJustOffThePlanStillShowsAsNoSignal) {
    CTempDir dir;
    const std::string s = MakeSurveySite(dir, "s.lks", kWidth, kHeight,
                                         {{-6, 50, {}}, {100, 50, {{kCell1, X16(-60.0)}}}});
    const QImage map = heatmap(dir, s, "--no-points --radius 20 --method nearest");
    const QRgb noSignal = over(kPaper, kNoSignalColour, 0.55);
    EXPECT_TRUE(near(map.pixel(0, 50), noSignal));
    EXPECT_TRUE(near(map.pixel(13, 50), noSignal));
    EXPECT_EQ(map.pixel(14, 50), kPaper);
    EXPECT_GT(legendPixels(map, noSignal), 20) << "the legend lists no signal";
}

TEST(LksHeatmap, BadInputGivesOneLineAndExitTwo) {
    CTempDir dir;
    const std::string s = site(dir, {{40, 40, 1, -52}, {90, 40, 1, -60}});
    const std::string out = " -o " + dir.File("map.png");
    const struct {
        std::string args;
        const char* mentions;
    } cases[] = {
        {s + out + " --channel 7", "channel 7 was not read"},
        {s + out + " --channel 0", "--channel"},
        {s + out + " --channel 1,,2", "--channel"},
        {s + out + " --radius 0", "radius must be"},
        {s + out + " --radius -5", "radius must be"},
        {s + out + " --radius 5px", "radius must be"},
        {s + out + " --radius", "needs a value"},
        {s + out + " --power 0", "power must be"},
        {s + out + " --method nearest --power 3", "--power belongs to --method idw"},
        {s + out + " --method kriging", "unknown method"},
        {s + out + " --opacity 1.5", "opacity must be"},
        {s + out + " --bands -60,x", "--bands"},
        {s + out + " --bands rainbow", "--bands"},
        {s + out + " --bands -50,-60,-50", "different edges"},
        {s + out + " --power 1e308", "power must be"},
        {s + out + " --radius 1e308", "radius must be"},
        {s + out + " --contour -95,x", "--contour"},
        {s + out + " --scale 12", "--scale"},
        {s + " -o " + s, "is an input"},
        {s + " -o " + dir.File("link.png"), "is an input"},
        {s, "-o OUT.png"},
        {dir.File("missing.lks") + out, "cannot open"},
        {s + out + " extra", "unexpected argument"},
    };
    const std::vector<uint8_t> before = ReadAll(s);
    ASSERT_EQ(::symlink(s.c_str(), dir.File("link.png").c_str()), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        ExpectBadInput(RunLks(dir, "heatmap " + c.args), c.mentions);
    }
    EXPECT_EQ(ReadAll(s), before) << "the map never replaces the site it maps";
    // An output that cannot be written is not bad input: exit 1.
    for (const std::string& target : {dir.File("no/such/folder/map.png"), dir.Path()}) {
        const ToolRun run = RunLks(dir, "heatmap " + s + " -o " + target);
        EXPECT_EQ(run.exitCode, 1) << target;
        EXPECT_EQ(run.err.rfind("lks: heatmap: cannot write " + target, 0), 0u) << run.err;
    }
    const std::string empty = site(dir, {});
    ExpectBadInput(RunLks(dir, "heatmap " + empty + out), "no measured points");
    ::unlink(dir.File("link.png").c_str());
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"plan.png", "site.lks"}))
        << "no picture, and no temporary file left behind";
}

TEST(LksHeatmap, TheDemoSurveyIsTheOneItsScriptMakes) {
    CTempDir dir;
    const std::string examples = EXAMPLES_DIR;
    const std::string made = dir.File("demo-surveyed.lks");
    const std::string command = std::string(DEMO_SURVEY_PROGRAM) + " " + examples + "/demo.lks " +
                                examples + "/demo.nct " + made + " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadAll(made), ReadAll(examples + "/demo-surveyed.lks"))
        << "run examples/make_demo_survey.sh after changing the demo";

    // The store room was never entered: its far corner stays as the plan shows it.
    const QImage map = heatmap(dir, made, "");
    const QImage plan(QString::fromStdString(examples + "/floorplan.png"));
    EXPECT_EQ(map.pixel(460, 620), plan.pixel(460, 620));
    EXPECT_NE(map.pixel(100, 480), plan.pixel(100, 480)) << "the lab was surveyed";
}

} // namespace
