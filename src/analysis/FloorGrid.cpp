// Floor grid: sectors by the same near-square search as cells, critical areas split by the
// floor's nominal cell size.
#include "analysis/FloorGrid.h"

#include <algorithm>
#include <cmath>

namespace {

// Longest side of a sector to its shortest.
constexpr double kMaxSectorAspect = 2.0;

double areaSqFt(const PlanRect& r, double pixelsPerFoot) {
    return double(r.w) / pixelsPerFoot * (double(r.h) / pixelsPerFoot);
}

bool sectorsFit(const CGridLayout& layout, double pixelsPerFoot) {
    for (int row = 0; row < layout.Rows(); ++row) {
        for (int col = 0; col < layout.Cols(); ++col) {
            if (areaSqFt(layout.Cell(row, col), pixelsPerFoot) > kLargeFloorSqFt) {
                return false;
            }
        }
    }
    return true;
}

std::vector<PlanRect> cellsOf(const CGridLayout& layout) {
    std::vector<PlanRect> cells;
    for (int row = 0; row < layout.Rows(); ++row) {
        for (int col = 0; col < layout.Cols(); ++col) {
            cells.push_back(layout.Cell(row, col));
        }
    }
    return cells;
}

bool fits(const CellGroup& g, std::string& why) {
    if (g.cols <= g.rect.w && g.rows <= g.rect.h) {
        return true;
    }
    why = "a " + std::to_string(g.cols) + " x " + std::to_string(g.rows) + " grid does not fit " +
          (g.name.empty() ? std::string("the area") : g.name) + " of " + std::to_string(g.rect.w) +
          " x " + std::to_string(g.rect.h) + " pixels";
    return false;
}

} // namespace

bool FloorSectors(const PlanRect& area, double pixelsPerFoot, std::vector<PlanRect>& sectors) {
    sectors.clear();
    if (!(pixelsPerFoot > 0.0) || areaSqFt(area, pixelsPerFoot) <= kLargeFloorSqFt) {
        sectors.push_back(area);
        return true;
    }
    const double exact = areaSqFt(area, pixelsPerFoot) / kLargeFloorSqFt;
    if (!(exact <= kMaxSectors)) {
        return false;
    }
    const int needed = static_cast<int>(std::ceil(exact - 1e-9));
    for (int n = needed; n <= 4 * needed; ++n) {
        int bestCols = 0;
        int bestRows = 0;
        double bestSkew = 0.0;
        for (int cols = 1; cols <= n; ++cols) {
            const int rows = n / cols;
            if (n % cols != 0 || cols > area.w || rows > area.h) {
                continue;
            }
            const double skew = CGridLayout::Skew(area.w, area.h, cols, rows);
            const CGridLayout layout(area, cols, rows);
            if (skew <= std::log(kMaxSectorAspect) && sectorsFit(layout, pixelsPerFoot) &&
                (bestCols == 0 || skew < bestSkew - 1e-12)) {
                bestCols = cols;
                bestRows = rows;
                bestSkew = skew;
            }
        }
        if (bestCols > 0) {
            sectors = cellsOf(CGridLayout(area, bestCols, bestRows));
            return true;
        }
    }
    // A floor too thin for sectors of sensible shape: strips across its length.
    int cols = 0;
    int rows = 0;
    CGridLayout::NearSquare(needed, area.w, area.h, cols, rows);
    sectors = cellsOf(CGridLayout(area, std::min(cols, area.w), std::min(rows, area.h)));
    return true;
}

std::string CellLabel(const CellGroup& group, int row, int col) {
    return group.prefix + CGridLayout::Label(row, col);
}

bool MakeFloorGrid(const PlanRect& area, int cols, int rows, double pixelsPerFoot,
                   const std::vector<CriticalArea>& critical, FloorGrid& out, std::string& why) {
    out = FloorGrid{};
    out.area = area;
    std::vector<PlanRect> sectors;
    if (!FloorSectors(area, pixelsPerFoot, sectors)) {
        why = "at this scale the area under test is over " + std::to_string(kMaxSectors) +
              " sectors of 128,000 sq ft: check the scale";
        return false;
    }
    out.sectored = sectors.size() > 1;
    for (size_t i = 0; i < sectors.size(); ++i) {
        CellGroup g;
        g.rect = sectors[i];
        if (out.sectored) {
            g.name = "Sector " + std::to_string(i + 1);
            g.prefix = "S" + std::to_string(i + 1) + "-";
        }
        g.cols = cols;
        g.rows = rows;
        if (cols <= 0 || rows <= 0) {
            CGridLayout::NearSquare(kDefaultCellCount, g.rect.w, g.rect.h, g.cols, g.rows);
        }
        if (!fits(g, why)) {
            return false;
        }
        out.sectors.push_back(g);
    }
    // A critical area's cells are no larger than the floor's, so a small room is one cell and a
    // long stair is judged along its length.
    const CellGroup& first = out.sectors.front();
    const double cellW = double(first.rect.w) / first.cols;
    const double cellH = double(first.rect.h) / first.rows;
    for (size_t i = 0; i < critical.size(); ++i) {
        CellGroup g;
        g.name = critical[i].name;
        g.prefix = "C" + std::to_string(i + 1) + "-";
        g.rect = critical[i].rect;
        g.cols = std::clamp(static_cast<int>(std::ceil(g.rect.w / cellW - 1e-9)), 1, g.rect.w);
        g.rows = std::clamp(static_cast<int>(std::ceil(g.rect.h / cellH - 1e-9)), 1, g.rect.h);
        out.critical.push_back(g);
    }
    return true;
}
