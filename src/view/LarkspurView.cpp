// Painting and navigation of the survey window.
#include "view/LarkspurView.h"

#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QString>
#include <QWheelEvent>
#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

#include "analysis/RssiBands.h"
#include "receiver/ChannelEntry.h"
#include "receiver/Receiver.h"

// The pictures live in a resource file of this static library; without an explicit
// initialisation the linker may drop them from the program.
static void initViewResources() {
    Q_INIT_RESOURCE(view);
}

namespace {

constexpr int kWhiteIndex = 6;
constexpr int kWhitePenWidth = 2;
const QColor kScanBackground(0, 0, 192);
const char* const kStartPicture = ":/view/StartScreen.bmp";
const char* const kMarkerPicture = ":/view/CentreMarker.bmp";
const char* const kFontFamily = "Arial";
constexpr int kFontPoints = 8;

const char* const kTitle = "Larkspur Survalon";
const char* const kNoticeLine1 = "RF site survey, 800 and 1900 MHz";
const char* const kNoticeLine2 = "Open a site and a channel table to begin";

// Start screen text rectangles (left, top, right, bottom), laid out for a 240-pixel-wide screen.
const ViewRect kFirmwareRect{5, 3, 115, 18};
const ViewRect kSerialRect{155, 3, 235, 18};
const ViewRect kTitleRect{0, 25, 240, 37};
const ViewRect kNotice1Rect{0, 205, 240, 217};
const ViewRect kNotice2Rect{0, 220, 240, 232};

constexpr int kHeaderTop = 10;
constexpr int kHeaderBottom = 25;
constexpr int kRowTop = 30;
constexpr int kRowBottom = 45;
constexpr int kRowPitch = 10;
// Room left between a channel number and the frequency after it.
constexpr int kChannelGap = 3;

// One column of the scan list: its three cells and the headers above them, in page pixels.
struct ScanColumn {
    int channelLeft, channelRight, channelHeaderRight;
    int freqLeft, freqRight, freqHeaderRight;
    int rssiLeft, rssiRight, rssiHeaderRight;

    // Moves the frequency and RSSI (cells and headers) right by dx.
    void shiftReadings(int dx) {
        freqLeft += dx;
        freqRight += dx;
        freqHeaderRight += dx;
        rssiLeft += dx;
        rssiRight += dx;
        rssiHeaderRight += dx;
    }
};

// The handheld's two columns: cells at 115c..120c+20, 115c+25..120c+70 and 115c+75..115c+105;
// the headers end a little earlier in the second column.
constexpr ScanColumn kScanColumns[2] = {
    {0, 20, 20, 25, 70, 70, 75, 105, 105},
    {115, 140, 135, 140, 190, 185, 190, 220, 220},
};

QRect toQRect(const ViewRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

QFont viewFont() {
    QFont font(QString::fromLatin1(kFontFamily));
    font.setPointSize(kFontPoints);
    return font;
}

// One line of text at the top left (or top centre) of its rectangle, clipped to it, over an
// opaque box of the painter's background colour.
void drawCellText(QPainter& painter, const QRect& rect, const QString& text, int alignment) {
    painter.save();
    painter.setClipRect(rect);
    painter.drawText(rect, alignment | Qt::AlignTop | Qt::TextSingleLine, text);
    painter.restore();
}

// C-style formatting into a byte buffer, shown as the single-byte text it is.
QString formatted(const char* format, const char* value) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, format, value);
    return QString::fromLatin1(buffer);
}

} // namespace

CLarkspurView::CLarkspurView(CReceiver& receiver, QWidget* parent)
    : QAbstractScrollArea(parent), m_receiver(receiver) {
    Init();
}

CLarkspurView::~CLarkspurView() = default;

