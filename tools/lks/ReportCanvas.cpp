// Report canvas: millimetres to device dots at the device's resolution; fonts by family names
// that fonts-liberation2 provides, falling back on the system's sans and mono faces.
#include "ReportCanvas.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

namespace lks {

namespace {
constexpr double kMmPerInch = 25.4;
const QColor kFooterGrey(110, 110, 110);
} // namespace

CReportCanvas::CReportCanvas(QPainter* painter, QPagedPaintDevice& device, QSizeF pageMm)
    : m_painter(painter), m_device(device), m_pageMm(pageMm),
      m_dotsPerMm(device.logicalDpiX() / kMmPerInch) {}

QRectF CReportCanvas::Box(double xMm, double yMm, double wMm, double hMm) const {
    return QRectF(Dots(xMm), Dots(yMm), Dots(wMm), Dots(hMm));
}

QFont CReportCanvas::Font(double points, bool bold, bool mono) const {
    QFont font(mono ? QStringLiteral("Liberation Mono") : QStringLiteral("Liberation Sans"));
    font.setStyleHint(mono ? QFont::Monospace : QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

double CReportCanvas::LineHeight(const QFont& font) const {
    return QFontMetricsF(font, &m_device).lineSpacing() / m_dotsPerMm;
}

double CReportCanvas::TextWidth(const QString& text, const QFont& font) const {
    return QFontMetricsF(font, &m_device).horizontalAdvance(text) / m_dotsPerMm;
}

QString CReportCanvas::Elided(const QString& text, const QFont& font, double widthMm) const {
    return QFontMetricsF(font, &m_device).elidedText(text, Qt::ElideRight, Dots(widthMm));
}

double CReportCanvas::WrappedHeight(const QString& text, const QFont& font, double widthMm) const {
    const QRectF bounds =
        QFontMetricsF(font, &m_device)
            .boundingRect(QRectF(0, 0, Dots(widthMm), 1e9), Qt::AlignLeft | Qt::TextWordWrap, text);
    return bounds.height() / m_dotsPerMm;
}

void CReportCanvas::Line(double xMm, double yMm, double wMm, const QString& text, const QFont& font,
                         const QColor& colour, int flags) const {
    if (!Drawing()) {
        return;
    }
    m_painter->setFont(font);
    m_painter->setPen(colour);
    m_painter->drawText(Box(xMm, yMm, wMm, LineHeight(font)), flags | Qt::AlignTop,
                        Elided(text, font, wMm));
}

double CReportCanvas::Wrapped(double xMm, double yMm, double wMm, const QString& text,
                              const QFont& font, const QColor& colour) const {
    const double height = WrappedHeight(text, font, wMm);
    if (Drawing()) {
        m_painter->setFont(font);
        m_painter->setPen(colour);
        m_painter->drawText(Box(xMm, yMm, wMm, height + 1.0),
                            Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    }
    return height;
}

void CReportCanvas::Rule(double yMm, const QColor& colour) const {
    if (!Drawing()) {
        return;
    }
    m_painter->setPen(QPen(colour, Dots(0.2)));
    m_painter->drawLine(QPointF(Dots(Left()), Dots(yMm)), QPointF(Dots(Right()), Dots(yMm)));
}

void CReportCanvas::Footer(const QString& left, int page, int pages) const {
    const double y = m_pageMm.height() - kMarginMm - kFooterMm + 3.0;
    Rule(y, kFooterGrey);
    const QFont font = Font(7.5);
    const QString pageText = QStringLiteral("page %1 of %2").arg(page).arg(pages);
    const double pageWidth = TextWidth(pageText, font) + 1.0;
    Line(Left(), y + 1.2, Width() - pageWidth - 4.0, left, font, kFooterGrey);
    Line(Right() - pageWidth, y + 1.2, pageWidth, pageText, font, kFooterGrey, Qt::AlignRight);
}

void CReportCanvas::NextPage() const {
    if (Drawing()) {
        m_device.newPage();
    }
}

} // namespace lks
