// The grid test of in-building radio coverage: each cell of a grid over the floor is judged by
// its measured value, critical areas by the share of their points, and the floor passes when
// enough cells reach the threshold and every critical area passes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "analysis/GridLayout.h"
#include "analysis/SpotValues.h"

// The pass rates of the acceptance codes, in percent.
enum class GridProfile { Nfpa1221, Ifc2009, Nfpa1225 };

struct PassRates {
    double generalPct = 0.0;
    double criticalPct = 0.0;
};

PassRates RatesOf(GridProfile profile);
// The profile's key on the command line ("nfpa1221") and its name in a report.
const char* ProfileKey(GridProfile profile);
const char* ProfileName(GridProfile profile);
bool ProfileFromKey(const std::string& key, GridProfile& profile);

constexpr double kDefaultThresholdDbm = -95.0;

// centre: the point nearest the cell's centre stands for the cell; mean: the power average of
// the cell's points.
enum class CellMode { Centre, Mean };

struct CriticalArea {
    PlanRect rect;
    std::string name;
};

struct GridTestSettings {
    PlanRect area;
    int cols = 0;
    int rows = 0;
    double thresholdDbm = kDefaultThresholdDbm;
    PassRates rates = RatesOf(GridProfile::Nfpa1221);
    CellMode mode = CellMode::Centre;
    std::vector<CriticalArea> critical;
};

enum class CellResult { Pass, Fail, NotTested };

struct GridCell {
    PlanRect rect;
    int row = 0;
    int col = 0;
    std::string label;
    CellResult result = CellResult::NotTested;
    uint32_t points = 0; // points inside the cell
    double dbm = 0.0;    // the cell's value; meaningless when not tested
    double minDbm = 0.0; // of the points inside
    double maxDbm = 0.0;
    int32_t pointX = 0; // centre mode: the point that stands for the cell
    int32_t pointY = 0;
    std::vector<size_t> critical; // indexes of the critical areas the cell overlaps
};

struct CriticalResult {
    uint32_t points = 0;
    uint32_t passing = 0; // points at or above the threshold
    double sharePct = 0.0;
    bool pass = false; // an area without points is not tested and fails
};

struct GridTestResult {
    std::vector<GridCell> cells; // row by row, each from the first column
    uint32_t passingCells = 0;
    double generalPct = 0.0;
    bool generalPass = false;
    std::vector<CriticalResult> critical; // in the order of the settings
    std::vector<size_t> failing;          // cells that failed or were not tested
    // Failing cells that touch at an edge or a corner, for the rule that allows only
    // non-adjacent failures.
    std::vector<std::pair<size_t, size_t>> adjacentFailures;
    bool pass = false;
};

// Judges the spots against the settings, whose grid must fit its area (CGridLayout).
GridTestResult RunGridTest(const std::vector<SpotValue>& spots, const GridTestSettings& settings);

// True when count of total reach pct percent (exactly, without rounding).
bool ReachesRate(uint32_t count, uint32_t total, double pct);
