// Plain rectangle and point types shared by the viewport maths and the map view; no Qt here so
// the viewport stays in the core and is tested without a display.
#pragma once

#include <cstdint>

// Edges in the usual window convention: right and bottom lie one past the last pixel.
struct ViewRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct ViewPoint {
    int32_t x = 0;
    int32_t y = 0;
};

inline bool operator==(const ViewRect& a, const ViewRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline bool operator==(const ViewPoint& a, const ViewPoint& b) {
    return a.x == b.x && a.y == b.y;
}