void CLarkspurView::Init() {
    static std::once_flag resourcesOnce;
    std::call_once(resourcesOnce, initViewResources);

    for (int band = 0; band < kWhiteIndex; ++band) {
        const BandColour c = ColourOfBand(static_cast<RssiBand>(band));
        const QColor colour(c.red, c.green, c.blue);
        m_pens[band] = QPen(colour, c.penWidth, Qt::SolidLine);
        m_brushes[band] = QBrush(colour, Qt::SolidPattern);
    }
    m_pens[kWhiteIndex] = QPen(Qt::white, kWhitePenWidth, Qt::SolidLine);
    m_brushes[kWhiteIndex] = QBrush(Qt::white, Qt::SolidPattern);

    QImage marker(QString::fromLatin1(kMarkerPicture));
    if (!marker.isNull()) {
        m_centreMarker = marker.convertToFormat(QImage::Format_RGB32);
    }

    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    horizontalScrollBar()->setRange(0, 0);
    verticalScrollBar()->setRange(0, 0);

    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnScrollAction(Qt::Horizontal, action); });
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnScrollAction(Qt::Vertical, action); });
    horizontalScrollBar()->installEventFilter(this);
    verticalScrollBar()->installEventFilter(this);
    connect(horizontalScrollBar(), &QAbstractSlider::sliderReleased, this,
            [this] { OnHScroll(kScrollThumbPosition, horizontalScrollBar()->sliderPosition()); });
    connect(verticalScrollBar(), &QAbstractSlider::sliderReleased, this,
            [this] { OnVScroll(kScrollThumbPosition, verticalScrollBar()->sliderPosition()); });
}

bool CLarkspurView::SetSitePicture(int32_t width, int32_t height, const uint32_t* palette,
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
    m_mapCanvas = std::move(canvas);
    m_nPictureWidth = width;
    m_nPictureHeight = height;
    ResetForNewMap();
    return true;
}

void CLarkspurView::ResetForNewMap() {
    SyncClientSize();
    m_viewport.SetMapBounds(0, 0, m_nPictureWidth, m_nPictureHeight);
    m_viewport.ResetView(0, 0, m_nPictureWidth, m_nPictureHeight);
    verticalScrollBar()->setRange(0, m_nPictureHeight);
    horizontalScrollBar()->setRange(0, m_nPictureWidth);
    SyncScrollThumbs();
}

void CLarkspurView::DrawCircle(const QRect& box, int colourIndex) {
    if (m_mapCanvas.isNull()) {
        return;
    }
    QPainter painter(&m_mapCanvas);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(m_pens[colourIndex]);
    painter.setBrush(m_brushes[colourIndex]);
    painter.drawEllipse(box);
}

void CLarkspurView::ImprintPoint(int32_t x, int32_t y, int16_t rssi) {
    const int32_t r = CMapViewport::kNewPointRadius;
    DrawCircle(toQRect({x - r, y - r, x + r, y + r}), static_cast<int>(RssiBandOf(rssi)));
}

void CLarkspurView::ImprintNewPoint(int16_t strongest) {
    DrawCircle(toQRect(m_viewport.GetNewPointRect()), static_cast<int>(RssiBandOf(strongest)));
}

void CLarkspurView::EraseHeldPoint() {
    DrawCircle(toQRect(m_viewport.GetEraseRect()), kWhiteIndex);
}

void CLarkspurView::ErasePointAt(int32_t x, int32_t y) {
    const int32_t r = CMapViewport::kEraseRadius;
    DrawCircle(toQRect({x - r, y - r, x + r, y + r}), kWhiteIndex);
}

void CLarkspurView::RequestRepaint() {
    viewport()->update();
}

void CLarkspurView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(viewport());
    PaintClient(painter, viewport()->rect());
}

void CLarkspurView::PaintClient(QPainter& painter, const QRect& client) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect page(0, 0, kPageWidth, kPageHeight);
    switch (m_nScreenMode) {
    case kStartScreen:
        painter.fillRect(client, Qt::black);
        EnterPage(painter, client);
        PaintStartScreen(painter, page);
        break;
    case kMapScreen:
        PaintMapScreen(painter, client);
        break;
    case kScanScreen:
        painter.fillRect(client, kScanBackground);
        EnterPage(painter, client);
        PaintScanScreen(painter, page);
        break;
    default:
        break;
    }
    painter.restore();
}

void CLarkspurView::EnterPage(QPainter& painter, const QRect& client) {
    if (client.size() == QSize(kPageWidth, kPageHeight)) {
        painter.translate(client.topLeft());
        return;
    }
    // The texts are drawn through the scale, so they stay sharp at any size.
    const qreal scale =
        std::min(qreal(client.width()) / kPageWidth, qreal(client.height()) / kPageHeight);
    painter.translate(client.left() + (client.width() - kPageWidth * scale) / 2,
                      client.top() + (client.height() - kPageHeight * scale) / 2);
    painter.scale(scale, scale);
}

