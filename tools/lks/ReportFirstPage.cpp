// First page, top to bottom: title, identification of the survey, verdict, warnings, plan and
// legend, signature.
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
constexpr double kSignatureBlockMm = 42.0;
constexpr double kVerdictBoxMm = 46.0;
const QColor kGrey(100, 100, 100);
const QColor kWarning(185, 90, 0);
const QColor kFrame(150, 150, 150);

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string cellList(const GridReport& report, const std::vector<size_t>& cells) {
    std::string text;
    for (const size_t i : cells) {
        text += (text.empty() ? "" : ", ") + report.result.cells[i].label;
    }
    return text;
}

// The identification block: label and value pairs, two to a line where they fit.
double drawIdentity(const CReportCanvas& canvas, const GridReport& report, double y) {
    const GridTestSettings& s = report.settings;
    const GridtestOptions& o = report.options;
    const QFont label = canvas.Font(8.0, true);
    const QFont value = canvas.Font(8.0);
    const QFont mono = canvas.Font(7.5, false, true);
    const double labelWidth = 36.0;
    const double line = canvas.LineHeight(value) + 0.4;
    struct Row {
        std::string label;
        std::string value;
        bool mono;
    };
    const Row rows[] = {
        {"Site file", report.siteName, false},
        {"SHA-256", report.sha256, true},
        {"Last saved", UtcText(report.saveTime) + " (the survey's save on the handheld)", false},
        {"Profile",
         std::string(ProfileName(o.profile)) + ": " + RateText(s.rates.generalPct) + " of cells, " +
             RateText(s.rates.criticalPct) + " of points in each critical area",
         false},
        {"Threshold", DbmText(s.thresholdDbm) + " dBm; cell value: " + ModeText(s.mode), false},
        {"Channels", ChannelsText(o.channels), false},
        {"Grid", GridText(report) + "; cells " + CellSizeText(report), false},
        {"Scale", ScaleText(report), false},
        {"Tested by", o.tester.empty() ? "not given" : o.tester, false},
    };
    for (const Row& row : rows) {
        canvas.Line(canvas.Left(), y, labelWidth, q(row.label), label, kGrey);
        canvas.Line(canvas.Left() + labelWidth, y + (row.mono ? 0.25 : 0.0),
                    canvas.Width() - labelWidth, q(row.value), row.mono ? mono : value);
        y += line;
    }
    return y;
}

std::vector<std::string> verdictLines(const GridReport& report) {
    const GridTestResult& r = report.result;
    const GridTestSettings& s = report.settings;
    std::vector<std::string> lines;
    lines.push_back("General areas: " + std::to_string(r.passingCells) + " of " +
                    std::to_string(r.cells.size()) + " cells at or above " +
                    DbmText(s.thresholdDbm) + " dBm = " + PctText(r.generalPct) + " (required " +
                    RateText(s.rates.generalPct) + "): " + (r.generalPass ? "pass" : "FAIL"));
    if (s.critical.empty()) {
        lines.emplace_back("Critical areas: none given");
    } else {
        // Only the failures by name here; the tables list every area.
        std::string failing;
        size_t passing = 0;
        for (size_t a = 0; a < s.critical.size(); ++a) {
            const CriticalResult& c = r.critical[a];
            passing += c.pass ? 1 : 0;
            if (!c.pass) {
                failing += (failing.empty() ? "; failing: " : ", ") + s.critical[a].name + " " +
                           (c.points == 0 ? std::string("(not tested)") : PctText(c.sharePct));
            }
        }
        lines.push_back("Critical areas (" + RateText(s.rates.criticalPct) +
                        " of points): " + std::to_string(passing) + " of " +
                        std::to_string(s.critical.size()) + " pass" + failing);
    }
    if (r.failing.empty()) {
        lines.emplace_back("Failing cells: none");
    } else {
        std::string adjacency = "no two adjacent";
        if (!r.adjacentFailures.empty()) {
            adjacency = "adjacent: ";
            for (size_t i = 0; i < r.adjacentFailures.size(); ++i) {
                adjacency += (i == 0 ? "" : ", ") + r.cells[r.adjacentFailures[i].first].label +
                             "-" + r.cells[r.adjacentFailures[i].second].label;
            }
        }
        lines.push_back("Failing cells (" + std::to_string(r.failing.size()) +
                        "): " + cellList(report, r.failing) + "; " + adjacency);
    }
    return lines;
}

