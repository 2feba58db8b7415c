// Viewport maths. Every division truncates toward zero, as C++ integer division does; products
// are formed in 64 bits so that a large picture on a large screen cannot overflow on the way.
#include "view/MapViewport.h"

namespace {

// a * b / c, truncating toward zero; the caller guarantees c != 0.
int32_t mulDiv(int32_t a, int32_t b, int32_t c) {
    return static_cast<int32_t>(static_cast<int64_t>(a) * b / c);
}

} // namespace

void CMapViewport::SetMapBounds(int32_t a, int32_t b, int32_t c, int32_t d) {
    m_nMinX = a;
    m_nMaxX = c - a;
    m_nMinY = b;
    m_nMaxY = d - b;
}

void CMapViewport::FitScale(int64_t& units, int64_t& pixels) const {
    // The larger of the two ratios picture/client, so the picture fits along both axes.
    if (static_cast<int64_t>(m_nFitWidth) * ClientHeight() >=
        static_cast<int64_t>(m_nFitHeight) * ClientWidth()) {
        units = m_nFitWidth;
        pixels = ClientWidth();
    } else {
        units = m_nFitHeight;
        pixels = ClientHeight();
    }
}

int32_t CMapViewport::ExtentX() const {
    return static_cast<int32_t>(ClientWidth() * m_nScaleUnits / m_nScalePixels);
}

int32_t CMapViewport::ExtentY() const {
    return static_cast<int32_t>(ClientHeight() * m_nScaleUnits / m_nScalePixels);
}

void CMapViewport::ResetView(int32_t a, int32_t b, int32_t c, int32_t d) {
    m_nFitWidth = c - a;
    m_nFitHeight = d - b;
    FitScale(m_nScaleUnits, m_nScalePixels);
    m_nCentreX = c / 2;
    m_nCentreY = d / 2;
    RebuildX();
    RebuildY();
}

void CMapViewport::SetClientSize(int32_t width, int32_t height) {
    const bool known = m_nClientWidth > 0 && m_nClientHeight > 0;
    m_nClientWidth = width > 0 ? width : 1;
    m_nClientHeight = height > 0 ? height : 1;
    if (!known) {
        // A level chosen before the client had a size means nothing: fit the picture afresh.
        FitScale(m_nScaleUnits, m_nScalePixels);
    }
    RebuildX();
    RebuildY();
}

bool CMapViewport::ZoomIn() {
    // Halve through the units where they are even, so the fraction stays small.
    int64_t units = m_nScaleUnits;
    int64_t pixels = m_nScalePixels;
    if (units % 2 == 0) {
        units /= 2;
    } else {
        pixels *= 2;
    }
    const int64_t w = ClientWidth() * units / pixels;
    const int64_t h = ClientHeight() * units / pixels;
    if (w < kMinViewExtent || h < kMinViewExtent) {
        return false;
    }
    m_nScaleUnits = units;
    m_nScalePixels = pixels;
    RebuildX();
    RebuildY();
    return true;
}

namespace {

// The centre along one axis after a zoom-out: inside [lo, hi] so that a view of this extent
// stays on the picture, or the picture's middle when the view is at least as large.
int32_t placeCentre(int32_t centre, int32_t extent, int32_t lo, int32_t hi) {
    if (extent >= hi - lo) {
        return lo + (hi - lo) / 2;
    }
    const int32_t left = centre - extent / 2;
    if (left < lo) {
        return centre + (lo - left);
    }
    if (left + extent > hi) {
        return centre - (left + extent - hi);
    }
    return centre;
}

} // namespace

void CMapViewport::ZoomOut() {
    if (m_nScalePixels % 2 == 0) {
        m_nScalePixels /= 2;
    } else {
        m_nScaleUnits *= 2;
    }
    int64_t fitUnits = 0;
    int64_t fitPixels = 1;
    FitScale(fitUnits, fitPixels);
    if (m_nScaleUnits * fitPixels > fitUnits * m_nScalePixels) {
        m_nScaleUnits = fitUnits;
        m_nScalePixels = fitPixels;
    }
    m_nCentreX = placeCentre(m_nCentreX, ExtentX(), m_nMinX, m_nMaxX);
    m_nCentreY = placeCentre(m_nCentreY, ExtentY(), m_nMinY, m_nMaxY);
    RebuildX();
    RebuildY();
}

void CMapViewport::RebuildX() {
    // Left takes the truncated half, right the rest: an odd extent is kept whole, so the
    // rectangle ResetView builds contains the whole picture.
    const int32_t extent = ExtentX();
    m_nLeft = m_nCentreX - extent / 2;
    m_nRight = m_nLeft + extent;
}

