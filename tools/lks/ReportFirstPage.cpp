// A floor's first page, top to bottom: title, identification, verdict, warnings, plan and legend,
// signature. Every text that may be long wraps; the plan takes the room that is left.
#include "ReportFirstPage.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <string>

#include "GridTexts.h"
#include "ReportPlan.h"
#include "files/SiteSignature.h"

namespace lks {

namespace {

constexpr double kSignatureWidthMm = 64.0; // the pad's 2:1 proportions
constexpr double kSignatureBlockMm = 40.0;
constexpr double kVerdictBoxMm = 40.0;
constexpr double kLabelMm = 30.0;
constexpr double kMinPlanMm = 45.0;
const QColor kGrey(100, 100, 100);
const QColor kWarning(185, 90, 0);
const QColor kFrame(150, 150, 150);

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string orNotGiven(const std::string& value) {
    return value.empty() ? "not given" : value;
}

// A group's result in a few words: "C3 FAIL" style detail for one series.
std::string groupLine(const FloorReport& floor, size_t g, const GroupResult& r,
                      const GridRules& rules) {
    const bool sector = g < floor.grid.sectors.size();
    const std::string name = floor.Groups()[g]->name;
    const double asked = sector ? rules.generalPct : rules.criticalPct;
    std::string text =
        (sector ? (name.empty() ? std::string("Cells") : name) : "Critical area " + name) + ": " +
        std::to_string(r.passing) + " of " + std::to_string(r.cells.size()) +
        " pass = " + PctText(r.sharePct) +
        (asked > 0.0 ? " (asked " + RateText(asked) + ")" : std::string());
    if (!r.failing.empty()) {
        text += "; failing " + FailingText(r, sector && rules.nonAdjacent);
    }
    return text + ": " + PassWord(r.pass);
}

// A failing series in a few words: "666 (1/20 cells, critical areas 0 of 2)".
std::string seriesBrief(const FloorReport& floor, const SeriesReport& s) {
    uint32_t passing = 0;
    size_t cells = 0;
    for (const GroupResult& r : s.result.sectors) {
        passing += r.passing;
        cells += r.cells.size();
    }
    size_t critical = 0;
    for (const GroupResult& r : s.result.critical) {
        critical += r.pass ? 1 : 0;
    }
    std::string text =
        s.shortName + " (" + std::to_string(passing) + "/" + std::to_string(cells) + " cells";
    if (!floor.grid.critical.empty()) {
        text += ", critical areas " + std::to_string(critical) + " of " +
                std::to_string(floor.grid.critical.size());
    }
    return text + ")";
}

std::vector<std::string> verdictLines(const GridtestPlan& plan, const FloorReport& floor) {
    std::vector<std::string> lines;
    lines.push_back("Rules: " + ProfileText(plan) + ". " + RulesText(floor.rules) + ".");
    if (floor.series.size() == 1) {
        const SeriesReport& s = floor.series.front();
        lines.push_back((s.bestServer ? std::string("Judged: ") : "Channel ") + s.name + ": " +
                        PassWord(s.result.pass));
        for (size_t g = 0; g < floor.Groups().size(); ++g) {
            lines.push_back(groupLine(floor, g, FloorReport::GroupOf(s.result, g), floor.rules));
        }
        return lines;
    }
    std::string failing;
    size_t passing = 0;
    for (const SeriesReport& s : floor.series) {
        passing += s.result.pass ? 1 : 0;
        if (!s.result.pass) {
            failing += (failing.empty() ? "" : ", ") + seriesBrief(floor, s);
        }
    }
    lines.push_back(std::to_string(floor.series.size()) +
                    " channels judged, each on its own: " + std::to_string(passing) + " pass.");
    if (!failing.empty()) {
        lines.push_back("Failing: " + failing + ". Each channel's cells follow the plan.");
    }
    return lines;
}

// The signature's ink as runs of pixels, filled as one path so that no seams show between them.
void drawInk(const CReportCanvas& canvas, const CSiteSignature& signature, const QRectF& box) {
    QPainter& p = canvas.Painter();
    const double dx = box.width() / CSiteSignature::kWidth;
    const double dy = box.height() / CSiteSignature::kHeight;
    QPainterPath ink;
    ink.setFillRule(Qt::WindingFill);
    for (int y = 0; y < CSiteSignature::kHeight; ++y) {
        for (int x = 0; x < CSiteSignature::kWidth;) {
            if (!signature.Ink(x, y)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < CSiteSignature::kWidth && signature.Ink(x, y)) {
                ++x;
            }
            ink.addRect(QRectF(box.left() + start * dx, box.top() + y * dy, (x - start) * dx, dy));
        }
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillPath(ink, SignatureInk());
    p.restore();
}

void drawSignature(const CReportCanvas& canvas, const GridtestPlan& plan, const FloorReport& floor,
                   double y) {
    const QFont heading = canvas.Font(8.5, true);
    const QFont body = canvas.Font(8.0);
    canvas.Line(canvas.Left(), y, canvas.Width(), QStringLiteral("Surveyor's signature"), heading);
    y += canvas.LineHeight(heading) + 0.8;
    const QRectF box = canvas.Box(canvas.Left(), y, kSignatureWidthMm, kSignatureWidthMm / 2.0);
    const bool signed_ = floor.summary.signatureInk;
    if (canvas.Drawing()) {
        QPainter& p = canvas.Painter();
        p.setPen(QPen(kFrame, canvas.Dots(0.25)));
        p.setBrush(Qt::white);
        p.drawRect(box);
        if (signed_) {
            drawInk(canvas, floor.summary.signature, box);
        } else {
            p.setPen(kGrey);
            p.setFont(canvas.Font(13.0, false));
            p.drawText(box, Qt::AlignCenter, QStringLiteral("not signed"));
        }
    }
    const double x = canvas.Left() + kSignatureWidthMm + 5.0;
    const double width = canvas.Right() - x;
    const uint32_t saved = floor.summary.site.SaveTime();
    const std::string caption =
        signed_ ? "Handwritten by the surveyor on the handheld and captured with the survey at "
                  "save time (" +
                      UtcText(saved) +
                      "), drawn here from the site file's 200 x 100 signature area, which the "
                      "SHA-256 above covers."
                : std::string("not signed: the site file's signature area holds no ink.");
    double ty = y + canvas.Wrapped(x, y, width, q(caption), body, kGrey) + 2.0;
    ty += canvas.Wrapped(x, ty, width, q("Test conducted by: " + orNotGiven(plan.record.tester)),
                         body);
}

} // namespace

QColor SignatureInk() {
    return QColor(20, 40, 130);
}

QString FooterText(const BuildingReport& report) {
    const GridtestPlan& plan = *report.plan;
    const std::string where = !plan.record.building.empty() ? plan.record.building
                              : report.floors.empty()       ? std::string()
                                                            : report.floors.front().siteName;
    const bool named = where.empty() || plan.title.find(where) != std::string::npos;
    return q(plan.title + (named ? std::string() : " - " + where));
}

double DrawFields(const CReportCanvas& canvas,
                  const std::vector<std::pair<std::string, std::string>>& fields, int columns,
                  double y) {
    const QFont label = canvas.Font(7.5, true);
    const QFont value = canvas.Font(7.5);
    const double columnWidth = canvas.Width() / columns;
    for (size_t i = 0; i < fields.size(); i += size_t(columns)) {
        double height = 0.0;
        for (int c = 0; c < columns && i + size_t(c) < fields.size(); ++c) {
            const auto& [name, text] = fields[i + size_t(c)];
            const double x = canvas.Left() + c * columnWidth;
            const double h = std::max(
                canvas.Wrapped(x, y, kLabelMm - 1.5, q(name), label, kGrey),
                canvas.Wrapped(x + kLabelMm, y, columnWidth - kLabelMm - 2.0, q(text), value));
            height = std::max(height, h);
        }
        y += height + 0.4;
    }
    return y;
}

double DrawVerdictBox(const CReportCanvas& canvas, bool pass, const std::vector<std::string>& lines,
                      double y) {
    const QFont body = canvas.Font(8.0);
    const double x = canvas.Left() + kVerdictBoxMm + 3.0;
    const double width = canvas.Right() - x - 2.0;
    double text = 0.0;
    for (const std::string& line : lines) {
        text += canvas.WrappedHeight(q(line), body, width) + 0.6;
    }
    const double height = std::max(20.0, text + 4.0);
    if (canvas.Drawing()) {
        QPainter& p = canvas.Painter();
        const QColor colour = ResultColour(pass ? CellResult::Pass : CellResult::Fail);
        const QRectF box = canvas.Box(canvas.Left(), y, kVerdictBoxMm, height);
        p.fillRect(box, colour);
        p.setPen(Qt::white);
        p.setFont(canvas.Font(30.0, true));
        p.drawText(box, Qt::AlignCenter, PassWord(pass));
        p.setPen(QPen(colour, canvas.Dots(0.5)));
        p.setBrush(Qt::NoBrush);
        p.drawRect(canvas.Box(canvas.Left(), y, canvas.Width(), height));
    }
    double ty = y + (height - text) / 2.0;
    for (const std::string& line : lines) {
        ty += canvas.Wrapped(x, ty, width, q(line), body) + 0.6;
    }
    return y + height;
}

void DrawFloorPage(const CReportCanvas& canvas, const BuildingReport& report,
                   const FloorReport& floor, int page, int pages) {
    const GridtestPlan& plan = *report.plan;
    double y = canvas.Top();
    y += canvas.Wrapped(canvas.Left(), y, canvas.Width(), q(plan.title), canvas.Font(16.0, true));
    const std::string subtitle =
        plan.building ? "Floor " + floor.Name() + " of " + orNotGiven(plan.record.building)
                      : std::string("In-building radio coverage: grid test of a signed survey");
    y += canvas.Wrapped(canvas.Left(), y, canvas.Width(), q(subtitle), canvas.Font(9.0), kGrey) +
         1.5;
    std::vector<std::pair<std::string, std::string>> fields;
    if (!plan.building) {
        for (const auto& [label, value] : RecordFields(plan.record, floor.plan.name)) {
            fields.emplace_back(label, orNotGiven(value));
        }
    } else {
        fields.emplace_back("Floor", orNotGiven(floor.plan.name));
    }
    fields.emplace_back("Test date", TestDateText(plan, floor));
    fields.emplace_back("Site file", floor.siteName);
    fields.emplace_back("Last saved", UtcText(floor.summary.site.SaveTime()));
    fields.emplace_back("Scale", ScaleText(floor));
    y = DrawFields(canvas, fields, 2, y);
    y = DrawFields(canvas,
                   {{"SHA-256", floor.summary.sha256},
                    {"Judged", SeriesText(floor)},
                    {"Grid", GridText(plan, floor) + "; cells " + CellSizeText(floor)},
                    {"Cell value", ModeText(floor.rules)}},
                   1, y) +
        1.0;
    y = DrawVerdictBox(canvas, floor.pass, verdictLines(plan, floor), y) + 1.5;
    const QFont warning = canvas.Font(7.5, true);
    for (const std::string& text : floor.warnings) {
        y += canvas.Wrapped(canvas.Left(), y, canvas.Width(), q("Warning: " + text), warning,
                            kWarning);
    }
    y += 1.0;
    const double legend = canvas.LineHeight(canvas.Font(7.0)) + 2.0;
    const double planBottom = canvas.Bottom() - kSignatureBlockMm - legend;
    const QRectF planBox(canvas.Left(), y, canvas.Width(), std::max(kMinPlanMm, planBottom - y));
    y += DrawPlan(canvas, floor, planBox) + 1.5;
    DrawPlanLegend(canvas, floor, y);
    drawSignature(canvas, plan, floor, canvas.Bottom() - kSignatureBlockMm + 3.0);
    canvas.Footer(FooterText(report), page, pages);
}

} // namespace lks
