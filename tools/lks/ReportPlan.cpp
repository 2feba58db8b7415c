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
constexpr double kScaleBarMm = 5.0;
const QColor kGridLine(60, 60, 60);
const QColor kText(25, 25, 25);
const QColor kPointFill(40, 40, 40);

// The part of the picture to show: the area and the critical areas with a small margin.
PlanRect viewOf(const FloorReport& floor) {
    const SitePicture& picture = floor.summary.site.m_picture;
    int64_t left = floor.grid.area.x;
    int64_t top = floor.grid.area.y;
    int64_t right = left + floor.grid.area.w;
    int64_t bottom = top + floor.grid.area.h;
    for (const CellGroup& a : floor.grid.critical) {
        left = std::min<int64_t>(left, a.rect.x);
        top = std::min<int64_t>(top, a.rect.y);
        right = std::max<int64_t>(right, int64_t{a.rect.x} + a.rect.w);
        bottom = std::max<int64_t>(bottom, int64_t{a.rect.y} + a.rect.h);
    }
    const auto margin = static_cast<int64_t>(
        std::ceil(kViewMarginShare * static_cast<double>(std::max(right - left, bottom - top))));
    left = std::max<int64_t>(0, left - margin);
    top = std::max<int64_t>(0, top - margin);
    right = std::min<int64_t>(picture.width, right + margin);
    bottom = std::min<int64_t>(picture.height, bottom + margin);
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

void fillCell(const CReportCanvas& canvas, const PlanMap& map, const PlanRect& rect,
              CellResult result) {
    const QRectF box = map.Rect(rect);
    QColor fill = ResultColour(result);
    fill.setAlpha(result == CellResult::Pass ? 70 : 95);
    canvas.Painter().fillRect(box, fill);
    if (result == CellResult::NotTested) {
        hatch(canvas, box);
    }
}

// The cell's label and value, drawn last so that no point or outline covers them. With several
// channels judged the value is the weakest of them and the detail how many fail.
void labelCell(const CReportCanvas& canvas, const PlanMap& map, const GridCell& cell,
               const CombinedCell& combined, size_t series) {
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
    const bool tested = combined.anyTested;
    const QFont valueFont = canvas.Font(tested ? valuePt : valuePt * 0.62, true);
    const QFont detailFont = canvas.Font(valuePt * 0.6);
    const QString value = tested ? QString::fromStdString(DbmText(combined.weakestDbm))
                                 : QStringLiteral("NOT TESTED");
    QString detail;
    if (tested && series > 1) {
        detail = combined.failing == 0
                     ? QStringLiteral("weakest; all %1 pass").arg(series)
                     : QStringLiteral("weakest; %1 of %2 fail").arg(combined.failing).arg(series);
    } else if (tested) {
        detail =
            QStringLiteral("dBm, %1 point%2").arg(cell.points).arg(cell.points == 1 ? "" : "s");
    }
    const double valueHeight = canvas.Dots(canvas.LineHeight(valueFont));
    const double detailHeight = tested ? canvas.Dots(canvas.LineHeight(detailFont)) : 0.0;
    const double textWidth = canvas.Dots(
        std::max(canvas.TextWidth(value, valueFont), canvas.TextWidth(detail, detailFont)));
    const QSizeF block(std::min(box.width() - 2 * pad, textWidth + 2 * pad),
                       valueHeight + detailHeight);
    // Below the middle, so that the point standing at the cell's centre stays in sight.
    const QRectF backing(
        box.center() - QPointF(block.width() / 2, block.height() / 2) +
            QPointF(0, std::min(box.height() * 0.22, box.height() / 2 - block.height() / 2 - pad)),
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

void drawGroupName(const CReportCanvas& canvas, const QRectF& box, const QString& text,
                   const QColor& colour) {
    QPainter& p = canvas.Painter();
    const QFont font = canvas.Font(6.0, true);
    const double width = canvas.TextWidth(text, font) + 1.6;
    const double height = canvas.LineHeight(font) + 0.4;
    // The whole name, even where it reaches past its area: the plan is the one place it is read.
    const QRectF label(box.topLeft() + QPointF(canvas.Dots(0.5), canvas.Dots(0.5)),
                       QSizeF(canvas.Dots(width), canvas.Dots(height)));
    p.fillRect(label, QColor(255, 255, 255, 225));
    p.setPen(colour);
    p.setFont(font);
    p.drawText(label, Qt::AlignCenter, text);
}

void drawCritical(const CReportCanvas& canvas, const PlanMap& map, const CellGroup& group,
                  bool pass) {
    QPainter& p = canvas.Painter();
    QPen thin(CriticalColour(), canvas.Dots(0.2));
    p.setPen(thin);
    p.setBrush(Qt::NoBrush);
    const CGridLayout layout(group.rect, group.cols, group.rows);
    for (int row = 0; row < group.rows; ++row) {
        for (int col = 0; col < group.cols; ++col) {
            p.drawRect(map.Rect(layout.Cell(row, col)));
        }
    }
    QPen pen(CriticalColour(), canvas.Dots(0.6));
    pen.setStyle(Qt::DashLine);
    p.setPen(pen);
    p.drawRect(map.Rect(group.rect));
    drawGroupName(canvas, map.Rect(group.rect),
                  QString::fromStdString(group.name) +
                      (pass ? QString() : QStringLiteral(" (FAIL)")),
                  CriticalColour());
}

void drawPoints(const CReportCanvas& canvas, const PlanMap& map, const FloorReport& floor) {
    QPainter& p = canvas.Painter();
    const double dot = canvas.Dots(0.45);
    p.setPen(Qt::NoPen);
    p.setBrush(kPointFill);
    for (const SpotValue& spot : floor.measured) {
        if (!IsNoSignal(spot.dbm)) {
            p.drawEllipse(map.Point(spot.x + 0.5, spot.y + 0.5), dot, dot);
        }
    }
    // Places where nothing was received: a cross that no colour can hide.
    p.setPen(QPen(ResultColour(CellResult::Fail).darker(140), canvas.Dots(0.35)));
    for (const SpotValue& spot : floor.measured) {
        if (IsNoSignal(spot.dbm)) {
            const QPointF c = map.Point(spot.x + 0.5, spot.y + 0.5);
            p.drawLine(c - QPointF(dot * 2, dot * 2), c + QPointF(dot * 2, dot * 2));
            p.drawLine(c - QPointF(dot * 2, -dot * 2), c + QPointF(dot * 2, -dot * 2));
        }
    }
    if (floor.rules.mode != CellMode::Centre) {
        return;
    }
    // The point that stands for each tested cell.
    p.setPen(QPen(Qt::black, canvas.Dots(0.3)));
    p.setBrush(Qt::NoBrush);
    const double ring = canvas.Dots(1.3);
    for (size_t g = 0; g < floor.Groups().size(); ++g) {
        for (const GridCell& cell : floor.LayoutGroup(g).cells) {
            if (cell.signal != CellResult::NotTested) {
                p.drawEllipse(map.Point(cell.pointX + 0.5, cell.pointY + 0.5), ring, ring);
            }
        }
    }
}

// A bar of a round length in feet (and its metres) just below the plan's bottom left, where no
// cell's text can lie under it.
void drawScaleBar(const CReportCanvas& canvas, const PlanMap& map, const QRectF& target,
                  double pixelsPerFoot) {
    const double dotsPerFoot = map.dotsPerPixel * pixelsPerFoot;
    double feet = 1.0;
    for (const double step : {1.0, 2.0, 5.0, 10.0, 20.0, 25.0, 50.0, 100.0, 200.0, 500.0, 1000.0}) {
        if (step * dotsPerFoot <= target.width() / 4) {
            feet = step;
        }
    }
    QPainter& p = canvas.Painter();
    const QFont font = canvas.Font(6.0, true);
    const double length = feet * dotsPerFoot;
    const double pad = canvas.Dots(1.5);
    const QString text = QStringLiteral("%1 ft (%2 m)")
                             .arg(feet, 0, 'g', 4)
                             .arg(feet / kFeetPerMetre, 0, 'f', feet < 10 ? 2 : 1);
    const double textHeight = canvas.Dots(canvas.LineHeight(font));
    const QRectF back(target.left(), target.bottom() + canvas.Dots(0.6),
                      std::max(length, canvas.Dots(canvas.TextWidth(text, font))) + pad,
                      textHeight + canvas.Dots(2.2));
    const double y = back.bottom() - canvas.Dots(1.0);
    p.setPen(QPen(Qt::black, canvas.Dots(0.5)));
    p.drawLine(QPointF(back.left() + pad / 2, y), QPointF(back.left() + pad / 2 + length, y));
    for (const double x : {back.left() + pad / 2, back.left() + pad / 2 + length}) {
        p.drawLine(QPointF(x, y - canvas.Dots(1.0)), QPointF(x, y));
    }
    p.setFont(font);
    p.drawText(QRectF(back.left() + pad / 2, back.top(), back.width(), textHeight),
               Qt::AlignLeft | Qt::AlignVCenter, text);
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

double DrawPlan(const CReportCanvas& canvas, const FloorReport& floor, const QRectF& boxMm) {
    const PlanRect view = viewOf(floor);
    const double barMm = floor.plan.pixelsPerFoot > 0.0 ? kScaleBarMm : 0.0;
    const double scale =
        std::min(boxMm.width() / view.w, (boxMm.height() - barMm) / view.h); // mm/px
    const double widthMm = view.w * scale;
    const double heightMm = view.h * scale;
    if (!canvas.Drawing()) {
        return heightMm + barMm;
    }
    const double leftMm = boxMm.left() + (boxMm.width() - widthMm) / 2.0;
    const QRectF target = canvas.Box(leftMm, boxMm.top(), widthMm, heightMm);
    QPainter& p = canvas.Painter();
    p.save();
    p.setClipRect(target);
    // Lines and lettering of a plan blur under JPEG; keep the pixels as they are.
    p.setRenderHint(QPainter::LosslessImageRendering, true);
    p.drawImage(target, viewImage(floor.summary.site.m_picture, view, widthMm));
    const PlanMap map{target.topLeft(), canvas.Dots(scale), view};
    const std::vector<const CellGroup*> groups = floor.Groups();
    const size_t sectors = floor.grid.sectors.size();
    std::vector<std::vector<CombinedCell>> combined;
    for (size_t g = 0; g < groups.size(); ++g) {
        combined.push_back(floor.Combined(g));
        if (g < sectors) {
            for (size_t i = 0; i < combined[g].size(); ++i) {
                fillCell(canvas, map, floor.LayoutGroup(g).cells[i].rect, combined[g][i].result);
            }
        }
    }
    p.setPen(QPen(kGridLine, canvas.Dots(0.25)));
    p.setBrush(Qt::NoBrush);
    for (size_t g = 0; g < sectors; ++g) {
        for (const GridCell& cell : floor.LayoutGroup(g).cells) {
            p.drawRect(map.Rect(cell.rect));
        }
    }
    p.setPen(QPen(kGridLine, canvas.Dots(0.6)));
    for (const CellGroup& sector : floor.grid.sectors) {
        p.drawRect(map.Rect(sector.rect));
    }
    drawPoints(canvas, map, floor);
    for (size_t g = sectors; g < groups.size(); ++g) {
        bool pass = true;
        for (const SeriesReport& s : floor.series) {
            pass = pass && FloorReport::GroupOf(s.result, g).pass;
        }
        drawCritical(canvas, map, *groups[g], pass);
    }
    for (size_t g = 0; g < sectors; ++g) {
        const GroupResult& layout = floor.LayoutGroup(g);
        for (size_t i = 0; i < layout.cells.size(); ++i) {
            labelCell(canvas, map, layout.cells[i], combined[g][i], floor.series.size());
        }
        if (floor.grid.sectored) {
            drawGroupName(canvas, map.Rect(groups[g]->rect).adjusted(0, canvas.Dots(3.5), 0, 0),
                          QString::fromStdString(groups[g]->name), kText);
        }
    }
    p.restore();
    p.setPen(QPen(kGridLine, canvas.Dots(0.2)));
    p.drawRect(target);
    if (floor.plan.pixelsPerFoot > 0.0) {
        drawScaleBar(canvas, map, target, floor.plan.pixelsPerFoot);
    }
    return heightMm + barMm;
}

double DrawPlanLegend(const CReportCanvas& canvas, const FloorReport& floor, double yMm) {
    const QFont font = canvas.Font(7.0);
    const double height = canvas.LineHeight(font);
    if (!canvas.Drawing()) {
        return height;
    }
    QPainter& p = canvas.Painter();
    const std::string threshold = DbmText(floor.rules.thresholdDbm);
    struct Item {
        QString text;
        CellResult result;
    };
    const Item items[] = {
        {QString::fromStdString("pass (at or above " + threshold + " dBm" +
                                (floor.series.size() > 1 ? ", every channel)" : ")")),
         CellResult::Pass},
        {QStringLiteral("fail; x: no signal"), CellResult::Fail},
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
    if (floor.rules.mode == CellMode::Centre) {
        p.setPen(QPen(Qt::black, canvas.Dots(0.3)));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(dot, canvas.Dots(1.3), canvas.Dots(1.3));
    }
    const QString points = floor.rules.mode == CellMode::Centre
                               ? QStringLiteral("measured point; ringed: the point used")
                               : QStringLiteral("measured point");
    canvas.Line(x + 3.0, yMm, canvas.Right() - x - 3.0, points, font);
    return height;
}

} // namespace lks
