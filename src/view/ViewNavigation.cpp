// The view's navigation: zoom, scroll bars, arrow keys and the wheel move the map through the
// viewport, and the thumbs follow the viewport's centre.
#include "view/LarkspurView.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "view/ViewCommands.h"

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
    // An arrow is a scroll bar's line step.
    switch (key) {
    case Qt::Key_Left:
        OnHScroll(kScrollLineBack, 0);
        return true;
    case Qt::Key_Up:
        OnVScroll(kScrollLineBack, 0);
        return true;
    case Qt::Key_Right:
        OnHScroll(kScrollLineForward, 0);
        return true;
    case Qt::Key_Down:
        OnVScroll(kScrollLineForward, 0);
        return true;
    default:
        return false;
    }
}

void CLarkspurView::keyPressEvent(QKeyEvent* event) {
    // Arrows move the map here; Qt's own arrow handling would move the thumbs a second time.
    if (OnArrowKey(event->key())) {
        event->accept();
        return;
    }
    // C alone switches the coverage layer; Ctrl+C stays the frame's (idle) copy key.
    if (event->key() == Qt::Key_C && (event->modifiers() & ~Qt::ShiftModifier) == Qt::NoModifier) {
        OnCommand(kCmdCoverage);
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

ViewPoint CLarkspurView::MapPointAt(const QPoint& p) {
    return m_viewport.ScreenToMap(ClientRect(), {p.x(), p.y()});
}

ViewPoint CLarkspurView::CentreOnMap(int32_t x, int32_t y) {
    m_viewport.SetCentreX(x);
    m_viewport.SetCentreY(y);
    SyncScrollThumbs();
    RequestRepaint();
    return {m_viewport.GetCentreX(), m_viewport.GetCentreY()};
}

ViewRect CLarkspurView::ClientRect() const {
    return {0, 0, viewport()->width(), viewport()->height()};
}

QSize CLarkspurView::SizeForClient(const QSize& client) const {
    return QSize(client.width() + verticalScrollBar()->sizeHint().width(),
                 client.height() + horizontalScrollBar()->sizeHint().height());
}
