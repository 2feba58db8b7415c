// Grid layout: cell edges at ceil(w * c / cols), so that the cell of a point is plain integer
// division and no point can fall between two cells or into both.
#include "analysis/GridLayout.h"

#include <cmath>

namespace {

int64_t edge(int32_t length, int index, int parts) {
    // ceil(length * index / parts) for non-negative operands.
    return (int64_t{length} * index + parts - 1) / parts;
}

} // namespace

bool PlanRect::Contains(int32_t px, int32_t py) const {
    return int64_t{px} >= x && int64_t{px} < int64_t{x} + w && int64_t{py} >= y &&
           int64_t{py} < int64_t{y} + h;
}

bool PlanRect::Intersects(const PlanRect& o) const {
    return int64_t{x} < int64_t{o.x} + o.w && int64_t{o.x} < int64_t{x} + w &&
           int64_t{y} < int64_t{o.y} + o.h && int64_t{o.y} < int64_t{y} + h;
}

bool PlanRect::Within(int32_t width, int32_t height) const {
    return w > 0 && h > 0 && x >= 0 && y >= 0 && int64_t{x} + w <= width &&
           int64_t{y} + h <= height;
}

CGridLayout::CGridLayout(const PlanRect& area, int cols, int rows)
    : m_area(area), m_cols(cols), m_rows(rows) {}

void CGridLayout::NearSquare(int cellCount, int32_t w, int32_t h, int& cols, int& rows) {
    cols = cellCount;
    rows = 1;
    double best = -1.0;
    for (int c = cellCount; c >= 1; --c) {
        if (cellCount % c != 0) {
            continue;
        }
        const int r = cellCount / c;
        const double skew = Skew(w, h, c, r);
        if (best < 0.0 || skew < best - 1e-12) {
            best = skew;
            cols = c;
            rows = r;
        }
    }
}

double CGridLayout::Skew(int32_t w, int32_t h, int cols, int rows) {
    // How far a cell's width-to-height ratio is from 1, the same either way round.
    return std::fabs(std::log((double(w) / cols) / (double(h) / rows)));
}

std::string CGridLayout::Label(int row, int col) {
    std::string letters;
    for (int n = row + 1; n > 0; n = (n - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    }
    return letters + std::to_string(col + 1);
}

PlanRect CGridLayout::Cell(int row, int col) const {
    const int64_t x0 = edge(m_area.w, col, m_cols);
    const int64_t x1 = edge(m_area.w, col + 1, m_cols);
    const int64_t y0 = edge(m_area.h, row, m_rows);
    const int64_t y1 = edge(m_area.h, row + 1, m_rows);
    return {static_cast<int32_t>(m_area.x + x0), static_cast<int32_t>(m_area.y + y0),
            static_cast<int32_t>(x1 - x0), static_cast<int32_t>(y1 - y0)};
}

bool CGridLayout::Locate(int32_t px, int32_t py, int& row, int& col) const {
    if (!m_area.Contains(px, py)) {
        return false;
    }
    // A point at offset d lies in cell c exactly when ceil(w * c / n) <= d, that is c <= d * n / w.
    col = static_cast<int>((int64_t{px} - m_area.x) * m_cols / m_area.w);
    row = static_cast<int>((int64_t{py} - m_area.y) * m_rows / m_area.h);
    return true;
}
