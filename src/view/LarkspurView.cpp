// The survey window: construction, the site picture, the circles and the screens.
#include "view/LarkspurView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QString>
#include <mutex>

// The pictures live in a resource file of this static library; without an explicit
// initialisation the linker may drop them from the program.
static void initViewResources() {
    Q_INIT_RESOURCE(view);
}

namespace {
const QColor kScanBackground(0, 0, 192);
const char* const kMarkerPicture = ":/view/CentreMarker.bmp";
const char* const kStartPicture = ":/view/StartScreen.bmp";

} // namespace

CLarkspurView::CLarkspurView(QWidget* parent) : QAbstractScrollArea(parent) {
    Init();
}

CLarkspurView::~CLarkspurView() = default;

void CLarkspurView::Init() {
    static std::once_flag resourcesOnce;
    std::call_once(resourcesOnce, initViewResources);

    QImage marker(QString::fromLatin1(kMarkerPicture));
    if (!marker.isNull()) {
        m_centreMarker = marker.convertToFormat(QImage::Format_RGB32);
    }
    // Decoded once here rather than on every paint of the start screen.
    m_startPicture = QImage(QString::fromLatin1(kStartPicture));

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
    if (!m_canvas.SetPicture(width, height, palette, pixels, pixelBytes, stride, bottomUp)) {
        return false;
    }
    m_coverage.OnPlanChanged();
    ResetForNewMap();
    return true;
}

void CLarkspurView::ResetForNewMap() {
    SyncClientSize();
    const int32_t width = PictureWidth();
    const int32_t height = PictureHeight();
    m_viewport.SetMapBounds(0, 0, width, height);
    m_viewport.ResetView(0, 0, width, height);
    verticalScrollBar()->setRange(0, height);
    horizontalScrollBar()->setRange(0, width);
    SyncScrollThumbs();
}

void CLarkspurView::ImprintPoint(int32_t x, int32_t y, int16_t rssi) {
    m_canvas.ImprintPoint(x, y, rssi);
}

void CLarkspurView::ErasePoint(int32_t x, int32_t y) {
    m_canvas.RemovePoint(x, y);
}

void CLarkspurView::SetCoverageShown(bool shown) {
    if (shown == m_coverage.Shown()) {
        return;
    }
    m_coverage.SetShown(shown);
    RequestRepaint();
    emit coverageShown(shown);
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
        screens::EnterPage(painter, client);
        screens::PaintStartScreen(painter, page, m_startPicture, m_identity);
        break;
    case kMapScreen:
        screens::PaintMapScreen(painter, client, m_canvas, m_viewport, m_centreMarker,
                                m_coverage.Picture());
        break;
    case kScanScreen:
        painter.fillRect(client, kScanBackground);
        screens::EnterPage(painter, client);
        screens::PaintScanScreen(painter, page, m_readings);
        break;
    default:
        break;
    }
    painter.restore();
}
