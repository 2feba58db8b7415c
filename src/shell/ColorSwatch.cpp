// Colour swatch painting.
#include "shell/ColorSwatch.h"

#include <QPainter>

#include "shell/ColorRef.h"

CColorSwatch::CColorSwatch(QWidget* parent) : QWidget(parent) {
    // Every pixel is painted on every paint, so the background need not be cleared first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CColorSwatch::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), colorFromRef(m_color));
}
