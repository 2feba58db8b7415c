// The grid test: cell layout and labels, centre and mean cell values, cells without points,
// profile pass rates, critical areas judged apart, adjacency of failing cells, channel statistics.
#include <gtest/gtest.h>

#include <set>

#include "SurveyReading.h"
#include "analysis/ChannelStats.h"
#include "analysis/GridTest.h"

namespace {

// A 500 x 400 area in 5 x 4 cells of 100 x 100, threshold -95, NFPA 1221 rates.
GridTestSettings fiveByFour() {
    GridTestSettings s;
    s.area = {0, 0, 500, 400};
    s.cols = 5;
    s.rows = 4;
    return s;
}

// One point at the centre of every cell, each at dbm.
std::vector<SpotValue> centres(double dbm) {
    std::vector<SpotValue> spots;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 5; ++col) {
            spots.push_back(spot(col * 100 + 50, row * 100 + 50, dbm));
        }
    }
    return spots;
}

// Sets the centre point of the cell at (row, col) of centres() to dbm.
void setCell(std::vector<SpotValue>& spots, int row, int col, double dbm) {
    spots[static_cast<size_t>(row) * 5 + col].dbm = dbm;
}

std::vector<std::string> labels(const GridTestResult& r, const std::vector<size_t>& cells) {
    std::vector<std::string> out;
    for (const size_t i : cells) {
        out.push_back(r.cells[i].label);
    }
    return out;
}

TEST(GridLayout, TwentyCellsLieNearSquareOverFourThreeAndThreeFour) {
    const struct {
        int32_t w, h;
        int cols, rows;
    } cases[] = {{400, 300, 5, 4},   {300, 400, 4, 5},   {4000, 3000, 5, 4}, {480, 640, 4, 5},
                 {2000, 100, 20, 1}, {100, 1000, 2, 10}, {500, 500, 5, 4}};
    for (const auto& c : cases) {
        int cols = 0;
        int rows = 0;
        CGridLayout::NearSquare(20, c.w, c.h, cols, rows);
        EXPECT_EQ(cols, c.cols) << c.w << " x " << c.h;
        EXPECT_EQ(rows, c.rows) << c.w << " x " << c.h;
    }
    const CGridLayout fourThree({0, 0, 400, 300}, 5, 4);
    const PlanRect b3 = fourThree.Cell(1, 2);
    EXPECT_EQ(b3.x, 160);
    EXPECT_EQ(b3.y, 75);
    EXPECT_EQ(b3.w, 80);
    EXPECT_EQ(b3.h, 75);
}

TEST(GridLayout, CellsTileTheAreaAndEveryPixelHasExactlyOneCell) {
    // Sizes that do not divide evenly, and an area away from the origin.
    const CGridLayout layout({7, 11, 23, 17}, 5, 4);
    int64_t covered = 0;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 5; ++col) {
            const PlanRect c = layout.Cell(row, col);
            EXPECT_GE(c.w, 4);
            EXPECT_LE(c.w, 5);
            EXPECT_GE(c.h, 4);
            EXPECT_LE(c.h, 5);
            covered += int64_t{c.w} * c.h;
        }
    }
    EXPECT_EQ(covered, 23 * 17);
    for (int32_t y = 0; y < 40; ++y) {
        for (int32_t x = 0; x < 40; ++x) {
            int row = -1;
            int col = -1;
            const bool inside = layout.Locate(x, y, row, col);
            ASSERT_EQ(inside, layout.Area().Contains(x, y)) << x << "," << y;
            if (inside) {
                ASSERT_TRUE(layout.Cell(row, col).Contains(x, y)) << x << "," << y;
            }
        }
    }
}

TEST(GridLayout, LabelsRunByRowLetterAndColumnNumber) {
    EXPECT_EQ(CGridLayout::Label(0, 0), "A1");
    EXPECT_EQ(CGridLayout::Label(0, 9), "A10");
    EXPECT_EQ(CGridLayout::Label(3, 4), "D5");
    EXPECT_EQ(CGridLayout::Label(25, 0), "Z1");
    EXPECT_EQ(CGridLayout::Label(26, 0), "AA1");
    EXPECT_EQ(CGridLayout::Label(27, 1), "AB2");
    const GridTestResult r = RunGridTest({}, fiveByFour());
    EXPECT_EQ(r.cells[1].label, "A2") << "cells run along the first row first";
    EXPECT_EQ(r.cells[5].label, "B1");
}

