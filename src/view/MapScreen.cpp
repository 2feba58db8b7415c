// The map screen: the canvas through the viewport, white margins, the centre marker.
#include "view/MapCanvas.h"
#include "view/MapViewport.h"
#include "view/ScreenPainters.h"

namespace screens {

void PaintMapScreen(QPainter& painter, const QRect& client, const CMapCanvas& canvas,
                    CMapViewport& viewport, const QImage& marker, const QImage* layer) {
    const QBrush& white = canvas.WhiteBrush();
    // Before any site is open the viewport has no extent: there is nothing to copy or mark.
    if (canvas.IsNull()) {
        painter.fillRect(client, white);
        return;
    }
    ViewRect dest{client.left(), client.top(), client.left() + client.width(),
                  client.top() + client.height()};
    ViewRect src;
    if (viewport.ComputeBlit(dest, src)) {
        const QRect target = ToQRect(dest);
        const QRect source = ToQRect(src);
        if (!target.isEmpty() && !source.isEmpty()) {
            painter.drawImage(target, layer != nullptr ? *layer : canvas.Image(), source);
        }
    }
    for (int i = 0; i < viewport.GetMarginCount(); ++i) {
        const QRect margin = ToQRect(viewport.GetMargin(i));
        if (!margin.isEmpty()) {
            painter.fillRect(margin, white);
        }
    }
    if (!marker.isNull()) {
        const QPoint topLeft(client.width() / 2 - kMarkerSize / 2,
                             client.height() / 2 - kMarkerSize / 2);
        painter.save();
        painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        painter.drawImage(topLeft, marker);
        painter.restore();
    }
}

} // namespace screens