void CLarkspurView::PaintStartScreen(QPainter& painter, const QRect& client) {
    {
        const QImage picture(QString::fromLatin1(kStartPicture));
        if (!picture.isNull()) {
            painter.drawImage(client, picture, picture.rect());
        }
    }
    painter.setFont(viewFont());
    painter.setPen(Qt::white);
    painter.setBackground(QBrush(Qt::black));
    painter.setBackgroundMode(Qt::OpaqueMode);

    // The I/O thread writes these texts; the receiver hands out consistent copies.
    char firmwareText[CReceiver::kFirmwareSize] = {};
    char serialText[CReceiver::kSerialSize] = {};
    m_receiver.GetFirmwareVersion(firmwareText);
    m_receiver.GetSerialNumber(serialText);
    const QString firmware = formatted("(Firmware %s)", firmwareText);
    const QString serial = formatted("(SN %s)", serialText);
    drawCellText(painter, toQRect(kFirmwareRect), firmware, Qt::AlignLeft);
    drawCellText(painter, toQRect(kSerialRect), serial, Qt::AlignLeft);
    drawCellText(painter, toQRect(kTitleRect), QString::fromLatin1(kTitle), Qt::AlignHCenter);
    drawCellText(painter, toQRect(kNotice1Rect), QString::fromLatin1(kNoticeLine1),
                 Qt::AlignHCenter);
    drawCellText(painter, toQRect(kNotice2Rect), QString::fromLatin1(kNoticeLine2),
                 Qt::AlignHCenter);
}

void CLarkspurView::PaintMapScreen(QPainter& painter, const QRect& client) {
    // Before any site is open the viewport has no extent: there is nothing to copy or mark.
    if (m_mapCanvas.isNull()) {
        painter.fillRect(client, m_brushes[kWhiteIndex]);
        return;
    }
    ViewRect dest{client.left(), client.top(), client.left() + client.width(),
                  client.top() + client.height()};
    ViewRect src;
    if (m_viewport.ComputeBlit(dest, src)) {
        const QRect target = toQRect(dest);
        const QRect source = toQRect(src);
        if (!target.isEmpty() && !source.isEmpty()) {
            painter.drawImage(target, m_mapCanvas, source);
        }
    }
    for (int i = 0; i < m_viewport.GetMarginCount(); ++i) {
        const QRect margin = toQRect(m_viewport.GetMargin(i));
        if (!margin.isEmpty()) {
            painter.fillRect(margin, m_brushes[kWhiteIndex]);
        }
    }
    if (!m_centreMarker.isNull()) {
        const QPoint topLeft(client.width() / 2 - kMarkerSize / 2,
                             client.height() / 2 - kMarkerSize / 2);
        painter.save();
        painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        painter.drawImage(topLeft, m_centreMarker);
        painter.restore();
    }
}

