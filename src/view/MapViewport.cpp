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

void CMapViewport::ResetView(int32_t a, int32_t b, int32_t c, int32_t d) {
    m_nLeft = a;
    m_nRight = c - a;
    m_nTop = b;
    m_nBottom = d - b;
    m_nCentreX = c / 2;
    m_nCentreY = d / 2;
}

bool CMapViewport::ZoomIn() {
    const int32_t left = (m_nLeft + m_nCentreX) / 2;
    const int32_t right = (m_nCentreX + m_nRight) / 2;
    const int32_t top = (m_nTop + m_nCentreY) / 2;
    const int32_t bottom = (m_nCentreY + m_nBottom) / 2;
    if (right - left < kMinViewExtent || bottom - top < kMinViewExtent) {
        return false;
    }
    m_nLeft = left;
    m_nRight = right;
    m_nTop = top;
    m_nBottom = bottom;
    return true;
}

void CMapViewport::ZoomOut() {
    m_nLeft = 2 * m_nLeft - m_nCentreX;
    if (m_nLeft < m_nMinX) {
        m_nLeft = m_nMinX;
    }
    m_nRight = 2 * m_nRight - m_nCentreX;
    if (m_nRight > m_nMaxX) {
        m_nRight = m_nMaxX;
    }
    m_nTop = 2 * m_nTop - m_nCentreY;
    if (m_nTop < m_nMinY) {
        m_nTop = m_nMinY;
    }
    m_nBottom = 2 * m_nBottom - m_nCentreY;
    if (m_nBottom > m_nMaxY) {
        m_nBottom = m_nMaxY;
    }
    m_nCentreX = (m_nLeft + m_nRight) / 2;
    m_nCentreY = (m_nTop + m_nBottom) / 2;
}

void CMapViewport::RebuildX() {
    const int32_t half = (m_nRight - m_nLeft) / 2;
    m_nLeft = m_nCentreX - half;
    m_nRight = m_nCentreX + half;
}

void CMapViewport::RebuildY() {
    const int32_t half = (m_nBottom - m_nTop) / 2;
    m_nTop = m_nCentreY - half;
    m_nBottom = m_nCentreY + half;
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

ViewPoint CMapViewport::MapPointUnder(const ViewRect& client, const ViewPoint& point) const {
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

void CMapViewport::CentreOnScreenPoint(const ViewRect& client, const ViewPoint& point) {
    const ViewPoint map = MapPointUnder(client, point);
    SetCentreX(map.x);
    SetCentreY(map.y);
}

ViewPoint CMapViewport::ScreenToMap(const ViewRect& client, const ViewPoint& point) {
    const ViewPoint map = MapPointUnder(client, point);
    m_nHeldX = map.x;
    m_nHeldY = map.y;
    return map;
}

ViewRect CMapViewport::GetNewPointRect() const {
    return {m_nCentreX - kNewPointRadius, m_nCentreY - kNewPointRadius,
            m_nCentreX + kNewPointRadius, m_nCentreY + kNewPointRadius};
}

ViewRect CMapViewport::GetEraseRect() const {
    return {m_nHeldX - kEraseRadius, m_nHeldY - kEraseRadius, m_nHeldX + kEraseRadius,
            m_nHeldY + kEraseRadius};
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
    if (m_nRight > m_nMaxX) {
        dest.right = client.right - mulDiv(m_nRight - m_nMaxX, client.right - dest.left, w);
    }
    if (m_nBottom > m_nMaxY) {
        dest.bottom = client.bottom - mulDiv(m_nBottom - m_nMaxY, client.bottom - dest.top, h);
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
