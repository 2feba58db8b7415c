// The painting of the view's three screens, each from the values it shows. The start and scan
// screens are laid out on the handheld's 240 x 320 page; the map screen fills the client.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <vector>

#include "view/ViewGeometry.h"

class CMapCanvas;
class CMapViewport;
struct BoardIdentity;
struct ChannelReading;

namespace screens {

constexpr int kPageWidth = 240;
constexpr int kPageHeight = 320;
constexpr int kMaxListedChannels = 30;
constexpr int kRowsPerColumn = 15;
constexpr int kMarkerSize = 32;

// A view rectangle (right and bottom one past the last pixel) as Qt's.
inline QRect ToQRect(const ViewRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}
// Enlarges and centres the handheld's page on a larger client; the identity on its own size.
void EnterPage(QPainter& painter, const QRect& client);

// The start picture (none when null) with the title and the board's firmware and serial number.
void PaintStartScreen(QPainter& painter, const QRect& page, const QImage& picture,
                      const BoardIdentity& identity);
// The channel list: channel, frequency in MHz and RSSI in whole dBm, two columns of 15.
void PaintScanScreen(QPainter& painter, const QRect& page,
                     const std::vector<ChannelReading>& readings);
// The visible part of the canvas (or of the coverage layer's picture, when there is one), white
// beyond the picture, the centre marker over it.
void PaintMapScreen(QPainter& painter, const QRect& client, const CMapCanvas& canvas,
                    CMapViewport& viewport, const QImage& marker, const QImage* layer = nullptr);

} // namespace screens
