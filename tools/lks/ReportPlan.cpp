// Plan drawing: the picture cropped to the area under test (and any critical area outside it),
// embedded at no more than print resolution, then the grid, points and areas drawn over it as
// vectors so that they stay sharp at any zoom.
#include "ReportPlan.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "GridTexts.h"
#include "files/SitePicture.h"

namespace lks {

namespace {

constexpr double kPrintDpi = 200.0;
constexpr double kMmPerInch = 25.4;
constexpr int kMaxUpscale = 4;
constexpr double kViewMarginShare = 0.02;
const QColor kGridLine(60, 60, 60);
const QColor kText(25, 25, 25);
const QColor kPointFill(40, 40, 40);

// The part of the picture to show: the area and the critical areas with a small margin.
PlanRect viewOf(const GridReport& report) {
    int64_t left = report.settings.area.x;
    int64_t top = report.settings.area.y;
    int64_t right = left + report.settings.area.w;
    int64_t bottom = top + report.settings.area.h;
    for (const CriticalArea& a : report.settings.critical) {
        left = std::min<int64_t>(left, a.rect.x);
        top = std::min<int64_t>(top, a.rect.y);
        right = std::max<int64_t>(right, int64_t{a.rect.x} + a.rect.w);
        bottom = std::max<int64_t>(bottom, int64_t{a.rect.y} + a.rect.h);
    }
    const auto margin = static_cast<int64_t>(
        std::ceil(kViewMarginShare * static_cast<double>(std::max(right - left, bottom - top))));
    left = std::max<int64_t>(0, left - margin);
    top = std::max<int64_t>(0, top - margin);
    right = std::min<int64_t>(report.picture->width, right + margin);
    bottom = std::min<int64_t>(report.picture->height, bottom + margin);
    return {static_cast<int32_t>(left), static_cast<int32_t>(top),
            static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top)};
}

// The view's pixels at about print resolution for a box widthMm wide: large plans are reduced
// smoothly, small ones enlarged by whole factors so that their lines stay crisp.
QImage viewImage(const SitePicture& picture, const PlanRect& view, double widthMm) {
    QImage image(view.w, view.h, QImage::Format_Indexed8);
    QVector<QRgb> colours(SitePicture::kPaletteEntries);
    for (int i = 0; i < SitePicture::kPaletteEntries; ++i) {
        colours[i] = 0xFF000000u | picture.palette[i];
    }
    image.setColorTable(colours);
    for (int32_t y = 0; y < view.h; ++y) {
        std::memcpy(image.scanLine(y), picture.RowFromTop(view.y + y) + view.x,
                    static_cast<size_t>(view.w));
    }
    const int wanted = static_cast<int>(std::lround(widthMm / kMmPerInch * kPrintDpi));
    if (view.w > wanted) {
        return image.scaledToWidth(wanted, Qt::SmoothTransformation);
    }
    const int factor = std::clamp(wanted / std::max(1, view.w), 1, kMaxUpscale);
    if (factor == 1) {
        return image.convertToFormat(QImage::Format_RGB32);
    }
    return image.scaled(view.w * factor, view.h * factor, Qt::IgnoreAspectRatio,
                        Qt::FastTransformation);
}

// Plan pixels to device dots.
struct PlanMap {
    QPointF origin; // dots of the view's top left
    double dotsPerPixel = 1.0;
    PlanRect view;