TEST(GridLayout, LargeFloorsGetCellsOfAtMostEightyFeet) {
    int cols = 0;
    int rows = 0;
    // 500 x 400 ft = 200,000 sq ft at 2 px/ft: 7 x 5 cells of about 71 x 80 ft.
    EXPECT_TRUE(CGridLayout::DefaultGrid(1000, 800, 2.0, cols, rows));
    EXPECT_EQ(cols, 7);
    EXPECT_EQ(rows, 5);
    // 400 x 320 ft = 128,000 sq ft exactly is not over the limit: the codes' 20 cells.
    EXPECT_FALSE(CGridLayout::DefaultGrid(800, 640, 2.0, cols, rows));
    EXPECT_EQ(cols * rows, 20);
    // Without a scale the floor's size is unknown.
    EXPECT_FALSE(CGridLayout::DefaultGrid(100000, 80000, 0.0, cols, rows));
    EXPECT_EQ(cols * rows, 20);
}

TEST(GridTest, CentreModeTakesThePointNearestTheCellCentre) {
    GridTestSettings s = fiveByFour();
    // Cell A1 spans 0..99; its centre is (50, 50).
    const std::vector<SpotValue> spots = {spot(10, 10, -60.0), spot(45, 58, -99.0),
                                          spot(90, 90, -70.0), spot(55, 42, -50.0)};
    const GridTestResult r = RunGridTest(spots, s);
    const GridCell& a1 = r.cells[0];
    EXPECT_EQ(a1.points, 4u);
    EXPECT_DOUBLE_EQ(a1.dbm, -99.0) << "(45,58) is nearer than (10,10) and (90,90)";
    EXPECT_EQ(a1.pointX, 45) << "of two equally near points the first in the survey stands";
    EXPECT_EQ(a1.pointY, 58);
    EXPECT_DOUBLE_EQ(a1.minDbm, -99.0);
    EXPECT_DOUBLE_EQ(a1.maxDbm, -50.0);
    EXPECT_EQ(a1.result, CellResult::Fail);
}

TEST(GridTest, MeanModeAveragesInPowerNotInDecibels) {
    GridTestSettings s = fiveByFour();
    s.mode = CellMode::Mean;
    s.thresholdDbm = -94.0;
    const GridTestResult r = RunGridTest({spot(20, 20, -90.0), spot(80, 80, -100.0)}, s);
    const GridCell& a1 = r.cells[0];
    EXPECT_NEAR(a1.dbm, -92.6, 0.05) << "not the -95 of an average in dB";
    EXPECT_EQ(a1.points, 2u);
    EXPECT_DOUBLE_EQ(a1.minDbm, -100.0);
    EXPECT_DOUBLE_EQ(a1.maxDbm, -90.0);
    EXPECT_EQ(a1.result, CellResult::Pass) << "-92.6 reaches -94; -95 would not";

    // The same cell in centre mode stands on its middle point alone.
    s.mode = CellMode::Centre;
    const GridTestResult centre =
        RunGridTest({spot(20, 20, -90.0), spot(48, 52, -100.0), spot(80, 80, -90.0)}, s);
    EXPECT_DOUBLE_EQ(centre.cells[0].dbm, -100.0);
    EXPECT_EQ(centre.cells[0].result, CellResult::Fail);
}

TEST(GridTest, CellsWithoutPointsAreNotTestedAndFail) {
    std::vector<SpotValue> spots = centres(-80.0);
    spots.erase(spots.begin() + 7);  // B3
    spots.erase(spots.begin() + 18); // D5 (index 19 before the first erase)
    const GridTestResult r = RunGridTest(spots, fiveByFour());
    EXPECT_EQ(r.passingCells, 18u);
    EXPECT_DOUBLE_EQ(r.generalPct, 90.0);
    EXPECT_EQ(r.cells[7].result, CellResult::NotTested);
    EXPECT_EQ(r.cells[7].points, 0u);
    EXPECT_EQ(labels(r, r.failing), (std::vector<std::string>{"B3", "D5"}));
    EXPECT_TRUE(r.pass) << "18 of 20 is the 90 % that NFPA 1221 asks";

    spots.erase(spots.begin()); // A1 too: 17 of 20
    EXPECT_FALSE(RunGridTest(spots, fiveByFour()).pass);
    EXPECT_FALSE(RunGridTest({}, fiveByFour()).pass) << "a survey without points never passes";
}

