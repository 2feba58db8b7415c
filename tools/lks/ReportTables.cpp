// Report tables: one row per channel under test, one per channel read, and a table of cells with
// a column per channel; then the settings with the basis of every rule.
#include "ReportTables.h"

#include <algorithm>
#include <string>

#include "GridTexts.h"
#include "ReportFirstPage.h"
#include "ReportFlow.h"
#include "ReportPlan.h"
#include "files/Folders.h"

namespace lks {

namespace {

constexpr double kSettingsLabelMm = 44.0;
constexpr double kValueColumnMm = 16.5;
constexpr double kCellColumnsMm = 78.0; // cell, centre, points, offset and DAQ
const QColor kGreyText(110, 110, 110);

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string groupTitle(const FloorReport& floor, size_t g) {
    const CellGroup& group = *floor.Groups()[g];
    if (g >= floor.grid.sectors.size()) {
        return "Critical area: " + group.name;
    }
    return group.name.empty() ? std::string("Floor cells") : group.name;
}

void channelTable(CReportFlow& flow, const FloorReport& floor) {
    flow.Heading(QStringLiteral("Channels under test"));
    flow.Paragraph(q("Each channel is judged on its own over every sector and every critical "
                     "area; the floor passes only when every channel passes. Failing cells "
                     "include those not tested; adjacent ones share a side or a corner."));
    // A label column only where the channel table gave labels, or the best server's name.
    bool labels = false;
    for (const SeriesReport& s : floor.series) {
        labels = labels || !s.label.empty() || s.bestServer;
    }
    std::vector<ReportColumn> columns = {
        {"Channel", 14.0, true}, {"MHz", 17.0, true}, {"Band", 26.0, false, true}};
    if (labels) {
        columns.push_back({"Label", 0.0, false, true});
    }
    columns.push_back({"Cells passing", 0.0, false, true});
    columns.push_back({"Failing cells", 0.0, false, true});
    columns.push_back({"Result", 13.0, false});
    std::vector<ReportRow> rows;
    const std::vector<const CellGroup*> groups = floor.Groups();
    for (const SeriesReport& s : floor.series) {
        ReportRow row;
        if (s.bestServer) {
            row.cells << "best"
                      << ""
                      << "" << q(s.name);
        } else {
            const SurveyChannel& c = floor.table->Channels()[s.channels.front()];
            row.cells << q(s.shortName) << q(MhzText(c.frequencyMHz)) << BandName(c.band);
            if (labels) {
                row.cells << q(s.label);
            }
        }
        std::string passing;
        std::string failing;
        for (size_t g = 0; g < groups.size(); ++g) {
            const GroupResult& r = FloorReport::GroupOf(s.result, g);
            const std::string name =
                groups[g]->name.empty() ? std::string() : groups[g]->name + ": ";
            passing += (passing.empty() ? "" : "; ") + name + std::to_string(r.passing) + "/" +
                       std::to_string(r.cells.size()) + " = " + PctText(r.sharePct) +
                       (r.pass ? "" : " FAIL");
            if (!r.failing.empty()) {
                failing += (failing.empty() ? "" : "; ") + name +
                           FailingText(r, g < floor.grid.sectors.size() && floor.rules.nonAdjacent);
            }
        }
        row.cells << q(passing) << q(failing.empty() ? "none" : failing) << PassWord(s.result.pass);
        row.coloured.emplace_back(
            row.cells.size() - 1,
            ResultColour(s.result.pass ? CellResult::Pass : CellResult::Fail));
        rows.push_back(row);
    }
    flow.Table(columns, rows);
}

void readingsTable(CReportFlow& flow, const FloorReport& floor) {
    flow.Heading(QStringLiteral("Readings by channel"));
    flow.Paragraph(q("Every channel read inside the area under test, over the points where it was "
                     "read (scans at one spot averaged in power; a location stored without "
                     "readings counts as no signal). The share counts points at or above " +
                     DbmText(floor.rules.thresholdDbm) + " dBm."));
    const std::vector<ReportColumn> columns = {
        {"Channel", 16.0, true},   {"MHz", 18.0, true},         {"Points", 14.0, true},
        {"No signal", 16.0, true}, {"Min dBm", 20.0, true},     {"Median dBm", 22.0, true},
        {"Max dBm", 20.0, true},   {"At or above", 20.0, true}, {"Share", 0.0, true}};
    std::vector<ReportRow> rows;
    for (const ChannelStats& c : floor.stats) {
        const SurveyChannel& ch = floor.table->Channels()[c.channel];
        ReportRow row;
        row.cells << q(ShortChannelText(*floor.table, c.channel)) << q(MhzText(ch.frequencyMHz))
                  << QString::number(c.points) << QString::number(c.noSignal)
                  << q(DbmText(c.minDbm)) << q(DbmText(c.medianDbm)) << q(DbmText(c.maxDbm))
                  << QString::number(c.atOrAbove) << q(PctText(100.0 * c.atOrAbove / c.points));
        rows.push_back(row);
    }
    flow.Table(columns, rows);
}

// The cells with one column per channel, as many channels to a table as fit across the page.
void cellTables(CReportFlow& flow, const CReportCanvas& canvas, const FloorReport& floor) {
    const bool centre = floor.rules.mode == CellMode::Centre;
    const auto perTable =
        static_cast<size_t>(std::max(1.0, (canvas.Width() - kCellColumnsMm) / kValueColumnMm));
    const std::vector<const CellGroup*> groups = floor.Groups();
    for (size_t first = 0; first < floor.series.size(); first += perTable) {
        const size_t last = std::min(floor.series.size(), first + perTable);
        flow.Heading(floor.series.size() <= perTable
                         ? QStringLiteral("Cells")
                         : QStringLiteral("Cells, channels %1 to %2 of %3")
                               .arg(first + 1)
                               .arg(last)
                               .arg(floor.series.size()));
        if (first == 0) {
            flow.Paragraph(q("Values in dBm, cut to tenths toward the weaker side; positions in "
                             "plan pixels. DAQ: down and up, and the talk-back check. " +
                             std::string(centre ? "Offset: how far the point nearest the centre "
                                                  "lies from it; beyond the tolerance the cell "
                                                  "is NOT TESTED."
                                                : "Points: those averaged.") +
                             " A cell NOT TESTED fails."));
        }
        std::vector<ReportColumn> columns = {{"Cell", 13.0, false},
                                             {"Centre x, y", 20.0, true},
                                             {"Points", 11.0, true},
                                             {centre ? "Offset" : "", 12.0, true},
                                             {"DAQ dn / up", 22.0, false, true}};
        for (size_t s = first; s < last; ++s) {
            columns.push_back({q(floor.series[s].shortName), kValueColumnMm, true});
        }
        columns.push_back({"", 0.0, false});
        std::vector<ReportRow> rows;
        for (size_t g = 0; g < groups.size(); ++g) {
            if (groups.size() > 1 || !groups[g]->name.empty()) {
                ReportRow heading;
                heading.spanning = true;
                heading.cells << q(groupTitle(floor, g));
                rows.push_back(heading);
            }
            const GroupResult& layout = floor.LayoutGroup(g);
            for (size_t i = 0; i < layout.cells.size(); ++i) {
                const GridCell& cell = layout.cells[i];
                ReportRow row;
                row.cells << q(cell.label)
                          << QStringLiteral("%1, %2")
                                 .arg(cell.rect.x + cell.rect.w / 2.0, 0, 'f', 1)
                                 .arg(cell.rect.y + cell.rect.h / 2.0, 0, 'f', 1)
                          << QString::number(cell.points)
                          << (centre && cell.hasNearest ? QString::number(cell.offsetPx, 'f', 1)
                                                        : QString())
                          << q(DaqText(cell.daq));
                for (size_t s = first; s < last; ++s) {
                    const GridCell& c = FloorReport::GroupOf(floor.series[s].result, g).cells[i];
                    row.cells << (c.signal == CellResult::NotTested ? QStringLiteral("not tested")
                                                                    : q(DbmText(c.dbm)));
                    if (c.result != CellResult::Pass) {
                        row.coloured.emplace_back(row.cells.size() - 1,
                                                  c.result == CellResult::Fail
                                                      ? ResultColour(CellResult::Fail)
                                                      : kGreyText);
                    }
                }
                rows.push_back(row);
            }
        }
        flow.Table(columns, rows);
    }
}

void settings(CReportFlow& flow, const BuildingReport& report) {
    const GridtestPlan& plan = *report.plan;
    std::vector<std::pair<QString, QString>> lines = {
        {"Rules", q(ProfileText(plan))},
        {"Profile", q(std::string(plan.profile->name) + " (" + plan.profile->key + ")")},
    };
    for (const std::string& basis : plan.profile->basis) {
        lines.emplace_back("Basis", q(basis));
    }
    if (!plan.profile->retest.empty()) {
        lines.emplace_back("Retest", q(plan.profile->retest));
    }
    lines.emplace_back("Applied", q(RulesText(plan.rules)));
    lines.emplace_back("Cell value", q(ModeText(plan.rules)));
    lines.emplace_back("Judged", q(plan.bestServer ? "the best server: each point's strongest "
                                                     "channel, as the handheld's circles show it"
                                                   : "each channel on its own"));
    lines.emplace_back("Channel labels",
                       q(plan.table.empty() ? "none (no --table)" : "from " + NameOf(plan.table)));
    for (const auto& [label, value] : RecordFields(plan.record, "")) {
        if (label != "Floor") {
            lines.emplace_back(q(label), q(value.empty() ? "not given" : value));
        }
    }
    lines.emplace_back("Paper", plan.paper == Paper::A4 ? "A4" : "US Letter");
    flow.Heading(QStringLiteral("Settings"), flow.LabelValuesHeight(lines, kSettingsLabelMm));
    flow.LabelValues(lines, kSettingsLabelMm);
}

} // namespace

int DrawTablePages(const CReportCanvas& canvas, const BuildingReport& report,
                   const FloorReport& floor, bool withSettings, int firstPage, int pages) {
    CReportFlow flow(canvas, FooterText(report), firstPage, pages);
    if (report.plan->building) {
        flow.Paragraph(q("Floor " + floor.Name() + " (" + floor.siteName + ")"));
    }
    channelTable(flow, floor);
    readingsTable(flow, floor);
    cellTables(flow, canvas, floor);
    if (withSettings) {
        settings(flow, report);
    }
    return flow.Finish();
}

} // namespace lks