void CLarkspurView::PaintScanScreen(QPainter& painter, const QRect& client) {
    painter.setPen(Qt::white);
    painter.setBackground(QBrush(kScanBackground));
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setFont(viewFont());
    painter.fillRect(client, kScanBackground);

    // One copy of the table: the I/O thread may be writing the next reading meanwhile.
    const ReceiverTable table = m_receiver.GetChannelTable();
    const int count = std::min(int{table.count}, kMaxListedChannels);
    struct RowText {
        QString channel, frequency, rssi;
    };
    std::vector<RowText> rows(static_cast<size_t>(count));
    char buffer[32];
    for (int n = 0; n < count; ++n) {
        const ChannelEntry& entry = table.entries[n];
        std::snprintf(buffer, sizeof buffer, "%d", static_cast<int16_t>(entry.channel));
        rows[n].channel = QString::fromLatin1(buffer);
        std::snprintf(buffer, sizeof buffer, "%.3f",
                      HzToMHz(EntryFrequencyHz(m_receiver.m_plans, entry)));
        rows[n].frequency = QString::fromLatin1(buffer);
        std::snprintf(buffer, sizeof buffer, "%d", RssiX16ToDbm(entry.rssiX16));
        rows[n].rssi = QString::fromLatin1(buffer);
    }

    // The channel cells were sized for three digits; a wider number (four-digit PCS and
    // cellular channels) moves its column's frequency and RSSI right instead of being cut off
    // or running into the frequency.
    ScanColumn columns[2] = {kScanColumns[0], kScanColumns[1]};
    const QFontMetrics metrics(painter.font());
    for (int n = 0; n < count; ++n) {
        ScanColumn& column = columns[n / kRowsPerColumn];
        const int needed =
            column.channelLeft + metrics.horizontalAdvance(rows[n].channel) + kChannelGap;
        if (needed > column.freqLeft) {
            column.channelRight = needed;
            column.shiftReadings(needed - column.freqLeft);
        }
    }

    for (const ScanColumn& column : columns) {
        const ViewRect headers[] = {
            {column.channelLeft, kHeaderTop, column.channelHeaderRight, kHeaderBottom},
            {column.freqLeft, kHeaderTop, column.freqHeaderRight, kHeaderBottom},
            {column.rssiLeft, kHeaderTop, column.rssiHeaderRight, kHeaderBottom}};
        const char* const texts[] = {"CH", "FREQ", "RSSI"};
        for (int i = 0; i < 3; ++i) {
            drawCellText(painter, toQRect(headers[i]), QString::fromLatin1(texts[i]),
                         Qt::AlignLeft);
        }
    }

    for (int n = 0; n < count; ++n) {
        const ScanColumn& column = columns[n / kRowsPerColumn];
        const int r = n % kRowsPerColumn;
        const int top = kRowTop + kRowPitch * r;
        const int bottom = kRowBottom + kRowPitch * r;
        drawCellText(painter, toQRect({column.channelLeft, top, column.channelRight, bottom}),
                     rows[n].channel, Qt::AlignLeft);
        drawCellText(painter, toQRect({column.freqLeft, top, column.freqRight, bottom}),
                     rows[n].frequency, Qt::AlignLeft);
        drawCellText(painter, toQRect({column.rssiLeft, top, column.rssiRight, bottom}),
                     rows[n].rssi, Qt::AlignLeft);
    }
}

void CLarkspurView::OnZoomIn() {
    m_viewport.ZoomIn();
    RequestRepaint();
}

void CLarkspurView::OnZoomOut() {
    m_viewport.ZoomOut();
    RequestRepaint();
}

void CLarkspurView::OnHScroll(int code, int thumbPosition) {
    switch (code) {
    case kScrollLineBack:
        m_viewport.ScrollLeft(kLineStep);
        break;
    case kScrollLineForward:
        m_viewport.ScrollRight(kLineStep);
        break;
    case kScrollPageBack:
        m_viewport.ScrollLeft(viewport()->width());
        break;
    case kScrollPageForward:
        m_viewport.ScrollRight(viewport()->width());
        break;
    case kScrollThumbTrack:
        m_viewport.SetCentreX(thumbPosition);
        break;
    default:
        break;
    }
    horizontalScrollBar()->setValue(m_viewport.GetCentreX());
    RequestRepaint();
}

void CLarkspurView::OnVScroll(int code, int thumbPosition) {
    switch (code) {
    case kScrollLineBack:
        m_viewport.ScrollUp(kLineStep);
        break;
    case kScrollLineForward:
        m_viewport.ScrollDown(kLineStep);
        break;
    case kScrollPageBack:
        m_viewport.ScrollUp(viewport()->height());
        break;
    case kScrollPageForward:
        m_viewport.ScrollDown(viewport()->height());
        break;
    case kScrollThumbTrack:
        m_viewport.SetCentreY(thumbPosition);
        break;
    default:
        break;
    }
    verticalScrollBar()->setValue(m_viewport.GetCentreY());
    RequestRepaint();
}

void CLarkspurView::OnScrollAction(Qt::Orientation orientation, int action) {
    int code = kScrollEnd;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        code = kScrollLineBack;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        code = kScrollLineForward;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = kScrollPageBack;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = kScrollPageForward;
        break;
    case QAbstractSlider::SliderMove:
        code = kScrollThumbTrack;
        break;
    case QAbstractSlider::SliderToMinimum:
        code = kScrollToStart;
        break;
    case QAbstractSlider::SliderToMaximum:
        code = kScrollToEnd;
        break;
    default:
        break;
    }
    if (orientation == Qt::Horizontal) {
        OnHScroll(code, horizontalScrollBar()->sliderPosition());
    } else {
        OnVScroll(code, verticalScrollBar()->sliderPosition());
    }
}

