// Grid test: spots into the cells of each group, one value per cell, then each group's verdict.
#include "analysis/GridTest.h"

#include <algorithm>
#include <cmath>

namespace {

// A point stands for the middle of its pixel, so that a cell's centre and a point are measured
// in the same coordinates.
constexpr double kPixelMiddle = 0.5;

void judgeSignal(GridCell& cell, const std::vector<SpotValue>& spots,
                 const std::vector<size_t>& inside, const GridRules& rules) {
    cell.points = static_cast<uint32_t>(inside.size());
    cell.signal = CellResult::NotTested;
    if (inside.empty()) {
        return;
    }
    std::vector<double> values;
    values.reserve(inside.size());
    const double cx = cell.rect.x + cell.rect.w / 2.0;
    const double cy = cell.rect.y + cell.rect.h / 2.0;
    double nearest2 = 0.0;
    size_t nearest = inside.front();
    for (const size_t i : inside) {
        values.push_back(spots[i].dbm);
        const double dx = spots[i].x + kPixelMiddle - cx;
        const double dy = spots[i].y + kPixelMiddle - cy;
        // Strictly nearer: of equally near points the first in the survey stands.
        if (i == inside.front() || dx * dx + dy * dy < nearest2) {
            nearest2 = dx * dx + dy * dy;
            nearest = i;
        }
    }
    cell.minDbm = *std::min_element(values.begin(), values.end());
    cell.maxDbm = *std::max_element(values.begin(), values.end());
    if (rules.mode == CellMode::Centre) {
        cell.hasNearest = true;
        cell.pointX = spots[nearest].x;
        cell.pointY = spots[nearest].y;
        cell.offsetPx = std::sqrt(nearest2);
        if (cell.offsetPx > CentreTolerance(rules, cell.rect)) {
            return;
        }
        cell.dbm = spots[nearest].dbm;
    } else {
        if (values.size() < rules.minSamples) {
            return;
        }
        cell.dbm = PowerMeanDbm(values.data(), values.size());
    }
    cell.signal = cell.dbm >= rules.thresholdDbm ? CellResult::Pass : CellResult::Fail;
}

void judgeDaq(GridCell& cell, const GridRules& rules, const CellDaqMap* daq) {
    if (daq != nullptr) {
        const auto it = daq->find(cell.label);
        if (it != daq->end()) {
            cell.daq = it->second;
        }
    }
    const auto below = [&](double value) { return value >= 0.0 && value < rules.minDaq; };
    cell.daqFailed = (rules.minDaq > 0.0 && (below(cell.daq.down) || below(cell.daq.up))) ||
                     cell.daq.talkback == Talkback::Fail;
    cell.result =
        cell.signal == CellResult::Pass && cell.daqFailed ? CellResult::Fail : cell.signal;
}

// Each touching pair once: from every failing cell to the failing cells right of and below it.
void findAdjacent(const CellGroup& group, GroupResult& r) {
    const auto fails = [&](int row, int col) {
        return row >= 0 && row < group.rows && col >= 0 && col < group.cols &&
               r.cells[static_cast<size_t>(row) * group.cols + col].result != CellResult::Pass;
    };
    const int forward[][2] = {{0, 1}, {1, -1}, {1, 0}, {1, 1}};
    for (const size_t index : r.failing) {
        const GridCell& cell = r.cells[index];
        for (const auto& step : forward) {
            if (fails(cell.row + step[0], cell.col + step[1])) {
                r.adjacent.emplace_back(index,
                                        static_cast<size_t>(cell.row + step[0]) * group.cols +
                                            cell.col + step[1]);
            }
        }
    }
}

GroupResult judgeGroup(const std::vector<SpotValue>& spots, const CellGroup& group,
                       const GridRules& rules, const CellDaqMap* daq, bool sector) {
    const CGridLayout layout(group.rect, group.cols, group.rows);
    GroupResult r;
    r.cells.resize(layout.CellCount());
    std::vector<std::vector<size_t>> inside(layout.CellCount());
    for (size_t i = 0; i < spots.size(); ++i) {
        int row = 0;
        int col = 0;
        if (layout.Locate(spots[i].x, spots[i].y, row, col)) {
            inside[static_cast<size_t>(row) * group.cols + col].push_back(i);
        }
    }
    for (int row = 0; row < group.rows; ++row) {
        for (int col = 0; col < group.cols; ++col) {
            const size_t index = static_cast<size_t>(row) * group.cols + col;
            GridCell& cell = r.cells[index];
            cell.rect = layout.Cell(row, col);
            cell.row = row;
            cell.col = col;
            cell.label = CellLabel(group, row, col);
            judgeSignal(cell, spots, inside[index], rules);
            judgeDaq(cell, rules, daq);
            if (cell.result == CellResult::Pass) {
                ++r.passing;
            } else {
                r.failing.push_back(index);
            }
        }
    }
    findAdjacent(group, r);
    const auto cells = static_cast<uint32_t>(r.cells.size());
    r.sharePct = 100.0 * r.passing / cells;
    const double asked = sector ? rules.generalPct : rules.criticalPct;
    r.shareMet = asked <= 0.0 || ReachesRate(r.passing, cells, asked);
    if (sector) {
        r.countMet = (rules.maxFailing < 0 || r.failing.size() <= size_t(rules.maxFailing)) &&
                     (!rules.nonAdjacent || r.adjacent.empty());
    }
    r.pass = r.shareMet && r.countMet;
    return r;
}

} // namespace

double CentreTolerance(const GridRules& rules, const PlanRect& cell) {
    return rules.centreTolerancePx >= 0.0 ? rules.centreTolerancePx
                                          : std::min(cell.w, cell.h) / 4.0;
}

bool ReachesRate(uint32_t count, uint32_t total, double pct) {
    // count / total >= pct / 100, kept in products so that 9 of 10 meets 90 % exactly; the
    // tolerance only absorbs the binary fraction of a rate such as 92.3.
    return total > 0 && double(count) * 100.0 >= pct * double(total) - 1e-9;
}

GridTestResult RunGridTest(const std::vector<SpotValue>& spots, const FloorGrid& grid,
                           const GridRules& rules, const CellDaqMap* daq) {
    GridTestResult result;
    result.pass = !grid.sectors.empty();
    for (const CellGroup& group : grid.sectors) {
        result.sectors.push_back(judgeGroup(spots, group, rules, daq, true));
        result.pass = result.pass && result.sectors.back().pass;
    }
    for (const CellGroup& group : grid.critical) {
        result.critical.push_back(judgeGroup(spots, group, rules, daq, false));
        result.pass = result.pass && result.critical.back().pass;
    }
    return result;
}
