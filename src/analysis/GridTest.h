// The grid test of in-building radio coverage: each cell of each sector and of each critical area
// is judged by its measured value (and its DAQ, where one was recorded); a sector passes on its
// share of passing cells and on how many fail and where, a critical area on its share of
// passing cells, and the floor only when all of them pass.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "analysis/FloorGrid.h"
#include "analysis/GridRules.h"
#include "analysis/SpotValues.h"

enum class CellResult { Pass, Fail, NotTested };

enum class Talkback { NotTested, Pass, Fail };

// Delivered audio quality and the talk-back check recorded for a cell; DAQ below 0 was not
// recorded.
struct CellDaq {
    double down = -1.0;
    double up = -1.0;
    Talkback talkback = Talkback::NotTested;

    bool Recorded() const { return down >= 0.0 || up >= 0.0 || talkback != Talkback::NotTested; }
};

// Recorded cells by their label ("B3", "S2-A1", "C1-A1").
using CellDaqMap = std::map<std::string, CellDaq>;

struct GridCell {
    PlanRect rect;
    int row = 0;
    int col = 0;
    std::string label;
    CellResult result = CellResult::NotTested;
    CellResult signal = CellResult::NotTested; // the verdict of the signal alone
    bool daqFailed = false;                    // DAQ below the rule's or the talk-back failed
    CellDaq daq;
    uint32_t points = 0; // points inside the cell
    double dbm = 0.0;    // the cell's value; meaningless when not tested
    double minDbm = 0.0; // of the points inside
    double maxDbm = 0.0;
    // Centre mode: the point nearest the centre, tested or not, and its distance from it.
    bool hasNearest = false;
    int32_t pointX = 0;
    int32_t pointY = 0;
    double offsetPx = 0.0;
};

// The cells of one sector or one critical area and their verdict.
struct GroupResult {
    std::vector<GridCell> cells; // row by row, each from the first column
    uint32_t passing = 0;
    double sharePct = 0.0;
    bool shareMet = false;
    std::vector<size_t> failing; // failed or not tested
    // Failing cells that share a side or a corner, each pair once.
    std::vector<std::pair<size_t, size_t>> adjacent;
    bool countMet = true; // the rule on how many cells may fail, and whether they may touch
    bool pass = false;
};

struct GridTestResult {
    std::vector<GroupResult> sectors;  // in the order of the floor grid
    std::vector<GroupResult> critical; // likewise
    bool pass = false;
};

// The centre tolerance of a cell under the rules, in plan pixels.
double CentreTolerance(const GridRules& rules, const PlanRect& cell);

// Judges the spots on the grid. daq may be null.
GridTestResult RunGridTest(const std::vector<SpotValue>& spots, const FloorGrid& grid,
                           const GridRules& rules, const CellDaqMap* daq = nullptr);

// True when count of total reach pct percent (exactly, without rounding); never for total 0.
bool ReachesRate(uint32_t count, uint32_t total, double pct);
