// Which part of the site picture the map screen shows, how client pixels relate to map pixels,
// and which strips of the client area lie beyond the picture. Integer maths only, no Qt.
// Map pixels stay square: the view rectangle always has the client's proportions, and its size
// follows from the zoom level (map units per client pixel) and the client's size.
#pragma once

#include <cstdint>

#include "view/ViewGeometry.h"

class CMapViewport {
public:
    static constexpr int kMaxMargins = 4;
    // Zooming in stops before the view would show fewer map pixels than this on either axis, so
    // the view rectangle never collapses and the blit never divides by a zero extent.
    static constexpr int32_t kMinViewExtent = 8;
    static constexpr int32_t kNewPointRadius = 10;

    CMapViewport() = default;
    virtual ~CMapViewport() = default;

    void SetMapBounds(int32_t a, int32_t b, int32_t c, int32_t d);
    // The smallest rectangle of the client's proportions around (a, b)..(c, d), centred on
    // (c/2, d/2): the zoom level at which the whole picture just fits.
    void ResetView(int32_t a, int32_t b, int32_t c, int32_t d);
    // The client's size in pixels. A new size keeps the zoom level and the centre, so the view
    // shows more or less of the map rather than stretching it. Sizes below one count as one.
    void SetClientSize(int32_t width, int32_t height);

    // Halves the view about the centre. False (and nothing changed) when the halved view would
    // fall below kMinViewExtent.
    bool ZoomIn();
    // Doubles the view, never beyond the whole-picture fit, then moves the centre inward so the
    // view stays on the picture along each axis where it is smaller than the picture, and
    // centres it on the picture along an axis where it is not.
    void ZoomOut();

    void ScrollLeft(int32_t d);
    void ScrollRight(int32_t d);
    void ScrollUp(int32_t d);
    void ScrollDown(int32_t d);
    void SetCentreX(int32_t v);
    void SetCentreY(int32_t v);

    // The map point under a client point, changing nothing: a tap's point goes to the controller,
    // which centres the map on it or holds it as the point pressed and held.
    ViewPoint ScreenToMap(const ViewRect& client, const ViewPoint& point) const;

    int32_t GetCentreX() const { return m_nCentreX; }
    int32_t GetCentreY() const { return m_nCentreY; }

    // dest comes in as the client rectangle and goes out as where the picture lands; src gets
    // the part of the picture to copy. Returns false, with the whole client as the one margin,
    // when the view rectangle has no extent (nothing opened yet): there is nothing to copy.
    bool ComputeBlit(ViewRect& dest, ViewRect& src);
    int GetMarginCount() const { return m_nMarginCount; }
    ViewRect GetMargin(int index) const;

    // Read-only views of the state, for the view and for tests.
    int32_t GetMinX() const { return m_nMinX; }
    int32_t GetMaxX() const { return m_nMaxX; }
    int32_t GetMinY() const { return m_nMinY; }
    int32_t GetMaxY() const { return m_nMaxY; }
    ViewRect GetViewRect() const { return {m_nLeft, m_nTop, m_nRight, m_nBottom}; }

private:
    // View extents at the current zoom level: the client's size in map units.
    int32_t ExtentX() const;
    int32_t ExtentY() const;
    void FitScale(int64_t& units, int64_t& pixels) const;
    int32_t ClientWidth() const { return m_nClientWidth > 0 ? m_nClientWidth : 1; }
    int32_t ClientHeight() const { return m_nClientHeight > 0 ? m_nClientHeight : 1; }
    void RebuildX();
    void RebuildY();

    int32_t m_nMinX = 0;
    int32_t m_nMaxX = 0;
    int32_t m_nMinY = 0;
    int32_t m_nMaxY = 0;
    int32_t m_nLeft = 0;
    int32_t m_nRight = 0;
    int32_t m_nTop = 0;
    int32_t m_nBottom = 0;
    int32_t m_nCentreX = 0;
    int32_t m_nCentreY = 0;
    ViewRect m_margins[kMaxMargins];
    int m_nMarginCount = 0;
    // Zoom level as an exact fraction, so that resizing and zooming never drift: m_nScaleUnits
    // map units per m_nScalePixels client pixels. The fit level is that of the rectangle
    // ResetView was given, on the current client.
    int64_t m_nScaleUnits = 0;
    int64_t m_nScalePixels = 1;
    int32_t m_nFitWidth = 0;
    int32_t m_nFitHeight = 0;
    int32_t m_nClientWidth = 0; // 0 until the client's size is known
    int32_t m_nClientHeight = 0;
};
