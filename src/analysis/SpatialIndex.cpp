// The bucket grid: spots sorted by cell (a counting sort), cells addressed by offset.
#include "analysis/SpatialIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// More cells than this per spot only costs memory and empty visits.
constexpr double kMaxCellsPerSpot = 4.0;
constexpr double kMinCells = 64.0;

} // namespace

CSpatialIndex::CSpatialIndex(const std::vector<SpotValue>& spots, double cellSize)
    : m_spots(spots) {
    double minX = 0.0;
    double minY = 0.0;
    double maxX = 0.0;
    double maxY = 0.0;
    for (size_t i = 0; i < spots.size(); ++i) {
        minX = i == 0 ? spots[i].x : std::min(minX, static_cast<double>(spots[i].x));
        minY = i == 0 ? spots[i].y : std::min(minY, static_cast<double>(spots[i].y));
        maxX = i == 0 ? spots[i].x : std::max(maxX, static_cast<double>(spots[i].x));
        maxY = i == 0 ? spots[i].y : std::max(maxY, static_cast<double>(spots[i].y));
    }
    m_originX = minX;
    m_originY = minY;
    m_cellSize = std::isfinite(cellSize) && cellSize >= 1.0 ? cellSize : 1.0;
    const double maxCells = kMinCells + kMaxCellsPerSpot * static_cast<double>(spots.size());
    auto extent = [&](double span) { return std::floor(span / m_cellSize) + 1.0; };
    while (extent(maxX - minX) * extent(maxY - minY) > maxCells) {
        m_cellSize *= 2.0;
    }
    m_columns = static_cast<int>(extent(maxX - minX));
    m_rows = static_cast<int>(extent(maxY - minY));

    const size_t cells = static_cast<size_t>(m_columns) * static_cast<size_t>(m_rows);
    m_cellStart.assign(cells + 1, 0);
    std::vector<uint32_t> cellOf(spots.size());
    for (size_t i = 0; i < spots.size(); ++i) {
        cellOf[i] = static_cast<uint32_t>(CellY(spots[i].y) * m_columns + CellX(spots[i].x));
        ++m_cellStart[cellOf[i] + 1];
    }
    for (size_t c = 0; c < cells; ++c) {
        m_cellStart[c + 1] += m_cellStart[c];
    }
    m_order.resize(spots.size());
    std::vector<uint32_t> fill(m_cellStart.begin(), m_cellStart.end() - 1);
    for (size_t i = 0; i < spots.size(); ++i) {
        m_order[fill[cellOf[i]]++] = static_cast<uint32_t>(i);
    }
}

int CSpatialIndex::CellX(double x) const {
    return static_cast<int>(
        std::clamp(std::floor((x - m_originX) / m_cellSize), -1.0, static_cast<double>(m_columns)));
}

int CSpatialIndex::CellY(double y) const {
    return static_cast<int>(
        std::clamp(std::floor((y - m_originY) / m_cellSize), -1.0, static_cast<double>(m_rows)));
}

template <typename Visit> void CSpatialIndex::ForEachIn(int cx, int cy, Visit&& visit) const {
    if (cx < 0 || cy < 0 || cx >= m_columns || cy >= m_rows) {
        return;
    }
    const size_t cell =
        static_cast<size_t>(cy) * static_cast<size_t>(m_columns) + static_cast<size_t>(cx);
    for (uint32_t k = m_cellStart[cell]; k < m_cellStart[cell + 1]; ++k) {
        visit(m_order[k]);
    }
}

void CSpatialIndex::Candidates(double x0, double y0, double x1, double y1,
                               std::vector<uint32_t>& out) const {
    if (m_spots.empty()) {
        return;
    }
    const int cx0 = std::max(CellX(x0), 0);
    const int cy0 = std::max(CellY(y0), 0);
    const int cx1 = std::min(CellX(x1), m_columns - 1);
    const int cy1 = std::min(CellY(y1), m_rows - 1);
    for (int cy = cy0; cy <= cy1; ++cy) {
        for (int cx = cx0; cx <= cx1; ++cx) {
            ForEachIn(cx, cy, [&out](uint32_t i) { out.push_back(i); });
        }
    }
}

bool CSpatialIndex::NearestOther(size_t i, size_t& nearest, double& distance) const {
    if (m_spots.size() < 2 || i >= m_spots.size()) {
        return false;
    }
    const SpotValue& from = m_spots[i];
    const int cx = CellX(from.x);
    const int cy = CellY(from.y);
    double best = std::numeric_limits<double>::infinity();
    size_t bestIndex = m_spots.size();
    auto consider = [&](uint32_t j) {
        if (j == i) {
            return;
        }
        const double dx = static_cast<double>(m_spots[j].x) - from.x;
        const double dy = static_cast<double>(m_spots[j].y) - from.y;
        const double d2 = dx * dx + dy * dy;
        if (d2 < best || (d2 == best && j < bestIndex)) {
            best = d2;
            bestIndex = j;
        }
    };
    const int lastRing = std::max(m_columns, m_rows);
    for (int ring = 0; ring <= lastRing; ++ring) {
        for (int dy = -ring; dy <= ring; ++dy) {
            const bool edgeRow = dy == -ring || dy == ring;
            // Inner rows of the ring hold only its left and right cells.
            for (int dx = -ring; dx <= ring; dx += edgeRow || ring == 0 ? 1 : 2 * ring) {
                ForEachIn(cx + dx, cy + dy, consider);
            }
        }
        // Spots in the next ring lie at least ring cells away; one exactly that far may still
        // win a tie by its index.
        const double reach = ring * m_cellSize;
        if (bestIndex < m_spots.size() && best < reach * reach) {
            break;
        }
    }
    nearest = bestIndex;
    distance = std::sqrt(best);
    return true;
}
