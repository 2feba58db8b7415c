// Report tables: one row per cell, per critical area and per channel, then the settings.
#include "ReportTables.h"

#include <string>

#include "GridTexts.h"
#include "ReportFirstPage.h"
#include "ReportFlow.h"
#include "ReportPlan.h"

namespace lks {

namespace {

constexpr double kSettingsLabelMm = 48.0;

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

QString number(double v) {
    return q(DbmText(v));
}

QString xy(double x, double y) {
    return QStringLiteral("%1, %2").arg(x, 0, 'f', 1).arg(y, 0, 'f', 1);
}

void cellTable(CReportFlow& flow, const GridReport& report) {
    const bool centre = report.settings.mode == CellMode::Centre;
    flow.Heading(QStringLiteral("Cells"));
    flow.Paragraph(q("Each cell's value is " + ModeText(report.settings.mode) +
                     "; positions and sizes are in plan pixels. A cell without points is not "
                     "tested and counts as failed."));
    std::vector<ReportColumn> columns = {
        {"Cell", 11.0, false},  {"Centre x, y", 24.0, true}, {"Size", 20.0, true},
        {"Points", 13.0, true}, {"Value dBm", 17.0, true},   {"Min", 13.0, true},
        {"Max", 13.0, true},
    };
    if (centre) {
        columns.push_back({"Point used", 21.0, true});
    }
    columns.push_back({"Critical area", 0.0, false});
    columns.push_back({"Result", 20.0, false});
    std::vector<ReportRow> rows;
    for (const GridCell& cell : report.result.cells) {
        const bool tested = cell.result != CellResult::NotTested;
        ReportRow row;
        row.cells << q(cell.label)
                  << xy(cell.rect.x + cell.rect.w / 2.0, cell.rect.y + cell.rect.h / 2.0)
                  << QStringLiteral("%1 x %2").arg(cell.rect.w).arg(cell.rect.h)
                  << QString::number(cell.points) << (tested ? number(cell.dbm) : QString())
                  << (tested ? number(cell.minDbm) : QString())
                  << (tested ? number(cell.maxDbm) : QString());
        if (centre) {
            row.cells << (tested ? QStringLiteral("%1, %2").arg(cell.pointX).arg(cell.pointY)
                                 : QString());
        }
        row.cells << q(CriticalNames(report, cell)) << ResultWord(cell.result);
        row.colouredCell = int(row.cells.size()) - 1;
        row.colour = ResultColour(cell.result);
        rows.push_back(row);
    }
    flow.Table(columns, rows);
}

void criticalTable(CReportFlow& flow, const GridReport& report) {
    const GridTestSettings& s = report.settings;
    flow.Heading(QStringLiteral("Critical areas"));
    if (s.critical.empty()) {
        flow.Paragraph(QStringLiteral("No critical areas were given."));
        return;
    }
    flow.Paragraph(q("Judged on their own: at least " + RateText(s.rates.criticalPct) +
                     " of the points inside each area must reach " + DbmText(s.thresholdDbm) +
                     " dBm. An area without points is not tested and fails."));
    const std::vector<ReportColumn> columns = {
        {"Area", 0.0, false},    {"X, Y, W, H (px)", 38.0, false},
        {"Points", 16.0, true},  {"At or above", 20.0, true},
        {"Share", 18.0, true},   {"Required", 17.0, true},
        {"Result", 20.0, false},
    };
    std::vector<ReportRow> rows;
    for (size_t a = 0; a < s.critical.size(); ++a) {
        const CriticalResult& c = report.result.critical[a];
        const CellResult result = c.points == 0 ? CellResult::NotTested
                                  : c.pass      ? CellResult::Pass
                                                : CellResult::Fail;
        ReportRow row;
        row.cells << q(s.critical[a].name) << q(RectText(s.critical[a].rect))
                  << QString::number(c.points) << QString::number(c.passing)
                  << (c.points == 0 ? QString() : q(PctText(c.sharePct)))
                  << q(RateText(s.rates.criticalPct)) << ResultWord(result);
        row.colouredCell = 6;
        row.colour = ResultColour(result);
        rows.push_back(row);
    }
    flow.Table(columns, rows);
}

void failureSummary(CReportFlow& flow, const GridReport& report) {
    const GridTestResult& r = report.result;
    flow.Heading(QStringLiteral("Failing cells"));
    if (r.failing.empty()) {
        flow.Paragraph(QStringLiteral("Every cell passed."));
        return;
    }
    std::string cells;
    size_t notTested = 0;
    for (const size_t i : r.failing) {
        cells += (cells.empty() ? "" : ", ") + r.cells[i].label;
        notTested += r.cells[i].result == CellResult::NotTested ? 1 : 0;
    }
    flow.Paragraph(q(std::to_string(r.failing.size()) + " of " + std::to_string(r.cells.size()) +
                     " cells failed (" + std::to_string(notTested) + " not tested): " + cells +
                     "."));
    if (r.adjacentFailures.empty()) {
        flow.Paragraph(QStringLiteral("No two failing cells are adjacent (sharing an edge or a "
                                      "corner)."));
        return;
    }
    std::string pairs;
    for (const auto& [a, b] : r.adjacentFailures) {
        pairs += (pairs.empty() ? "" : ", ") + r.cells[a].label + "-" + r.cells[b].label;
    }
    flow.Paragraph(q("Adjacent failing cells (sharing an edge or a corner): " + pairs + "."));
}

void channelTable(CReportFlow& flow, const GridReport& report) {
    flow.Heading(QStringLiteral("Channels"));
    if (report.channels.empty()) {
        flow.Paragraph(QStringLiteral("No readings inside the area under test."));
        return;
    }
    flow.Paragraph(q("Every channel read inside the area under test, over the points where it "
                     "was read (readings at one point averaged in power). The share counts "
                     "points at or above " +
                     DbmText(report.settings.thresholdDbm) + " dBm."));
    const std::vector<ReportColumn> columns = {
        {"Channel", 22.0, true},    {"Points", 22.0, true},  {"Min dBm", 24.0, true},
        {"Median dBm", 26.0, true}, {"Max dBm", 24.0, true}, {"At or above", 30.0, true},
        {"Share", 0.0, true},
    };
    std::vector<ReportRow> rows;
    for (const ChannelStats& c : report.channels) {
        ReportRow row;
        row.cells << QString::number(c.channel) << QString::number(c.points) << number(c.minDbm)
                  << number(c.medianDbm) << number(c.maxDbm) << QString::number(c.atOrAbove)
                  << q(PctText(100.0 * c.atOrAbove / c.points));
        rows.push_back(row);
    }
    flow.Table(columns, rows);
}

} // namespace

int DrawTablePages(const CReportCanvas& canvas, const GridReport& report, int firstPage,
                   int pages) {
    CReportFlow flow(canvas, FooterText(report), firstPage, pages);
    cellTable(flow, report);
    criticalTable(flow, report);
    failureSummary(flow, report);
    channelTable(flow, report);
    std::vector<std::pair<QString, QString>> lines;
    for (const auto& [label, value] : SettingsLines(report)) {
        lines.emplace_back(q(label), q(value));
    }
    // The settings read as one block, on one page whenever they fit on one.
    flow.Heading(QStringLiteral("Settings"), flow.LabelValuesHeight(lines, kSettingsLabelMm));
    flow.LabelValues(lines, kSettingsLabelMm);
    return flow.Finish();
}

} // namespace lks
