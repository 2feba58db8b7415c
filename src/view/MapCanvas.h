// The map canvas: the site's picture as the map screen copies it, with the survey's circles
// painted into it, in the pixels of the picture itself. It keeps the picture and the circles it
// painted, so a deleted point's circle can go and the plan under it show again, exactly as a
// canvas painted afresh with the remaining points would.
#pragma once

#include <QBrush>
#include <QImage>
#include <QPen>
#include <QRect>
#include <cstddef>
#include <cstdint>
#include <vector>

class CMapCanvas {
public:
    static constexpr int kPaletteSize = 256;
    // The pen and brush index of the white disc that erases; 0 to 5 are the RSSI bands.
    static constexpr int kWhiteIndex = 6;

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

    // A filled circle of the given pen and brush within box; nothing before a picture is set.
    void DrawCircle(const QRect& box, int colourIndex);
    // The circle of a point at (x, y) coloured by its strongest reading.
    void ImprintPoint(int32_t x, int32_t y, int16_t rssi);
    // Removes the circle of the first point painted at (x, y) (a delete takes the first of
    // points at one place), repainting the plan and the other circles where it was.
    void RemovePoint(int32_t x, int32_t y);
    // The white disc a handheld painted over a deleted point.
    void PaintWhiteDisc(const QRect& box) { DrawCircle(box, kWhiteIndex); }

    const QBrush& Brush(int index) const { return m_brushes[index]; }

private:
    struct Circle {
        int32_t x;
        int32_t y;
        int colourIndex;
    };

    static QRect CircleBox(int32_t x, int32_t y);

    QImage m_picture; // the plan alone
    QImage m_image;   // the plan with the circles
    std::vector<Circle> m_circles;
    QPen m_pens[kWhiteIndex + 1];
    QBrush m_brushes[kWhiteIndex + 1];
};
