// Everything a grid-test report shows, gathered before any page is drawn, so that the PDF and
// the CSV and JSON tables tell the same story: per floor, each channel under test with its cells
// and verdict.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ChannelLabels.h"
#include "GridtestPlan.h"
#include "SiteSummary.h"
#include "analysis/ChannelStats.h"
#include "analysis/GridTest.h"
#include "analysis/SpotTable.h"

namespace lks {

// One cell of the floor over every series judged: failing where any series fails, not tested
// where none fails but one could not test it.
struct CombinedCell {
    CellResult result = CellResult::NotTested;
    bool anyTested = false;
    double weakestDbm = 0.0; // of the series that tested the cell
    size_t failing = 0;      // series that fail the cell
};

// What is judged as one: a channel on its own, or the best server of the channels asked.
struct SeriesReport {
    bool bestServer = false;
    std::vector<size_t> channels; // indexes into the floor's spot table channels
    std::string name;             // "333 (879.990 MHz, 800 MHz cellular)", or "best server"
    std::string shortName;        // "333", "25@1930.750", "best"
    std::string label;            // from the channel table; empty where none
    std::vector<SpotValue> spots;
    GridTestResult result;
};

struct FloorReport {
    FloorPlan plan;
    std::string siteName; // the site file's name without its folder
    SiteSummary summary;
    std::unique_ptr<CSpotTable> table;
    FloorGrid grid;
    GridRules rules; // with this floor's centre tolerance, if one was given
    CellDaqMap daq;
    std::vector<SeriesReport> series;
    std::vector<ChannelStats> stats;
    std::vector<SpotValue> measured; // every spot with any value: the dots on the plan
    // The grid judged on every measured spot: where the points lie, how many in each cell and
    // how far the nearest lies from each centre, whatever the channel.
    GridTestResult layout;
    std::vector<std::string> warnings;
    bool pass = false;

    const std::string& Name() const { return plan.name.empty() ? siteName : plan.name; }
    // The floor's cells in report order: each sector's, then each critical area's.
    std::vector<const CellGroup*> Groups() const;
    // The result of group g (in the order of Groups()).
    static const GroupResult& GroupOf(const GridTestResult& r, size_t g);
    const GroupResult& LayoutGroup(size_t g) const { return GroupOf(layout, g); }
    // Cell by cell of group g, over every series.
    std::vector<CombinedCell> Combined(size_t g) const;
};

struct BuildingReport {
    const GridtestPlan* plan = nullptr;
    std::vector<ChannelLabel> labels;
    std::vector<FloorReport> floors;
    bool pass = false;
};

} // namespace lks
