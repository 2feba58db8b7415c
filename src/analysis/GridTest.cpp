// Grid test: spots into cells, one value per cell, critical areas apart, then the verdict.
#include "analysis/GridTest.h"

#include <algorithm>

namespace {

struct ProfileInfo {
    GridProfile profile;
    const char* key;
    const char* name;
    PassRates rates;
};

constexpr ProfileInfo kProfiles[] = {
    {GridProfile::Nfpa1221, "nfpa1221", "NFPA 1221-2016 / NFPA 72-2013", {90.0, 99.0}},
    {GridProfile::Ifc2009, "ifc2009", "IFC 2009", {95.0, 99.0}},
    {GridProfile::Nfpa1225, "nfpa1225", "NFPA 1225", {95.0, 99.0}},
};

const ProfileInfo& infoOf(GridProfile profile) {
    for (const ProfileInfo& p : kProfiles) {
        if (p.profile == profile) {
            return p;
        }
    }
    return kProfiles[0];
}

double squaredDistance(double ax, double ay, double bx, double by) {
    return (ax - bx) * (ax - bx) + (ay - by) * (ay - by);
}

// The cell's value from the spots inside it, given by index into spots.
void judgeCell(GridCell& cell, const std::vector<SpotValue>& spots,
               const std::vector<size_t>& inside, const GridTestSettings& settings) {
    cell.points = static_cast<uint32_t>(inside.size());
    if (inside.empty()) {
        cell.result = CellResult::NotTested;
        return;
    }
    std::vector<double> values;
    values.reserve(inside.size());
    const double cx = cell.rect.x + cell.rect.w / 2.0;
    const double cy = cell.rect.y + cell.rect.h / 2.0;
    size_t nearest = inside.front();
    for (const size_t i : inside) {
        values.push_back(spots[i].dbm);
        // The first of equally near points, in survey order, so the choice never wavers.
        if (squaredDistance(spots[i].x, spots[i].y, cx, cy) <
            squaredDistance(spots[nearest].x, spots[nearest].y, cx, cy)) {
            nearest = i;
        }
    }
    cell.minDbm = *std::min_element(values.begin(), values.end());
    cell.maxDbm = *std::max_element(values.begin(), values.end());
    cell.pointX = spots[nearest].x;
    cell.pointY = spots[nearest].y;
    cell.dbm = settings.mode == CellMode::Centre ? spots[nearest].dbm
                                                 : PowerMeanDbm(values.data(), values.size());
    cell.result = cell.dbm >= settings.thresholdDbm ? CellResult::Pass : CellResult::Fail;
}

} // namespace

PassRates RatesOf(GridProfile profile) {
    return infoOf(profile).rates;
}

const char* ProfileKey(GridProfile profile) {
    return infoOf(profile).key;
}

const char* ProfileName(GridProfile profile) {
    return infoOf(profile).name;
}

bool ProfileFromKey(const std::string& key, GridProfile& profile) {
    for (const ProfileInfo& p : kProfiles) {
        if (key == p.key) {
            profile = p.profile;
            return true;
        }
    }
    return false;
}

bool ReachesRate(uint32_t count, uint32_t total, double pct) {
    // count / total >= pct / 100, kept in products so that 9 of 10 meets 90 % exactly; the
    // tolerance only absorbs the binary fraction of a rate such as 92.3.
    return total > 0 && double(count) * 100.0 >= pct * double(total) - 1e-9;
}

GridTestResult RunGridTest(const std::vector<SpotValue>& spots, const GridTestSettings& settings) {
    const CGridLayout layout(settings.area, settings.cols, settings.rows);
    GridTestResult result;
    result.cells.resize(layout.CellCount());
    std::vector<std::vector<size_t>> inside(layout.CellCount());
    for (size_t i = 0; i < spots.size(); ++i) {
        int row = 0;
        int col = 0;
        if (layout.Locate(spots[i].x, spots[i].y, row, col)) {
            inside[static_cast<size_t>(row) * settings.cols + col].push_back(i);
        }
    }
    for (int row = 0; row < settings.rows; ++row) {
        for (int col = 0; col < settings.cols; ++col) {
            const size_t index = static_cast<size_t>(row) * settings.cols + col;
            GridCell& cell = result.cells[index];
            cell.rect = layout.Cell(row, col);
            cell.row = row;
            cell.col = col;
            cell.label = CGridLayout::Label(row, col);
            for (size_t a = 0; a < settings.critical.size(); ++a) {
                if (cell.rect.Intersects(settings.critical[a].rect)) {
                    cell.critical.push_back(a);
                }
            }
            judgeCell(cell, spots, inside[index], settings);
            if (cell.result == CellResult::Pass) {
                ++result.passingCells;
            } else {
                result.failing.push_back(index);
            }
        }
    }
    const auto cellCount = static_cast<uint32_t>(result.cells.size());
    result.generalPct = cellCount == 0 ? 0.0 : 100.0 * result.passingCells / cellCount;
    result.generalPass = ReachesRate(result.passingCells, cellCount, settings.rates.generalPct);

    bool criticalPass = true;
    for (const CriticalArea& area : settings.critical) {
        CriticalResult judged;
        for (const SpotValue& spot : spots) {
            if (area.rect.Contains(spot.x, spot.y)) {
                ++judged.points;
                judged.passing += spot.dbm >= settings.thresholdDbm ? 1 : 0;
            }
        }
        judged.sharePct = judged.points == 0 ? 0.0 : 100.0 * judged.passing / judged.points;
        judged.pass = ReachesRate(judged.passing, judged.points, settings.rates.criticalPct);
        criticalPass = criticalPass && judged.pass;
        result.critical.push_back(judged);
    }

    // Each touching pair once: from every failing cell to the failing cells right and below it.
    const auto fails = [&](int row, int col) {
        return row >= 0 && row < settings.rows && col >= 0 && col < settings.cols &&
               result.cells[static_cast<size_t>(row) * settings.cols + col].result !=
                   CellResult::Pass;
    };
    const int forward[][2] = {{0, 1}, {1, -1}, {1, 0}, {1, 1}};
    for (const size_t index : result.failing) {
        const GridCell& cell = result.cells[index];
        for (const auto& step : forward) {
            if (fails(cell.row + step[0], cell.col + step[1])) {
                result.adjacentFailures.emplace_back(
                    index,
                    static_cast<size_t>(cell.row + step[0]) * settings.cols + cell.col + step[1]);
            }
        }
    }
    result.pass = result.generalPass && criticalPass;
    return result;
}