bool CLarkspurView::OnArrowKey(int key) {
    switch (key) {
    case Qt::Key_Left:
        m_viewport.ScrollLeft(kLineStep);
        horizontalScrollBar()->setValue(m_viewport.GetCentreX());
        break;
    case Qt::Key_Up:
        m_viewport.ScrollUp(kLineStep);
        verticalScrollBar()->setValue(m_viewport.GetCentreY());
        break;
    case Qt::Key_Right:
        m_viewport.ScrollRight(kLineStep);
        horizontalScrollBar()->setValue(m_viewport.GetCentreX());
        break;
    case Qt::Key_Down:
        m_viewport.ScrollDown(kLineStep);
        verticalScrollBar()->setValue(m_viewport.GetCentreY());
        break;
    default:
        return false;
    }
    RequestRepaint();
    return true;
}

void CLarkspurView::keyPressEvent(QKeyEvent* event) {
    // Arrows move the map here; Qt's own arrow handling would move the thumbs a second time.
    if (OnArrowKey(event->key())) {
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void CLarkspurView::scrollContentsBy(int /*dx*/, int /*dy*/) {}

void CLarkspurView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    SyncClientSize();
}

void CLarkspurView::SyncClientSize() {
    m_viewport.SetClientSize(viewport()->width(), viewport()->height());
}

void CLarkspurView::OnWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers,
                            bool horizontalBar) {
    m_wheelRemainder += angleDelta;
    const int notchesX = m_wheelRemainder.x() / kWheelNotch;
    const int notchesY = m_wheelRemainder.y() / kWheelNotch;
    m_wheelRemainder -= QPoint(notchesX, notchesY) * kWheelNotch;
    if (modifiers & Qt::ControlModifier) {
        // Turning away from the user (a positive delta) zooms in, as in most map programs.
        for (int notches = notchesY + notchesX; notches != 0;) {
            if (notches > 0) {
                OnZoomIn();
                --notches;
            } else {
                OnZoomOut();
                ++notches;
            }
        }
        return;
    }
    const bool sideways = horizontalBar || (modifiers & Qt::ShiftModifier);
    const int32_t across = (notchesX + (sideways ? notchesY : 0)) * kWheelLines * kLineStep;
    const int32_t down = (sideways ? 0 : notchesY) * kWheelLines * kLineStep;
    // The wheel moves the map from where it is, never from the thumb's possibly stale place.
    if (across > 0) {
        m_viewport.ScrollLeft(across);
    } else if (across < 0) {
        m_viewport.ScrollRight(-across);
    }
    if (down > 0) {
        m_viewport.ScrollUp(down);
    } else if (down < 0) {
        m_viewport.ScrollDown(-down);
    }
    if (across != 0 || down != 0) {
        SyncScrollThumbs();
        RequestRepaint();
    }
}

void CLarkspurView::wheelEvent(QWheelEvent* event) {
    OnWheel(event->angleDelta(), event->modifiers());
    event->accept();
}

bool CLarkspurView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel &&
        (watched == horizontalScrollBar() || watched == verticalScrollBar())) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        OnWheel(wheel->angleDelta(), wheel->modifiers(), watched == horizontalScrollBar());
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void CLarkspurView::SyncScrollThumbs() {
    verticalScrollBar()->setValue(m_viewport.GetCentreY());
    horizontalScrollBar()->setValue(m_viewport.GetCentreX());
}

void CLarkspurView::CentreOnTap(const QPoint& p) {
    m_viewport.CentreOnScreenPoint(ClientRect(), {p.x(), p.y()});
    SyncScrollThumbs();
    RequestRepaint();
}

ViewPoint CLarkspurView::HoldAt(const QPoint& p) {
    return m_viewport.ScreenToMap(ClientRect(), {p.x(), p.y()});
}

ViewRect CLarkspurView::ClientRect() const {
    return {0, 0, viewport()->width(), viewport()->height()};
}

QSize CLarkspurView::SizeForClient(const QSize& client) const {
    return QSize(client.width() + verticalScrollBar()->sizeHint().width(),
                 client.height() + horizontalScrollBar()->sizeHint().height());
}
