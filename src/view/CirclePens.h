// The circles of survey points in one set of colour bands: a filled circle of radius 10 in the
// colour of the band of the point's strongest reading, outlined by that band's pen. The map
// canvas and the coverage layer's worker paint them through this one class, so a circle looks the
// same on either and over any plan.
#pragma once

#include <QBrush>
#include <QPen>
#include <QRect>
#include <cstdint>
#include <vector>

#include "analysis/RssiBands.h"

class QPainter;

// A point's circle as painted: where, how strong, and the order it came in (later ones cover
// earlier ones).
struct MapCircle {
    int32_t x = 0;
    int32_t y = 0;
    int16_t strongest = 0; // whole dBm
    uint64_t serial = 0;   // increases with every circle a canvas paints
};

class CCirclePens {
public:
    explicit CCirclePens(const CBandSet& bands);

    const CBandSet& Bands() const { return m_bands; }
    // Paints a circle without smoothing, as every circle of the map is painted.
    void Paint(QPainter& painter, const MapCircle& circle) const;
    // Paints, in order, every circle of circles that reaches area (in the painter's coordinates)
    // and has a serial above after: later ones cover earlier ones, as when they were taken.
    void PaintReaching(QPainter& painter, const std::vector<MapCircle>& circles, const QRect& area,
                       uint64_t after = 0) const;

    // The circle's box: the outline is drawn on its edge.
    static QRect Box(int32_t x, int32_t y);
    // Every pixel a circle's pen can touch: the box and a pixel either side.
    static QRect Reach(int32_t x, int32_t y);

private:
    CBandSet m_bands;
    std::vector<QPen> m_pens;
    std::vector<QBrush> m_brushes;
};
