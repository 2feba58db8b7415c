// Grid-test cells: a rectangle of the plan split into columns and rows of whole pixels, labelled
// A1, A2, ... by row and column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A rectangle of plan pixels; it holds the points with x <= px < x + w and y <= py < y + h.
struct PlanRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;

    bool Contains(int32_t px, int32_t py) const;
    bool Intersects(const PlanRect& other) const;
    // Inside a picture of width by height pixels, and not empty.
    bool Within(int32_t width, int32_t height) const;
};

// Grid rules of the acceptance codes, in feet.
constexpr int kDefaultCellCount = 20;
constexpr double kMinCellSideFt = 20.0;
constexpr double kMaxCellSideFt = 80.0;
constexpr double kLargeFloorSqFt = 128000.0;
constexpr double kFeetPerMetre = 1.0 / 0.3048;
constexpr double kSquareFeetPerSquareMetre = kFeetPerMetre * kFeetPerMetre;

class CGridLayout {
public:
    // cols and rows of at least 1 and at most the area's width and height.
    CGridLayout(const PlanRect& area, int cols, int rows);

    // Of the layouts with exactly cellCount cells, the one whose cells are closest to square
    // (ties go to more columns).
    static void NearSquare(int cellCount, int32_t w, int32_t h, int& cols, int& rows);
    // How far from square cells of w / cols by h / rows are: |log(width / height)|.
    static double Skew(int32_t w, int32_t h, int cols, int rows);
    // "A1" for the first row and column; rows after Z go on AA, AB, ...
    static std::string Label(int row, int col);

    const PlanRect& Area() const { return m_area; }
    int Cols() const { return m_cols; }
    int Rows() const { return m_rows; }
    size_t CellCount() const { return static_cast<size_t>(m_cols) * static_cast<size_t>(m_rows); }
    // Cells differ by at most one pixel in width or height and tile the area exactly.
    PlanRect Cell(int row, int col) const;
    // The cell holding a point; false when the point lies outside the area.
    bool Locate(int32_t px, int32_t py, int& row, int& col) const;

private:
    PlanRect m_area;
    int m_cols;
    int m_rows;
};
