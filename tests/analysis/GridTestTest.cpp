// The grid test: cell layout and labels, sectors of large floors, critical areas with cells of
// their own, centre and mean cell values with their limits, dead spots, the rules on shares and
// on failing cells, DAQ, and the profiles.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <set>

#include "SurveyReading.h"
#include "analysis/ChannelStats.h"
#include "analysis/GridTest.h"

namespace {

// A 500 x 400 area in 5 x 4 cells of 100 x 100.
FloorGrid fiveByFour(const std::vector<CriticalArea>& critical = {}) {
    FloorGrid grid;
    std::string why;
    EXPECT_TRUE(MakeFloorGrid({0, 0, 500, 400}, 5, 4, 0.0, critical, grid, why)) << why;
    return grid;
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

void setCell(std::vector<SpotValue>& spots, int row, int col, double dbm) {
    spots[static_cast<size_t>(row) * 5 + col].dbm = dbm;
}

std::vector<std::string> labels(const GroupResult& r, const std::vector<size_t>& cells) {
    std::vector<std::string> out;
    for (const size_t i : cells) {
        out.push_back(r.cells[i].label);
    }
    return out;
}

TEST(GridLayout, TwentyCellsLieNearSquareAndTileTheArea) {
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
    // Sizes that do not divide evenly, away from the origin: every pixel in exactly one cell,
    // a pixel on an edge in the cell to its right or below.
    const CGridLayout layout({7, 11, 23, 17}, 5, 4);
    int64_t covered = 0;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 5; ++col) {
            covered += int64_t{layout.Cell(row, col).w} * layout.Cell(row, col).h;
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
    EXPECT_EQ(CGridLayout::Label(0, 9), "A10");
    EXPECT_EQ(CGridLayout::Label(26, 0), "AA1");
    const GridTestResult r = RunGridTest({}, fiveByFour(), GridRules{});
    EXPECT_EQ(r.sectors[0].cells[1].label, "A2") << "cells run along the first row first";
    EXPECT_EQ(r.sectors[0].cells[5].label, "B1");
}

TEST(GridLayout, FloorsOverTheLimitAreJudgedInSectors) {
    // 640 x 400 ft at 1 px/ft = 256,000 sq ft: two sectors of 320 x 400 ft, 20 cells each.
    FloorGrid grid;
    std::string why;
    ASSERT_TRUE(MakeFloorGrid({0, 0, 640, 400}, 0, 0, 1.0, {}, grid, why)) << why;
    ASSERT_EQ(grid.sectors.size(), 2u);
    EXPECT_TRUE(grid.sectored);
    EXPECT_EQ(grid.sectors[1].rect.x, 320);
    EXPECT_EQ(grid.sectors[1].cols * grid.sectors[1].rows, 20);
    EXPECT_EQ(grid.sectors[1].name, "Sector 2");

    // A dead block of 160 x 160 ft: four of 48 cells on one grid would pass at 44 / 48; in
    // its sector it is four of 20 and fails.
    std::vector<SpotValue> spots;
    for (const CellGroup& sector : grid.sectors) {
        const CGridLayout layout(sector.rect, sector.cols, sector.rows);
        for (int row = 0; row < sector.rows; ++row) {
            for (int col = 0; col < sector.cols; ++col) {
                const PlanRect c = layout.Cell(row, col);
                const int32_t x = c.x + c.w / 2;
                const int32_t y = c.y + c.h / 2;
                const bool dead = x < 160 && y < 160;
                spots.push_back(spot(x, y, dead ? kNoSignalDbm : -70.0));
            }
        }
    }
    const GridTestResult r = RunGridTest(spots, grid, GridRules{});
    EXPECT_FALSE(r.sectors[0].pass);
    EXPECT_EQ(r.sectors[0].failing.size(), 4u);
    EXPECT_EQ(r.sectors[0].cells[0].label, "S1-A1");
    EXPECT_TRUE(r.sectors[1].pass);
    EXPECT_FALSE(r.pass);

    // 128,000 sq ft exactly is one sector; no scale, no sectors; a wrong scale is refused.
    ASSERT_TRUE(MakeFloorGrid({0, 0, 800, 640}, 0, 0, 2.0, {}, grid, why));
    EXPECT_EQ(grid.sectors.size(), 1u);
    ASSERT_TRUE(MakeFloorGrid({0, 0, 100000, 80000}, 0, 0, 0.0, {}, grid, why));
    EXPECT_EQ(grid.sectors.size(), 1u);
    EXPECT_FALSE(MakeFloorGrid({0, 0, 400, 300}, 0, 0, 1e-12, {}, grid, why));
    EXPECT_NE(why.find("scale"), std::string::npos) << why;
    EXPECT_FALSE(MakeFloorGrid({0, 0, 3, 3}, 5, 4, 0.0, {}, grid, why)) << "more cells than pixels";
}

TEST(GridTest, CentreModeStandsOnTheNearestPointWithinTheTolerance) {
    // Cell A1 spans 0..99, centre (50, 50); the tolerance is a quarter of 100 px.
    const std::vector<SpotValue> spots = {spot(10, 10, -60.0), spot(45, 58, -99.0),
                                          spot(54, 41, -50.0)};
    const GroupResult a = RunGridTest(spots, fiveByFour(), GridRules{}).sectors[0];
    const GridCell& a1 = a.cells[0];
    EXPECT_EQ(a1.points, 3u);
    EXPECT_DOUBLE_EQ(a1.dbm, -99.0) << "(45,58) and (54,41) are equally near; the first stands";
    EXPECT_EQ(a1.pointX, 45);
    EXPECT_NEAR(a1.offsetPx, std::hypot(4.5, 8.5), 1e-9);
    EXPECT_EQ(a1.result, CellResult::Fail);

    // The nearest point about 30 px from the centre: not the centre test, the cell is not tested.
    GridRules rules;
    const GroupResult far = RunGridTest({spot(20, 49, -60.0)}, fiveByFour(), rules).sectors[0];
    EXPECT_EQ(far.cells[0].result, CellResult::NotTested);
    EXPECT_TRUE(far.cells[0].hasNearest);
    EXPECT_NEAR(far.cells[0].offsetPx, std::hypot(29.5, 0.5), 1e-9);
    rules.centreTolerancePx = 30.0;
    EXPECT_EQ(RunGridTest({spot(20, 49, -60.0)}, fiveByFour(), rules).sectors[0].cells[0].result,
              CellResult::Pass);
}

TEST(GridTest, MeanModeAveragesEnoughPointsInPower) {
    GridRules rules;
    rules.mode = CellMode::Mean;
    rules.thresholdDbm = -94.0;
    std::vector<SpotValue> spots = {spot(20, 20, -90.0), spot(80, 80, -100.0), spot(20, 80, -90.0),
                                    spot(80, 20, -100.0)};
    EXPECT_EQ(RunGridTest(spots, fiveByFour(), rules).sectors[0].cells[0].result,
              CellResult::NotTested)
        << "four points are fewer than the five asked";
    spots.push_back(spot(50, 50, -95.0));
    const GridCell a1 = RunGridTest(spots, fiveByFour(), rules).sectors[0].cells[0];
    EXPECT_NEAR(a1.dbm, -92.98, 0.01) << "not the -95 of an average in dB";
    EXPECT_DOUBLE_EQ(a1.minDbm, -100.0);
    EXPECT_EQ(a1.result, CellResult::Pass);
    rules.minSamples = 1;
    EXPECT_EQ(RunGridTest({spot(50, 50, -95.0)}, fiveByFour(), rules).sectors[0].cells[0].result,
              CellResult::Fail);
}

TEST(GridTest, DeadSpotsAndEmptyCellsFail) {
    std::vector<SpotValue> spots = centres(-80.0);
    setCell(spots, 1, 2, kNoSignalDbm);
    spots.erase(spots.begin() + 19); // D5 holds no point
    const GroupResult r = RunGridTest(spots, fiveByFour(), GridRules{}).sectors[0];
    EXPECT_EQ(r.cells[7].result, CellResult::Fail) << "a dead spot fails its cell";
    EXPECT_EQ(r.cells[19].result, CellResult::NotTested);
    EXPECT_EQ(labels(r, r.failing), (std::vector<std::string>{"B3", "D5"}));
    EXPECT_DOUBLE_EQ(r.sharePct, 90.0);
    EXPECT_TRUE(r.pass) << "18 of 20 is the 90 % asked";
    EXPECT_FALSE(RunGridTest({}, fiveByFour(), GridRules{}).pass);
}

TEST(GridTest, SharesAndTheRuleOnFailingCells) {
    GridRules ordinance = FindGridProfile("ifc-ordinance")->rules;
    const struct {
        std::vector<std::pair<int, int>> failing;
        bool nfpa, ordinance;
    } cases[] = {
        {{{0, 0}, {0, 1}}, true, false},         // two touching at a side
        {{{0, 0}, {1, 1}}, true, false},         // two touching at a corner
        {{{0, 0}, {2, 0}}, true, true},          // two apart
        {{{0, 0}, {2, 0}, {0, 4}}, false, false} // three
    };
    for (const auto& c : cases) {
        std::vector<SpotValue> spots = centres(-80.0);
        for (const auto& [row, col] : c.failing) {
            setCell(spots, row, col, -110.0);
        }
        const GroupResult nfpa = RunGridTest(spots, fiveByFour(), GridRules{}).sectors[0];
        const GroupResult ord = RunGridTest(spots, fiveByFour(), ordinance).sectors[0];
        EXPECT_EQ(nfpa.pass, c.nfpa) << c.failing.size();
        EXPECT_EQ(ord.pass, c.ordinance) << c.failing.size();
        EXPECT_EQ(ord.adjacent.size(), c.nfpa && !c.ordinance ? 1u : 0u);
    }
    EXPECT_TRUE(ReachesRate(9, 10, 90.0));
    EXPECT_FALSE(ReachesRate(98, 99, 99.0)) << "98.99 % is short of 99 %";
    EXPECT_TRUE(ReachesRate(12, 13, 92.3)) << "92.307... % reaches 92.3 %";
    EXPECT_FALSE(ReachesRate(0, 0, 1.0)) << "nothing measured cannot pass";
}

TEST(GridTest, CriticalAreasAreJudgedByTheirAreaNotByTheirPoints) {
    // A 200 x 100 stair: two cells of the floor's size. Fifty strong points crowd its left half;
    // its right half holds one point, at its centre, where nothing was received.
    const FloorGrid grid =
        fiveByFour({{{0, 200, 200, 100}, "Stair 2"}, {{420, 20, 30, 30}, "FCC"}});
    ASSERT_EQ(grid.critical.size(), 2u);
    EXPECT_EQ(grid.critical[0].cols * grid.critical[0].rows, 2);
    EXPECT_EQ(grid.critical[1].cols * grid.critical[1].rows, 1) << "a small room is one cell";
    std::vector<SpotValue> spots = centres(-70.0);
    for (int i = 0; i < 50; ++i) {
        spots.push_back(spot(30 + i % 10 * 4, 230 + i / 10 * 8, -60.0));
    }
    setCell(spots, 2, 1, kNoSignalDbm);
    spots.push_back(spot(435, 35, -60.0));
    GridRules rules;
    rules.centreTolerancePx = 100.0;
    const GridTestResult r = RunGridTest(spots, grid, rules);
    EXPECT_TRUE(r.sectors[0].pass) << "19 of 20 floor cells";
    ASSERT_EQ(r.critical.size(), 2u);
    EXPECT_EQ(r.critical[0].cells[0].label, "C1-A1");
    EXPECT_EQ(r.critical[0].passing, 1u) << "51 of 52 points pass, one of two cells";
    EXPECT_FALSE(r.critical[0].pass);
    EXPECT_TRUE(r.critical[1].pass);
    EXPECT_FALSE(r.pass) << "a failing critical area fails the floor whatever the cells say";
}

TEST(GridTest, ARecordedDaqBelowTheRuleOrAFailedTalkBackFailsTheCell) {
    GridRules rules;
    rules.minDaq = 3.0;
    CellDaqMap daq;
    daq["A1"].down = 3.4;
    daq["A1"].up = 2.5;
    daq["A2"].down = 4.0;
    daq["A2"].talkback = Talkback::Fail;
    daq["A3"].down = 3.0;
    daq["A3"].up = 3.0;
    const GroupResult r = RunGridTest(centres(-80.0), fiveByFour(), rules, &daq).sectors[0];
    EXPECT_EQ(r.cells[0].result, CellResult::Fail);
    EXPECT_EQ(r.cells[0].signal, CellResult::Pass);
    EXPECT_TRUE(r.cells[0].daqFailed);
    EXPECT_EQ(r.cells[1].result, CellResult::Fail);
    EXPECT_EQ(r.cells[2].result, CellResult::Pass) << "3.0 reaches 3.0";
    EXPECT_EQ(r.cells[3].result, CellResult::Pass) << "no DAQ recorded: not tested, not failed";
    EXPECT_FALSE(r.cells[3].daq.Recorded());
    rules.minDaq = 0.0;
    EXPECT_EQ(RunGridTest(centres(-80.0), fiveByFour(), rules, &daq).sectors[0].cells[0].result,
              CellResult::Pass)
        << "a profile without a DAQ rule";
}

TEST(GridProfiles, EveryProfileCarriesItsRulesAndItsBasis) {
    const struct {
        const char* key;
        double general, critical, daq;
        int maxFailing;
    } expected[] = {{"nfpa1221-2019", 90, 99, 3, -1}, {"nfpa1221-2016", 90, 99, 3, -1},
                    {"nfpa1225-2022", 95, 99, 3, -1}, {"nfpa72-2013", 90, 99, 0, -1},
                    {"ifc2009", 95, 99, 0, -1},       {"ifc-ordinance", 0, 99, 0, 2}};
    ASSERT_EQ(GridProfiles().size(), std::size(expected));
    for (const auto& e : expected) {
        const GridProfile* p = FindGridProfile(e.key);
        ASSERT_NE(p, nullptr) << e.key;
        EXPECT_EQ(p->rules.generalPct, e.general) << e.key;
        EXPECT_EQ(p->rules.criticalPct, e.critical) << e.key;
        EXPECT_EQ(p->rules.minDaq, e.daq) << e.key;
        EXPECT_EQ(p->rules.maxFailing, e.maxFailing) << e.key;
        EXPECT_EQ(p->rules.thresholdDbm, -95.0) << e.key;
        EXPECT_FALSE(p->basis.empty()) << e.key;
        EXPECT_TRUE(RuleChanges(p->rules, p->rules).empty()) << e.key;
    }
    EXPECT_EQ(FindGridProfile("nfpa1221"), nullptr) << "an edition must be named";
    GridRules changed = DefaultGridProfile().rules;
    changed.generalPct = 80.0;
    changed.nonAdjacent = true;
    EXPECT_EQ(RuleChanges(DefaultGridProfile().rules, changed).size(), 2u);
}

TEST(ChannelStats, CountMinimumMedianMaximumAndShareAtOrAboveTheThreshold) {
    const CSpotTable table({
        reading(1, 1, 25, -80), reading(1, 1, 1, -90),   // point 1
        reading(2, 2, 25, -100), reading(2, 2, 1, -95),  // point 2
        reading(3, 3, 25, -90), reading(3, 3, 25, -100), // point 3 scanned twice
        reading(4, 4, 1, -60), deadSpot(5, 5),           // point 5 received nothing
        reading(900, 900, 1, -40),                       // outside the area
    });
    const std::vector<ChannelStats> stats = ChannelStatistics(table, {0, 0, 100, 100}, -95.0);
    ASSERT_EQ(stats.size(), 2u);
    EXPECT_EQ(table.Channels()[stats[0].channel].id.channel, 1);
    EXPECT_EQ(stats[0].points, 4u) << "the dead spot counts, as no signal";
    EXPECT_EQ(stats[0].noSignal, 1u);
    EXPECT_TRUE(IsNoSignal(stats[0].minDbm));
    EXPECT_DOUBLE_EQ(stats[0].medianDbm, -92.5);
    EXPECT_DOUBLE_EQ(stats[0].maxDbm, -60.0);
    EXPECT_EQ(stats[0].atOrAbove, 3u) << "-95 is at the threshold";
    EXPECT_EQ(stats[1].points, 4u) << "two scans at one point count once";
    EXPECT_EQ(stats[1].atOrAbove, 2u);
}

} // namespace
