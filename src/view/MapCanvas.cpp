// The map canvas: the picture converted once, and the circles drawn into it.
#include "view/MapCanvas.h"

#include <QPainter>

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
    m_image = std::move(canvas);
    return true;
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
    const int32_t r = CMapViewport::kNewPointRadius;
    DrawCircle(QRect(x - r, y - r, 2 * r, 2 * r), static_cast<int>(RssiBandOf(rssi)));
}

void CMapCanvas::EraseAt(int32_t x, int32_t y) {
    const int32_t r = CMapViewport::kEraseRadius;
    DrawCircle(QRect(x - r, y - r, 2 * r, 2 * r), kWhiteIndex);
}