TEST(GridTest, ProfilePassRates) {
    const struct {
        const char* key;
        GridProfile profile;
        double general, critical;
    } profiles[] = {{"nfpa1221", GridProfile::Nfpa1221, 90.0, 99.0},
                    {"ifc2009", GridProfile::Ifc2009, 95.0, 99.0},
                    {"nfpa1225", GridProfile::Nfpa1225, 95.0, 99.0}};
    for (const auto& p : profiles) {
        GridProfile parsed = GridProfile::Nfpa1221;
        ASSERT_TRUE(ProfileFromKey(p.key, parsed)) << p.key;
        EXPECT_EQ(parsed, p.profile);
        EXPECT_STREQ(ProfileKey(p.profile), p.key);
        EXPECT_DOUBLE_EQ(RatesOf(p.profile).generalPct, p.general) << p.key;
        EXPECT_DOUBLE_EQ(RatesOf(p.profile).criticalPct, p.critical) << p.key;
    }
    GridProfile unused = GridProfile::Ifc2009;
    EXPECT_FALSE(ProfileFromKey("nfpa72", unused));
    EXPECT_FALSE(ProfileFromKey("", unused));

    // 18 of 20 cells: enough for NFPA 1221, not for IFC 2009 or NFPA 1225; 19 of 20 for all.
    std::vector<SpotValue> spots = centres(-80.0);
    setCell(spots, 0, 0, -96.0);
    setCell(spots, 3, 4, -120.0);
    GridTestSettings s = fiveByFour();
    for (const auto& p : profiles) {
        s.rates = RatesOf(p.profile);
        EXPECT_EQ(RunGridTest(spots, s).pass, p.profile == GridProfile::Nfpa1221) << p.key;
    }
    setCell(spots, 0, 0, -95.0); // at the threshold passes
    for (const auto& p : profiles) {
        s.rates = RatesOf(p.profile);
        EXPECT_TRUE(RunGridTest(spots, s).pass) << p.key;
    }
}

TEST(GridTest, RatesAreMetExactly) {
    EXPECT_TRUE(ReachesRate(9, 10, 90.0));
    EXPECT_FALSE(ReachesRate(17, 20, 90.0));
    EXPECT_TRUE(ReachesRate(99, 100, 99.0));
    EXPECT_FALSE(ReachesRate(98, 99, 99.0)) << "98.99 % is short of 99 %";
    EXPECT_TRUE(ReachesRate(12, 13, 92.3)) << "92.307... % reaches 92.3 %";
    EXPECT_FALSE(ReachesRate(0, 0, 1.0)) << "nothing measured cannot pass";
}

TEST(GridTest, CriticalAreasAreJudgedApartOnTheShareOfTheirPoints) {
    GridTestSettings s = fiveByFour();
    s.critical = {{{0, 0, 100, 100}, "Pump room"},
                  {{400, 300, 100, 100}, "Stair 2"},
                  {{200, 100, 50, 50}, "Valve"}};
    std::vector<SpotValue> spots = centres(-70.0);
    // The pump room (cell A1) holds 100 points: its centre at -70 and 99 more; one of them weak.
    for (int i = 0; i < 99; ++i) {
        spots.push_back(spot(6 + i % 10 * 9, 6 + i / 10 * 9, i == 0 ? -101.0 : -80.0));
    }
    // Stair 2 (cell D5): its centre at -70 and one weak point near a corner.
    spots.push_back(spot(495, 395, -100.0));

    const GridTestResult r = RunGridTest(spots, s);
    EXPECT_TRUE(r.generalPass) << "every cell's centre point passes";
    ASSERT_EQ(r.critical.size(), 3u);
    EXPECT_EQ(r.critical[0].points, 100u);
    EXPECT_EQ(r.critical[0].passing, 99u);
    EXPECT_TRUE(r.critical[0].pass) << "99 of 100 meets 99 %";
    EXPECT_EQ(r.critical[1].points, 2u);
    EXPECT_DOUBLE_EQ(r.critical[1].sharePct, 50.0);
    EXPECT_FALSE(r.critical[1].pass);
    EXPECT_EQ(r.critical[2].points, 0u);
    EXPECT_FALSE(r.critical[2].pass) << "an area without points is not tested";
    EXPECT_FALSE(r.pass) << "a failing critical area fails the floor whatever the cells say";
    EXPECT_EQ(r.cells[0].critical, (std::vector<size_t>{0}));
    EXPECT_EQ(r.cells[7].critical, (std::vector<size_t>{2})) << "B3 overlaps the valve";
    EXPECT_EQ(r.cells[19].critical, (std::vector<size_t>{1}));

    s.rates.criticalPct = 50.0;
    s.critical.pop_back();
    EXPECT_TRUE(RunGridTest(spots, s).pass);
}