    QPointF Point(double x, double y) const {
        return origin + QPointF((x - view.x) * dotsPerPixel, (y - view.y) * dotsPerPixel);
    }
    QRectF Rect(const PlanRect& r) const {
        return QRectF(Point(r.x, r.y), QSizeF(r.w * dotsPerPixel, r.h * dotsPerPixel));
    }
};

// Diagonal hatching for cells without a measurement, spaced in millimetres so that it looks the
// same at any resolution.
void hatch(const CReportCanvas& canvas, const QRectF& box) {
    QPainter& p = canvas.Painter();
    p.save();
    p.setClipRect(box, Qt::IntersectClip);
    p.setPen(QPen(QColor(90, 90, 90, 150), canvas.Dots(0.2)));
    const double step = canvas.Dots(1.5);
    for (double d = -box.height(); d < box.width(); d += step) {
        p.drawLine(QPointF(box.left() + d, box.bottom()),
                   QPointF(box.left() + d + box.height(), box.top()));
    }
    p.restore();
}

void fillCell(const CReportCanvas& canvas, const PlanMap& map, const GridCell& cell) {
    const QRectF box = map.Rect(cell.rect);
    QColor fill = ResultColour(cell.result);
    fill.setAlpha(cell.result == CellResult::Pass ? 70 : 95);
    canvas.Painter().fillRect(box, fill);
    if (cell.result == CellResult::NotTested) {
        hatch(canvas, box);
    }
}

// The cell's label and value, drawn last so that no point or outline covers them.
void labelCell(const CReportCanvas& canvas, const PlanMap& map, const GridCell& cell,
               CellMode mode) {
    QPainter& p = canvas.Painter();
    const QRectF box = map.Rect(cell.rect);
    const double widthMm = box.width() / canvas.Dots(1.0);
    const double heightMm = box.height() / canvas.Dots(1.0);
    // Text sized to the cell, left out where it could not be read.
    const double valuePt = std::min({10.0, widthMm * 0.62, heightMm * 0.9});
    if (valuePt < 3.5) {
        return;
    }
    const double pad = canvas.Dots(0.7);
    p.setPen(kText);
    p.setFont(canvas.Font(valuePt * 0.72, true));
    p.drawText(box.adjusted(pad, pad * 0.5, -pad, -pad), Qt::AlignLeft | Qt::AlignTop,
               QString::fromStdString(cell.label));
    // The value and what it stands on, on a light backing so that the plan cannot hide them.
    const bool tested = cell.result != CellResult::NotTested;
    const QFont valueFont = canvas.Font(tested ? valuePt : valuePt * 0.62, true);
    const QFont detailFont = canvas.Font(valuePt * 0.6);
    const QString value =
        tested ? QString::fromStdString(DbmText(cell.dbm)) : QStringLiteral("NOT TESTED");
    const QString detail =
        !tested ? QString()
        : mode == CellMode::Mean
            ? QStringLiteral("dBm, mean of %1").arg(cell.points)
            : QStringLiteral("dBm, %1 point%2").arg(cell.points).arg(cell.points == 1 ? "" : "s");
    const double valueHeight = canvas.Dots(canvas.LineHeight(valueFont));
    const double detailHeight = tested ? canvas.Dots(canvas.LineHeight(detailFont)) : 0.0;
    const double textWidth = canvas.Dots(
        std::max(canvas.TextWidth(value, valueFont), canvas.TextWidth(detail, detailFont)));
    const QSizeF block(std::min(box.width() - 2 * pad, textWidth + 2 * pad),
                       valueHeight + detailHeight);
    const QRectF backing(box.center() - QPointF(block.width() / 2, block.height() / 2) +
                             QPointF(0, valueHeight * 0.25),
                         block);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawRoundedRect(backing, pad, pad);
    p.setPen(tested ? kText : ResultColour(CellResult::NotTested).darker(150));
    p.setFont(valueFont);
    p.drawText(QRectF(backing.topLeft(), QSizeF(backing.width(), valueHeight)), Qt::AlignCenter,
               value);
    if (tested) {
        p.setFont(detailFont);
        p.drawText(
            QRectF(backing.left(), backing.top() + valueHeight, backing.width(), detailHeight),
            Qt::AlignCenter, detail);
    }
}

void drawCritical(const CReportCanvas& canvas, const PlanMap& map, const CriticalArea& area,
                  const CriticalResult& result) {
    QPainter& p = canvas.Painter();
    const QRectF box = map.Rect(area.rect);
    QPen pen(CriticalColour(), canvas.Dots(0.6));
    pen.setStyle(Qt::DashLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(box);
    const QFont font = canvas.Font(6.0, true);
    const QString text =
        QString::fromStdString(area.name) + (result.pass ? QString() : QStringLiteral(" (FAIL)"));
    const double width = canvas.TextWidth(text, font) + 1.6;
    const double height = canvas.LineHeight(font) + 0.4;
    const QRectF label(box.topLeft() + QPointF(canvas.Dots(0.5), canvas.Dots(0.5)),
                       QSizeF(canvas.Dots(width), canvas.Dots(height)));
    p.fillRect(label, QColor(255, 255, 255, 225));
    p.setPen(CriticalColour());
    p.setFont(font);
    p.drawText(label, Qt::AlignCenter, text);
}

void drawPoints(const CReportCanvas& canvas, const PlanMap& map, const GridReport& report) {
    QPainter& p = canvas.Painter();
    const double dot = canvas.Dots(0.45);
    p.setPen(Qt::NoPen);
    p.setBrush(kPointFill);
    for (const SpotValue& spot : report.spots) {
        p.drawEllipse(map.Point(spot.x, spot.y), dot, dot);
    }
    if (report.settings.mode != CellMode::Centre) {
        return;
    }
    // The point that stands for each tested cell.
    p.setPen(QPen(Qt::black, canvas.Dots(0.3)));
    p.setBrush(Qt::NoBrush);
    const double ring = canvas.Dots(1.3);
    for (const GridCell& cell : report.result.cells) {
        if (cell.result != CellResult::NotTested) {
            p.drawEllipse(map.Point(cell.pointX, cell.pointY), ring, ring);
        }
    }
}

} // namespace

QColor ResultColour(CellResult result) {
    switch (result) {
    case CellResult::Pass:
        return QColor(30, 150, 70);
    case CellResult::Fail:
        return QColor(210, 40, 35);
    case CellResult::NotTested:
        break;
    }
    return QColor(120, 120, 120);
}

QColor CriticalColour() {
    return QColor(125, 30, 160);
}

double DrawPlan(const CReportCanvas& canvas, const GridReport& report, const QRectF& boxMm) {
    const PlanRect view = viewOf(report);
    const double scale = std::min(boxMm.width() / view.w, boxMm.height() / view.h); // mm/px
    const double widthMm = view.w * scale;
    const double heightMm = view.h * scale;
    if (!canvas.Drawing()) {
        return heightMm;
    }
    const double leftMm = boxMm.left() + (boxMm.width() - widthMm) / 2.0;
    const QRectF target = canvas.Box(leftMm, boxMm.top(), widthMm, heightMm);
    QPainter& p = canvas.Painter();
    p.save();
    p.setClipRect(target);
    // Lines and lettering of a plan blur under JPEG; keep the pixels as they are.
    p.setRenderHint(QPainter::LosslessImageRendering, true);
    p.drawImage(target, viewImage(*report.picture, view, widthMm));
    const PlanMap map{target.topLeft(), canvas.Dots(scale), view};
    for (const GridCell& cell : report.result.cells) {
        fillCell(canvas, map, cell);
    }
    p.setPen(QPen(kGridLine, canvas.Dots(0.25)));
    p.setBrush(Qt::NoBrush);
    for (const GridCell& cell : report.result.cells) {
        p.drawRect(map.Rect(cell.rect));
    }
    p.setPen(QPen(kGridLine, canvas.Dots(0.5)));
    p.drawRect(map.Rect(report.settings.area));
    drawPoints(canvas, map, report);
    for (size_t a = 0; a < report.settings.critical.size(); ++a) {
        drawCritical(canvas, map, report.settings.critical[a], report.result.critical[a]);
    }
    for (const GridCell& cell : report.result.cells) {
        labelCell(canvas, map, cell, report.settings.mode);
    }
    p.restore();
    p.setPen(QPen(kGridLine, canvas.Dots(0.2)));
    p.drawRect(target);
    return heightMm;
}

double DrawPlanLegend(const CReportCanvas& canvas, const GridReport& report, double yMm) {
    const QFont font = canvas.Font(7.0);
    const double height = canvas.LineHeight(font);
    if (!canvas.Drawing()) {
        return height;
    }
    QPainter& p = canvas.Painter();
    const std::string threshold = DbmText(report.settings.thresholdDbm);
    struct Item {
        QString text;
        CellResult result;
    };
    const Item items[] = {
        {QString::fromStdString("pass (at or above " + threshold + " dBm)"), CellResult::Pass},
        {QStringLiteral("fail"), CellResult::Fail},
        {QStringLiteral("not tested (fails)"), CellResult::NotTested},
    };
    double x = canvas.Left();
    const double swatch = height * 0.8;
    for (const Item& item : items) {
        QColor fill = ResultColour(item.result);
        fill.setAlpha(item.result == CellResult::Pass ? 70 : 95);
        const QRectF box = canvas.Box(x, yMm + height * 0.1, swatch * 1.6, swatch);
        p.fillRect(box, fill);
        if (item.result == CellResult::NotTested) {
            hatch(canvas, box);
        }
        x += swatch * 1.6 + 1.2;
        canvas.Line(x, yMm, 60.0, item.text, font);
        x += canvas.TextWidth(item.text, font) + 4.0;
    }
    QPen pen(CriticalColour(), canvas.Dots(0.4));
    pen.setStyle(Qt::DashLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(canvas.Box(x, yMm + height * 0.1, swatch * 1.6, swatch));
    x += swatch * 1.6 + 1.2;
    const QString critical = QStringLiteral("critical area");
    canvas.Line(x, yMm, 40.0, critical, font);
    x += canvas.TextWidth(critical, font) + 4.0;
    p.setPen(Qt::NoPen);
    p.setBrush(kPointFill);
    const QPointF dot(canvas.Dots(x + 1.0), canvas.Dots(yMm + height * 0.5));
    p.drawEllipse(dot, canvas.Dots(0.45), canvas.Dots(0.45));
    if (report.settings.mode == CellMode::Centre) {
        p.setPen(QPen(Qt::black, canvas.Dots(0.3)));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(dot, canvas.Dots(1.3), canvas.Dots(1.3));
    }
    const QString points = report.settings.mode == CellMode::Centre
                               ? QStringLiteral("measured point; ringed: the point used")
                               : QStringLiteral("measured point");
    canvas.Line(x + 3.0, yMm, canvas.Right() - x - 3.0, points, font);
    return height;
}

} // namespace lks
