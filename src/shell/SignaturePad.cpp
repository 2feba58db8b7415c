// Signature pad: stroke recording and display.
#include "shell/SignaturePad.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
QPen inkPen() {
    // Square caps so that a tap alone leaves a visible dot.
    return QPen(Qt::black, CSignaturePad::kPenWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}
} // namespace

CSignaturePad::CSignaturePad(QWidget* parent) : QWidget(parent) {}

void CSignaturePad::InitSurface() {
    m_surface = QImage(size(), QImage::Format_RGB32);
    m_surface.fill(Qt::white);
    m_drawing = false;
}

void CSignaturePad::Clear() {
    m_surface.fill(Qt::white);
    update();
}

uint32_t CSignaturePad::GetPixel(int x, int y) const {
    if (!m_surface.valid(x, y)) {
        return kPaper;
    }
    return (m_surface.pixel(x, y) & 0xFFFFFFu) == 0 ? kInk : kPaper;
}

void CSignaturePad::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_drawing = true;
    m_penPos = event->position().toPoint();
    strokeTo(m_penPos);
    event->accept();
}

void CSignaturePad::mouseMoveEvent(QMouseEvent* event) {
    // A mouse hovers: only moves with the button down extend the stroke.
    if (!m_drawing || !(event->buttons() & Qt::LeftButton)) {
        m_drawing = false;
        QWidget::mouseMoveEvent(event);
        return;
    }
    strokeTo(event->position().toPoint());
    event->accept();
}

void CSignaturePad::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_drawing = false;
    }
    QWidget::mouseReleaseEvent(event);
}

void CSignaturePad::strokeTo(const QPoint& to) {
    if (!m_surface.isNull()) {
        QPainter painter(&m_surface);
        painter.setPen(inkPen());
        if (to == m_penPos) {
            painter.drawPoint(to);
        } else {
            painter.drawLine(m_penPos, to);
        }
    }
    m_penPos = to;
    update();
}

void CSignaturePad::paintEvent(QPaintEvent* /*event*/) {
    // The outermost pixel ring is left to the dialog's background: it frames the pad.
    QPainter painter(this);
    const QRect inner = rect().adjusted(1, 1, -1, -1);
    painter.drawImage(inner.topLeft(), m_surface, inner);
}

void CSignaturePad::resizeEvent(QResizeEvent* event) {
    // Grow the picture with the window so strokes in the new area are kept; never shrink it, so
    // nothing already signed is lost.
    const QSize wanted = m_surface.size().expandedTo(size());
    if (!m_surface.isNull() && wanted != m_surface.size()) {
        QImage grown(wanted, QImage::Format_RGB32);
        grown.fill(Qt::white);
        QPainter painter(&grown);
        painter.drawImage(0, 0, m_surface);
        painter.end();
        m_surface = grown;
    }
    QWidget::resizeEvent(event);
}
