// The map canvas: the picture converted once, and the circles drawn into it.
#include "view/MapCanvas.h"

#include <QPainter>
#include <algorithm>

CMapCanvas::CMapCanvas()
    : m_pens(CBandSet::Handheld()), m_whiteBrush(Qt::white, Qt::SolidPattern) {}

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
    auto plan = std::make_shared<PlanPixels>();
    plan->width = width;
    plan->height = height;
    plan->indices.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    QRgb colours[kPaletteSize];
    for (int i = 0; i < kPaletteSize; ++i) {
        plan->palette[i] = palette[i] & 0x00FFFFFFu;
        colours[i] = 0xFF000000u | plan->palette[i];
    }
    for (int32_t y = 0; y < height; ++y) {
        const int32_t sourceRow = bottomUp ? height - 1 - y : y;
        const uint8_t* in = pixels + static_cast<size_t>(sourceRow) * static_cast<size_t>(stride);
        std::copy(in, in + width, plan->indices.begin() + static_cast<long>(y) * width);
        QRgb* out = reinterpret_cast<QRgb*>(canvas.scanLine(y));
        for (int32_t x = 0; x < width; ++x) {
            out[x] = colours[in[x]];
        }
    }
    m_picture = canvas;
    m_image = std::move(canvas);
    m_plan = std::move(plan);
    m_circles.clear();
    return true;
}

void CMapCanvas::ImprintPoint(int32_t x, int32_t y, int16_t rssi) {
    if (m_image.isNull()) {
        return;
    }
    m_circles.push_back({x, y, rssi, m_nextSerial++});
    QPainter painter(&m_image);
    m_pens.Paint(painter, m_circles.back());
}

void CMapCanvas::PaintCircles(QImage& image, const QRect& area, uint64_t after) const {
    QPainter painter(&image);
    painter.setClipRect(area);
    m_pens.PaintReaching(painter, m_circles, area, after);
}

void CMapCanvas::RemovePoint(int32_t x, int32_t y) {
    const auto it = std::find_if(m_circles.begin(), m_circles.end(),
                                 [&](const MapCircle& c) { return c.x == x && c.y == y; });
    if (it == m_circles.end()) {
        return;
    }
    m_circles.erase(it);
    const QRect area = CCirclePens::Reach(x, y).intersected(m_image.rect());
    if (area.isEmpty()) {
        return;
    }
    {
        QPainter painter(&m_image);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(area.topLeft(), m_picture, area);
    }
    PaintCircles(m_image, area);
}

void CMapCanvas::SetCircleBands(const CBandSet& bands) {
    m_pens = CCirclePens(bands);
    if (m_image.isNull()) {
        return;
    }
    m_image = m_picture.copy();
    PaintCircles(m_image, m_image.rect());
}
