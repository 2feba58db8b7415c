// The map canvas: the picture converted once, and the circles drawn into it.
#include "view/MapCanvas.h"

#include <QPainter>
#include <algorithm>

#include "analysis/RssiBands.h"
#include "view/MapViewport.h"

namespace {
constexpr int kWhitePenWidth = 2;
} // namespace

CMapCanvas::CMapCanvas() {
    for (int band = 0; band < kWhiteIndex; ++band) {
        const BandColour c = ColourOfBand(static_cast<RssiBand>(band));
        const QColor colour(c.red, c.green, c.blue);
        m_pens[band] = QPen(colour, c.penWidth, Qt::SolidLine);
        m_brushes[band] = QBrush(colour, Qt::SolidPattern);
    }
    m_pens[kWhiteIndex] = QPen(Qt::white, kWhitePenWidth, Qt::SolidLine);
    m_brushes[kWhiteIndex] = QBrush(Qt::white, Qt::SolidPattern);
}

bool CMapCanvas::SetPicture(int32_t width, int32_t height, const uint32_t* palette,
                            const uint8_t* pixels, size_t pixelBytes, int32_t stride,
                            bool bottomUp) {
    if (width <= 0 || height <= 0 || stride < width || palette == nullptr || pixels == nullptr) {
        return false;
    }
    const uint64_t needed = static_cast<uint64_t>(stride) * static_cast<uint64_t>(height - 1) +
                            static_cast<uint64_t>(width);
    if (pixelBytes < needed) {
        return false;
    }
    QImage canvas(width, height, QImage::Format_RGB32);
    if (canvas.isNull()) {
        return false;
    }
    QRgb colours[kPaletteSize];
    for (int i = 0; i < kPaletteSize; ++i) {
        colours[i] = 0xFF000000u | (palette[i] & 0x00FFFFFFu);
    }
    for (int32_t y = 0; y < height; ++y) {
        const int32_t sourceRow = bottomUp ? height - 1 - y : y;
        const uint8_t* in = pixels + static_cast<size_t>(sourceRow) * static_cast<size_t>(stride);
        QRgb* out = reinterpret_cast<QRgb*>(canvas.scanLine(y));
        for (int32_t x = 0; x < width; ++x) {
            out[x] = colours[in[x]];
        }
    }
    m_picture = canvas;
    m_image = std::move(canvas);
    m_circles.clear();
    return true;
}

QRect CMapCanvas::CircleBox(int32_t x, int32_t y) {
    const int32_t r = CMapViewport::kNewPointRadius;
    return QRect(x - r, y - r, 2 * r, 2 * r);
}

void CMapCanvas::DrawCircle(const QRect& box, int colourIndex) {
    if (m_image.isNull()) {
        return;
    }
    QPainter painter(&m_image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(m_pens[colourIndex]);
    painter.setBrush(m_brushes[colourIndex]);
    painter.drawEllipse(box);
}

void CMapCanvas::ImprintPoint(int32_t x, int32_t y, int16_t rssi) {
    if (m_image.isNull()) {
        return;
    }
    const Circle circle{x, y, static_cast<int>(RssiBandOf(rssi))};
    m_circles.push_back(circle);
    DrawCircle(CircleBox(x, y), circle.colourIndex);
}

void CMapCanvas::RemovePoint(int32_t x, int32_t y) {
    const auto it = std::find_if(m_circles.begin(), m_circles.end(),
                                 [&](const Circle& c) { return c.x == x && c.y == y; });
    if (it == m_circles.end()) {
        return;
    }
    m_circles.erase(it);
    // The pen draws on the box's edge: a pixel either side covers every pixel it touched.
    const QRect area = CircleBox(x, y).adjusted(-1, -1, 2, 2).intersected(m_image.rect());
    if (area.isEmpty()) {
        return;
    }
    QPainter painter(&m_image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(area.topLeft(), m_picture, area);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setClipRect(area);
    // In the order they were painted, so overlapping circles cover one another as before.
    for (const Circle& c : m_circles) {
        if (CircleBox(c.x, c.y).adjusted(-1, -1, 2, 2).intersects(area)) {
            painter.setPen(m_pens[c.colourIndex]);
            painter.setBrush(m_brushes[c.colourIndex]);
            painter.drawEllipse(CircleBox(c.x, c.y));
        }
    }
}
