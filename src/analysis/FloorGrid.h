// The cells a floor is judged by: the floor (or the part under test) in one or more sectors, each
// with its own grid, and each critical area with a grid of its own whose cells are no larger
// than the floor's.
#pragma once

#include <string>
#include <vector>

#include "analysis/GridLayout.h"

struct CriticalArea {
    PlanRect rect;
    std::string name;
};

// One rectangle and its grid: a sector of the floor or a critical area.
struct CellGroup {
    std::string name;   // "" for a floor judged whole, "Sector 2", or the critical area's name
    std::string prefix; // before each cell label: "", "S2-", "C1-"
    PlanRect rect;
    int cols = 1;
    int rows = 1;
};

struct FloorGrid {
    PlanRect area;
    std::vector<CellGroup> sectors;
    std::vector<CellGroup> critical;
    bool sectored = false; // the floor was over 128,000 sq ft and was split
};

// A floor needing more sectors than this is a wrong scale, not a building.
constexpr int kMaxSectors = 100;

// Sectors at most 128,000 sq ft each, as few as keep them no more than twice as long as wide
// (more only where the floor's shape needs them); without a scale (pixelsPerFoot 0) or on a
// smaller floor the area is one sector. False when the floor would need over kMaxSectors.
bool FloorSectors(const PlanRect& area, double pixelsPerFoot, std::vector<PlanRect>& sectors);

// The whole layout. cols and rows 0: 20 near-square cells in each sector. False, with why,
// when the floor needs too many sectors or a grid does not fit its rectangle (more cells than
// pixels).
bool MakeFloorGrid(const PlanRect& area, int cols, int rows, double pixelsPerFoot,
                   const std::vector<CriticalArea>& critical, FloorGrid& out, std::string& why);

// The cell label with its group's prefix: "A1", "S2-B3", "C1-A2".
std::string CellLabel(const CellGroup& group, int row, int col);
