// Cover page: record fields in two columns, the verdict box, then the floors as a table that
// flows onto further pages for a tall building.
#include "ReportCover.h"

#include "GridTexts.h"
#include "ReportFirstPage.h"
#include "ReportFlow.h"
#include "ReportPlan.h"

namespace lks {

namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

std::vector<std::string> coverLines(const BuildingReport& report) {
    const GridtestPlan& plan = *report.plan;
    size_t passing = 0;
    for (const FloorReport& f : report.floors) {
        passing += f.pass ? 1 : 0;
    }
    std::vector<std::string> lines = {
        "Rules: " + ProfileText(plan) + ". " + RulesText(plan.rules) + ".",
        std::to_string(report.floors.size()) + " floors judged, " + std::to_string(passing) +
            " pass; the building passes only when every floor does."};
    for (const FloorReport& f : report.floors) {
        if (!f.pass) {
            lines.push_back(f.Name() + ": " + FloorVerdictText(f));
        }
    }
    return lines;
}

} // namespace

int DrawCover(const CReportCanvas& canvas, const BuildingReport& report,
              const std::vector<int>& floorPages, int pages) {
    const GridtestPlan& plan = *report.plan;
    double y = canvas.Top();
    y += canvas.Wrapped(canvas.Left(), y, canvas.Width(), q(plan.title), canvas.Font(18.0, true));
    y += canvas.Wrapped(canvas.Left(), y, canvas.Width(),
                        QStringLiteral("In-building radio coverage: grid test of a building"),
                        canvas.Font(9.0), QColor(100, 100, 100)) +
         2.0;
    std::vector<std::pair<std::string, std::string>> fields;
    for (const auto& [label, value] : RecordFields(plan.record, "")) {
        if (label != "Floor") {
            fields.emplace_back(label, value.empty() ? "not given" : value);
        }
    }
    fields.emplace_back("Test date", plan.record.testDate.empty()
                                         ? std::string("each floor's last save, on its page")
                                         : plan.record.testDate);
    y = DrawFields(canvas, fields, 2, y) + 2.0;
    y = DrawVerdictBox(canvas, report.pass, coverLines(report), y) + 4.0;

    CReportFlow flow(canvas, FooterText(report), 1, pages);
    flow.Gap(y - canvas.Top());
    flow.Heading(QStringLiteral("Floors"));
    const std::vector<ReportColumn> columns = {
        {"Floor", 22.0, false, true},  {"Site file", 0.0, false, true},
        {"Judged", 0.0, false, true},  {"Critical areas", 0.0, false, true},
        {"Failing", 0.0, false, true}, {"Page", 10.0, true},
        {"Result", 13.0, false}};
    std::vector<ReportRow> rows;
    for (size_t i = 0; i < report.floors.size(); ++i) {
        const FloorReport& f = report.floors[i];
        std::string critical;
        for (const CellGroup& g : f.grid.critical) {
            critical += (critical.empty() ? "" : "; ") + g.name;
        }
        ReportRow row;
        row.cells << q(f.Name())
                  << q(f.siteName + ", saved " + UtcText(f.summary.site.SaveTime()) +
                       (f.summary.signatureInk ? ", signed" : ", not signed"))
                  << q(SeriesText(f)) << q(critical.empty() ? "none given" : critical)
                  << q(f.pass ? "none" : FloorVerdictText(f).substr(6))
                  << (i < floorPages.size() ? QString::number(floorPages[i]) : QString())
                  << PassWord(f.pass);
        row.coloured.emplace_back(6, ResultColour(f.pass ? CellResult::Pass : CellResult::Fail));
        rows.push_back(row);
    }
    flow.Table(columns, rows);
    // Where the rules come from, and what each floor's page warns of, before any floor is read.
    flow.Heading(QStringLiteral("Basis of the rules"));
    for (const std::string& basis : plan.profile->basis) {
        flow.Paragraph(q(basis));
    }
    for (const FloorReport& f : report.floors) {
        for (const std::string& warning : f.warnings) {
            flow.Paragraph(q(f.Name() + ": warning: " + warning), QColor(185, 90, 0));
        }
    }
    return flow.Finish();
}

} // namespace lks
