// The map canvas: the site's picture as the map screen copies it, with the survey's circles
// painted into it, in the pixels of the picture itself. It keeps the picture and the circles it
// painted, so a deleted point's circle can go and the plan under it show again, exactly as a
// canvas painted afresh with the remaining points would; and the picture's own 8-bit pixels, for
// the coverage layer to colour.
#pragma once

#include <QBrush>
#include <QImage>
#include <QRect>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "view/CirclePens.h"

// The plan as its file holds it: 256 palette colours (0x00RRGGBB) and one entry per pixel, top
// row first. Shared and never changed once made, so a worker can read it while the map goes on.
struct PlanPixels {
    int32_t width = 0;
    int32_t height = 0;
    uint32_t palette[256] = {};
    std::vector<uint8_t> indices;
};

class CMapCanvas {
public:
    static constexpr int kPaletteSize = 256;

    CMapCanvas();

    // Builds the canvas from an 8-bit picture. palette holds 256 colours as 0x00RRGGBB (a
    // little-endian read of a bitmap colour-table entry); pixels holds height rows of stride
    // bytes, the first row at the top unless bottomUp. Returns false and changes nothing when
    // the sizes do not add up or the canvas cannot be allocated.
    bool SetPicture(int32_t width, int32_t height, const uint32_t* palette, const uint8_t* pixels,
                    size_t pixelBytes, int32_t stride, bool bottomUp);

    bool IsNull() const { return m_image.isNull(); }
    int32_t Width() const { return m_image.width(); }
    int32_t Height() const { return m_image.height(); }
    const QImage& Image() const { return m_image; }
    // The plan alone, and its 8-bit pixels (null before a picture is set).
    const QImage& Picture() const { return m_picture; }
    const std::shared_ptr<const PlanPixels>& Plan() const { return m_plan; }

    // The circle of a point at (x, y) coloured by its strongest reading.
    void ImprintPoint(int32_t x, int32_t y, int16_t rssi);
    // Removes the circle of the first point painted at (x, y) (a delete takes the first of
    // points at one place), repainting the plan and the other circles where it was.
    void RemovePoint(int32_t x, int32_t y);

    // The bands the circles are coloured in (the handheld's until set); every circle is painted
    // again in the new colours.
    void SetCircleBands(const CBandSet& bands);
    // The circles in the order they were painted, and the serial of the newest one painted.
    const std::vector<MapCircle>& Circles() const { return m_circles; }
    uint64_t LastSerial() const { return m_nextSerial - 1; }
    // Paints into image, clipped to area, every circle that reaches it, in order; those with a
    // serial above after only.
    void PaintCircles(QImage& image, const QRect& area, uint64_t after = 0) const;

    const QBrush& WhiteBrush() const { return m_whiteBrush; }

private:
    QImage m_picture; // the plan alone
    QImage m_image;   // the plan with the circles
    std::shared_ptr<const PlanPixels> m_plan;
    std::vector<MapCircle> m_circles;
    uint64_t m_nextSerial = 1;
    CCirclePens m_pens;
    QBrush m_whiteBrush;
};