TEST(GridTest, AdjacentFailingCellsTouchAtAnEdgeOrACorner) {
    std::vector<SpotValue> spots = centres(-80.0);
    // A1 and B2 touch at a corner; A4 and A5 at an edge; D1 touches none of them.
    for (const auto& [row, col] : {std::pair{0, 0}, {1, 1}, {0, 3}, {0, 4}, {3, 0}}) {
        setCell(spots, row, col, -110.0);
    }
    const GridTestResult r = RunGridTest(spots, fiveByFour());
    std::set<std::pair<std::string, std::string>> pairs;
    for (const auto& [a, b] : r.adjacentFailures) {
        pairs.insert({r.cells[a].label, r.cells[b].label});
    }
    EXPECT_EQ(pairs, (std::set<std::pair<std::string, std::string>>{{"A1", "B2"}, {"A4", "A5"}}));
    EXPECT_EQ(r.adjacentFailures.size(), 2u) << "each pair once";

    // Two failing cells two apart are not adjacent, nor are the ends of a row.
    spots = centres(-80.0);
    setCell(spots, 0, 0, -110.0);
    setCell(spots, 2, 0, -110.0);
    setCell(spots, 1, 4, -110.0);
    EXPECT_TRUE(RunGridTest(spots, fiveByFour()).adjacentFailures.empty());
}

TEST(ChannelStats, CountMinimumMedianMaximumAndShareAtOrAboveTheThreshold) {
    const std::vector<SurveyRecord> records = {
        reading(1, 1, 25, -80),    reading(1, 1, 1, -90),   // point 1
        reading(2, 2, 25, -100),   reading(2, 2, 1, -95),   // point 2
        reading(3, 3, 25, -90),    reading(3, 3, 25, -100), // point 3 scanned twice
        reading(4, 4, 1, -60),     reading(5, 5, 0, -100),  // point 5 has no readings
        reading(900, 900, 1, -40),                          // outside the area
    };
    const std::vector<ChannelStats> stats = ChannelStatistics(records, {0, 0, 100, 100}, -95.0);
    ASSERT_EQ(stats.size(), 2u);
    EXPECT_EQ(stats[0].channel, 1);
    EXPECT_EQ(stats[0].points, 3u);
    EXPECT_DOUBLE_EQ(stats[0].minDbm, -95.0);
    EXPECT_DOUBLE_EQ(stats[0].medianDbm, -90.0);
    EXPECT_DOUBLE_EQ(stats[0].maxDbm, -60.0);
    EXPECT_EQ(stats[0].atOrAbove, 3u) << "-95 is at the threshold";
    EXPECT_EQ(stats[1].channel, 25);
    EXPECT_EQ(stats[1].points, 3u) << "two scans at one point count once";
    EXPECT_NEAR(stats[1].medianDbm, -92.6, 0.05) << "the point scanned twice, in power";
    EXPECT_DOUBLE_EQ(stats[1].maxDbm, -80.0);
    EXPECT_EQ(stats[1].atOrAbove, 2u);

    const std::vector<ChannelStats> even =
        ChannelStatistics({reading(1, 1, 7, -90), reading(2, 2, 7, -80)}, {0, 0, 10, 10}, -95.0);
    ASSERT_EQ(even.size(), 1u);
    EXPECT_DOUBLE_EQ(even[0].medianDbm, -85.0);
}

} // namespace