double drawVerdict(const CReportCanvas& canvas, const GridReport& report, double y) {
    const QFont body = canvas.Font(8.5);
    const std::vector<std::string> lines = verdictLines(report);
    const double line = canvas.LineHeight(body) + 0.8;
    const double height = std::max(22.0, line * double(lines.size()) + 4.0);
    if (canvas.Drawing()) {
        QPainter& p = canvas.Painter();
        const QColor colour =
            ResultColour(report.result.pass ? CellResult::Pass : CellResult::Fail);
        const QRectF box = canvas.Box(canvas.Left(), y, kVerdictBoxMm, height);
        p.fillRect(box, colour);
        p.setPen(Qt::white);
        p.setFont(canvas.Font(34.0, true));
        p.drawText(box, Qt::AlignCenter, report.result.pass ? "PASS" : "FAIL");
        p.setPen(QPen(colour, canvas.Dots(0.5)));
        p.setBrush(Qt::NoBrush);
        p.drawRect(canvas.Box(canvas.Left(), y, canvas.Width(), height));
    }
    const double x = canvas.Left() + kVerdictBoxMm + 3.0;
    double ty = y + (height - line * double(lines.size())) / 2.0;
    for (const std::string& text : lines) {
        canvas.Line(x, ty, canvas.Right() - x - 2.0, q(text), body);
        ty += line;
    }
    return y + height;
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

void drawSignature(const CReportCanvas& canvas, const GridReport& report, double y) {
    const QFont heading = canvas.Font(8.5, true);
    const QFont body = canvas.Font(8.0);
    canvas.Line(canvas.Left(), y, canvas.Width(), QStringLiteral("Surveyor's signature"), heading);
    y += canvas.LineHeight(heading) + 0.8;
    const double height = kSignatureWidthMm / 2.0;
    const QRectF box = canvas.Box(canvas.Left(), y, kSignatureWidthMm, height);
    const bool signed_ = report.signature != nullptr && report.signature->HasInk();
    if (canvas.Drawing()) {
        QPainter& p = canvas.Painter();
        p.setPen(QPen(kFrame, canvas.Dots(0.25)));
        p.setBrush(Qt::white);
        p.drawRect(box);
        if (signed_) {
            drawInk(canvas, *report.signature, box);
        } else {
            p.setPen(kGrey);
            p.setFont(canvas.Font(13.0, false));
            p.drawText(box, Qt::AlignCenter, QStringLiteral("not signed"));
        }
    }
    const double x = canvas.Left() + kSignatureWidthMm + 5.0;
    const double width = canvas.Right() - x;
    const std::string caption =
        signed_ ? "Handwritten by the surveyor on the handheld and captured with the survey at "
                  "save time (" +
                      UtcText(report.saveTime) +
                      "), drawn here from the site file's 200 x 100 signature area, which the "
                      "SHA-256 above covers."
                : std::string("not signed: the site file's signature area holds no ink.");
    double ty = y + canvas.Wrapped(x, y, width, q(caption), body, kGrey) + 2.0;
    if (!report.options.tester.empty()) {
        canvas.Line(x, ty, width, q("Test conducted by: " + report.options.tester), body);
    }
}

} // namespace

QColor SignatureInk() {
    return QColor(20, 40, 130);
}

QString FooterText(const GridReport& report) {
    return q(report.options.title + " - " + report.siteName);
}

void DrawFirstPage(const CReportCanvas& canvas, const GridReport& report, int pages) {
    double y = canvas.Top();
    const QFont title = canvas.Font(18.0, true);
    canvas.Line(canvas.Left(), y, canvas.Width(), q(report.options.title), title);
    y += canvas.LineHeight(title);
    const QFont subtitle = canvas.Font(9.0);
    canvas.Line(canvas.Left(), y, canvas.Width(),
                QStringLiteral("In-building radio coverage: grid test of a signed site survey"),
                subtitle, kGrey);
    y += canvas.LineHeight(subtitle) + 2.0;
    y = drawIdentity(canvas, report, y) + 2.0;
    y = drawVerdict(canvas, report, y) + 2.0;
    const QFont warning = canvas.Font(8.0, true);
    for (const std::string& text : report.warnings) {
        canvas.Line(canvas.Left(), y, canvas.Width(), q("Warning: " + text), warning, kWarning);
        y += canvas.LineHeight(warning);
    }
    y += 1.5;
    const double legend = canvas.LineHeight(canvas.Font(7.0)) + 2.0;
    const double planBottom = canvas.Bottom() - kSignatureBlockMm - legend;
    const QRectF planBox(canvas.Left(), y, canvas.Width(), std::max(10.0, planBottom - y));
    y += DrawPlan(canvas, report, planBox) + 1.5;
    DrawPlanLegend(canvas, report, y);
    drawSignature(canvas, report, canvas.Bottom() - kSignatureBlockMm + 3.0);
    canvas.Footer(FooterText(report), 1, pages);
}

} // namespace lks
