// Circle pens and brushes, one pair per band.
#include "view/CirclePens.h"

#include <QPainter>

#include "view/MapViewport.h"

CCirclePens::CCirclePens(const CBandSet& bands) : m_bands(bands) {
    for (size_t band = 0; band < bands.Count(); ++band) {
        const BandColour& c = bands.Colour(band);
        const QColor colour(c.red, c.green, c.blue);
        m_pens.emplace_back(colour, c.penWidth, Qt::SolidLine);
        m_brushes.emplace_back(colour, Qt::SolidPattern);
    }
}

void CCirclePens::Paint(QPainter& painter, const MapCircle& circle) const {
    const size_t band = m_bands.IndexOf(circle.strongest);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(m_pens[band]);
    painter.setBrush(m_brushes[band]);
    painter.drawEllipse(Box(circle.x, circle.y));
}

void CCirclePens::PaintReaching(QPainter& painter, const std::vector<MapCircle>& circles,
                                const QRect& area, uint64_t after) const {
    for (const MapCircle& c : circles) {
        if (c.serial > after && Reach(c.x, c.y).intersects(area)) {
            Paint(painter, c);
        }
    }
}

QRect CCirclePens::Box(int32_t x, int32_t y) {
    const int32_t r = CMapViewport::kNewPointRadius;
    return QRect(x - r, y - r, 2 * r, 2 * r);
}

QRect CCirclePens::Reach(int32_t x, int32_t y) {
    return Box(x, y).adjusted(-1, -1, 2, 2);
}