void CMapViewport::RebuildY() {
    const int32_t extent = ExtentY();
    m_nTop = m_nCentreY - extent / 2;
    m_nBottom = m_nTop + extent;
}

void CMapViewport::ScrollLeft(int32_t d) {
    m_nCentreX -= d;
    if (m_nCentreX < m_nMinX) {
        m_nCentreX = m_nMinX;
    }
    RebuildX();
}

void CMapViewport::ScrollRight(int32_t d) {
    m_nCentreX += d;
    if (m_nCentreX > m_nMaxX) {
        m_nCentreX = m_nMaxX;
    }
    RebuildX();
}

void CMapViewport::ScrollUp(int32_t d) {
    m_nCentreY -= d;
    if (m_nCentreY < m_nMinY) {
        m_nCentreY = m_nMinY;
    }
    RebuildY();
}

void CMapViewport::ScrollDown(int32_t d) {
    m_nCentreY += d;
    if (m_nCentreY > m_nMaxY) {
        m_nCentreY = m_nMaxY;
    }
    RebuildY();
}

void CMapViewport::SetCentreX(int32_t v) {
    m_nCentreX = v;
    if (m_nCentreX > m_nMaxX) {
        m_nCentreX = m_nMaxX;
    }
    if (m_nCentreX < 0) {
        m_nCentreX = 0;
    }
    RebuildX();
}

void CMapViewport::SetCentreY(int32_t v) {
    m_nCentreY = v;
    if (m_nCentreY > m_nMaxY) {
        m_nCentreY = m_nMaxY;
    }
    if (m_nCentreY < 0) {
        m_nCentreY = 0;
    }
    RebuildY();
}

ViewPoint CMapViewport::ScreenToMap(const ViewRect& client, const ViewPoint& point) const {
    // The point is taken as it is, not relative to the client's corner, which is always (0, 0).
    // A client without width or height has no point under it; its near edge stands in.
    const int32_t width = client.right - client.left;
    const int32_t height = client.bottom - client.top;
    ViewPoint map{m_nLeft, m_nTop};
    if (width != 0) {
        map.x += mulDiv(point.x, m_nRight - m_nLeft, width);
    }
    if (height != 0) {
        map.y += mulDiv(point.y, m_nBottom - m_nTop, height);
    }
    return map;
}

bool CMapViewport::ComputeBlit(ViewRect& dest, ViewRect& src) {
    const ViewRect client = dest;
    const int32_t w = m_nRight - m_nLeft;
    const int32_t h = m_nBottom - m_nTop;
    m_nMarginCount = 0;
    if (w <= 0 || h <= 0) {
        src = ViewRect{};
        m_margins[m_nMarginCount++] = {0, 0, client.right - client.left,
                                       client.bottom - client.top};
        return false;
    }

    if (m_nLeft <= 0) {
        dest.left = client.left - mulDiv(client.right - client.left, m_nLeft, w);
    }
    if (m_nTop <= 0) {
        dest.top = client.top - mulDiv(client.bottom - client.top, m_nTop, h);
    }
    // The strip past the far edge is measured on the whole client. (Scaling it by the part
    // right of D.left instead only works while the view never passes both edges at once, which
    // a view of the client's proportions around a narrower picture does.)
    if (m_nRight > m_nMaxX) {
        dest.right = client.right - mulDiv(m_nRight - m_nMaxX, client.right - client.left, w);
    }
    if (m_nBottom > m_nMaxY) {
        dest.bottom = client.bottom - mulDiv(m_nBottom - m_nMaxY, client.bottom - client.top, h);
    }

    src.left = m_nLeft >= 0 ? m_nLeft : 0;
    src.top = m_nTop >= 0 ? m_nTop : 0;
    src.right = m_nRight < m_nMaxX ? m_nRight : m_nMaxX;
    src.bottom = m_nBottom < m_nMaxY ? m_nBottom : m_nMaxY;

    const int32_t clientWidth = client.right - client.left;
    const int32_t clientHeight = client.bottom - client.top;
    if (m_nLeft <= 0) {
        m_margins[m_nMarginCount++] = {0, 0, dest.left, clientHeight};
    }
    if (m_nTop <= 0) {
        m_margins[m_nMarginCount++] = {0, 0, clientWidth, dest.top};
    }
    if (m_nRight > m_nMaxX) {
        m_margins[m_nMarginCount++] = {dest.right, 0, client.right, clientHeight};
    }
    if (m_nBottom > m_nMaxY) {
        m_margins[m_nMarginCount++] = {0, dest.bottom, clientWidth, client.bottom};
    }
    return true;
}

ViewRect CMapViewport::GetMargin(int index) const {
    if (index < 0 || index >= m_nMarginCount) {
        return ViewRect{};
    }
    return m_margins[index];
}
