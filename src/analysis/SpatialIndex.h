// A bucket grid over the measured spots of a plan, so that a question about one place looks only
// at the spots near it: the fields ask for the spots around a tile of pixels, the default radius
// for each spot's nearest neighbour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/SpotValues.h"

class CSpatialIndex {
public:
    // Indexes spots (kept by reference: they must outlive the index) in square cells of about
    // cellSize plan pixels; cells grow when that would make far more cells than spots.
    CSpatialIndex(const std::vector<SpotValue>& spots, double cellSize);

    // Appends to out the indexes of the spots in every cell that touches the rectangle
    // [x0, x1] x [y0, y1]: all spots inside it and some near it; callers measure the distance.
    void Candidates(double x0, double y0, double x1, double y1, std::vector<uint32_t>& out) const;

    // The spot nearest to spot i, other than i itself, and its distance; false with fewer than
    // two spots. Ties go to the lower index.
    bool NearestOther(size_t i, size_t& nearest, double& distance) const;

    double CellSize() const { return m_cellSize; }

private:
    int CellX(double x) const;
    int CellY(double y) const;
    // Visits the spots of cell (cx, cy); a cell outside the grid holds none.
    template <typename Visit> void ForEachIn(int cx, int cy, Visit&& visit) const;

    const std::vector<SpotValue>& m_spots;
    double m_cellSize = 1.0;
    double m_originX = 0.0;
    double m_originY = 0.0;
    int m_columns = 1;
    int m_rows = 1;
    std::vector<uint32_t> m_cellStart; // m_columns * m_rows + 1 offsets into m_order
    std::vector<uint32_t> m_order;     // spot indexes, cell by cell
};
