// Page geometry and drawing helpers for the printed reports: positions in millimetres from the
// page's top left, fonts in points. Without a painter the canvas only measures, so that a first
// pass can count the pages that "page x of y" needs.
#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;
class QPagedPaintDevice;

namespace lks {

class CReportCanvas {
public:
    static constexpr double kMarginMm = 15.0;
    static constexpr double kFooterMm = 8.0; // room kept for the footer at the bottom

    // painter null: measure only. device gives the resolution and font metrics.
    CReportCanvas(QPainter* painter, QPagedPaintDevice& device, QSizeF pageMm);

    bool Drawing() const { return m_painter != nullptr; }
    QPainter& Painter() const { return *m_painter; }
    QSizeF PageMm() const { return m_pageMm; }
    double Left() const { return kMarginMm; }
    double Right() const { return m_pageMm.width() - kMarginMm; }
    double Top() const { return kMarginMm; }
    // The lowest y that content may reach, above the footer.
    double Bottom() const { return m_pageMm.height() - kMarginMm - kFooterMm; }
    double Width() const { return Right() - Left(); }

    double Dots(double mm) const { return mm * m_dotsPerMm; }
    QRectF Box(double xMm, double yMm, double wMm, double hMm) const;
    QFont Font(double points, bool bold = false, bool mono = false) const;
    double LineHeight(const QFont& font) const;                     // mm
    double TextWidth(const QString& text, const QFont& font) const; // mm
    QString Elided(const QString& text, const QFont& font, double widthMm) const;
    // Height in mm that text wrapped to widthMm takes.
    double WrappedHeight(const QString& text, const QFont& font, double widthMm) const;

    // One line, elided to the box's width. flags: Qt alignment.
    void Line(double xMm, double yMm, double wMm, const QString& text, const QFont& font,
              const QColor& colour = Qt::black, int flags = Qt::AlignLeft) const;
    // Wrapped text; returns the height used in mm.
    double Wrapped(double xMm, double yMm, double wMm, const QString& text, const QFont& font,
                   const QColor& colour = Qt::black) const;
    void Rule(double yMm, const QColor& colour) const;
    // The footer: left text and "page x of y".
    void Footer(const QString& left, int page, int pages) const;
    // Starts the next page of the device (when drawing).
    void NextPage() const;

private:
    QPainter* m_painter;
    QPagedPaintDevice& m_device;
    QSizeF m_pageMm;
    double m_dotsPerMm;
};

} // namespace lks
