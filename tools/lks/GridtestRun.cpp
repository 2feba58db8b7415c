// Gridtest run: per floor the site, its spot table, its grid and rules, the series under test and
// their verdicts; then the outputs.
#include "GridtestRun.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "DaqFile.h"
#include "GridReportPdf.h"
#include "GridTables.h"
#include "GridTexts.h"
#include "OutputFiles.h"
#include "files/Folders.h"

namespace lks {

namespace {

bool checkRect(const PlanRect& r, const SitePicture& picture, const std::string& what,
               std::string& error) {
    if (r.Within(picture.width, picture.height)) {
        return true;
    }
    error = what + " " + RectText(r) + " reaches outside the " + std::to_string(picture.width) +
            " x " + std::to_string(picture.height) + " plan";
    return false;
}

bool makeSeries(const GridtestPlan& plan, const BuildingReport& building, FloorReport& floor,
                std::string& error) {
    const CSpotTable& table = *floor.table;
    std::vector<size_t> chosen;
    for (const ChannelRequest& request : plan.channels) {
        size_t index = 0;
        if (!ResolveChannelRequest(request, table, floor.plan.site, index, error)) {
            return false;
        }
        chosen.push_back(index);
    }
    if (table.Channels().empty()) {
        error = floor.plan.site + (table.SpotCount() == 0 ? " has no measured points"
                                                          : " holds no reading of any channel");
        return false;
    }
    if (plan.bestServer) {
        SeriesReport s;
        s.bestServer = true;
        s.channels = chosen;
        s.name = "best server: the strongest of " +
                 (chosen.empty() ? std::string("every channel") : ChannelList(table, chosen)) +
                 " at each point";
        s.shortName = "best";
        floor.series.push_back(s);
        return true;
    }
    if (chosen.empty()) {
        for (size_t c = 0; c < table.Channels().size(); ++c) {
            chosen.push_back(c);
        }
    }
    for (const size_t c : chosen) {
        SeriesReport s;
        s.channels = {c};
        s.name = ChannelText(table.Channels()[c]);
        s.shortName = ShortChannelText(table, c);
        s.label = LabelOf(building.labels, table.Channels()[c].id);
        floor.series.push_back(s);
    }
    return true;
}

bool checkDaqCells(const FloorReport& floor, std::string& error) {
    for (const auto& [label, daq] : floor.daq) {
        bool known = false;
        for (const CellGroup* g : floor.Groups()) {
            for (int row = 0; row < g->rows && !known; ++row) {
                for (int col = 0; col < g->cols && !known; ++col) {
                    known = CellLabel(*g, row, col) == label;
                }
            }
        }
        if (!known) {
            error = floor.plan.daq + " names cell " + label + ", which the grid of " +
                    floor.plan.site + " does not have";
            return false;
        }
    }
    return true;
}

bool judgeFloor(const GridtestPlan& plan, const BuildingReport& building, FloorReport& floor,
                std::string& error) {
    if (!OpenSiteForTool(floor.plan.site, floor.summary, error)) {
        return false;
    }
    floor.siteName = NameOf(floor.plan.site);
    const SitePicture& picture = floor.summary.site.m_picture;
    const PlanRect area =
        floor.plan.areaGiven ? floor.plan.area : PlanRect{0, 0, picture.width, picture.height};
    if (!checkRect(area, picture, "--area", error)) {
        return false;
    }
    for (const CriticalArea& c : floor.plan.critical) {
        if (!checkRect(c.rect, picture, "critical area '" + c.name + "'", error)) {
            return false;
        }
    }
    if (!MakeFloorGrid(area, plan.cols, plan.rows, floor.plan.pixelsPerFoot, floor.plan.critical,
                       floor.grid, error)) {
        error = floor.plan.site + ": " + error;
        return false;
    }
    floor.rules = plan.rules;
    if (plan.centreTolerance.value >= 0.0 &&
        !plan.centreTolerance.Pixels(floor.plan.pixelsPerFoot, floor.rules.centreTolerancePx)) {
        error = "--centre-tolerance in ft or m needs the scale of " + floor.plan.site;
        return false;
    }
    if (!floor.plan.daq.empty() &&
        (!ReadDaqFile(floor.plan.daq, floor.daq, error) || !checkDaqCells(floor, error))) {
        return false;
    }
    floor.table = std::make_unique<CSpotTable>(floor.summary.readings);
    if (!makeSeries(plan, building, floor, error)) {
        return false;
    }
    floor.pass = true;
    for (SeriesReport& s : floor.series) {
        s.spots = floor.table->Values(s.channels, SpotCombine::Strongest);
        s.result = RunGridTest(s.spots, floor.grid, floor.rules, &floor.daq);
        floor.pass = floor.pass && s.result.pass;
    }
    floor.measured = floor.table->Values({}, SpotCombine::Strongest);
    floor.layout = RunGridTest(floor.measured, floor.grid, floor.rules, &floor.daq);
    floor.stats = ChannelStatistics(*floor.table, area, floor.rules.thresholdDbm);
    floor.warnings = FloorWarnings(plan, floor);
    return true;
}

} // namespace

std::vector<const CellGroup*> FloorReport::Groups() const {
    std::vector<const CellGroup*> groups;
    for (const CellGroup& g : grid.sectors) {
        groups.push_back(&g);
    }
    for (const CellGroup& g : grid.critical) {
        groups.push_back(&g);
    }
    return groups;
}

const GroupResult& FloorReport::GroupOf(const GridTestResult& r, size_t g) {
    return g < r.sectors.size() ? r.sectors[g] : r.critical[g - r.sectors.size()];
}

std::vector<CombinedCell> FloorReport::Combined(size_t g) const {
    std::vector<CombinedCell> cells(LayoutGroup(g).cells.size());
    for (const SeriesReport& s : series) {
        const GroupResult& group = GroupOf(s.result, g);
        for (size_t i = 0; i < cells.size(); ++i) {
            const GridCell& cell = group.cells[i];
            CombinedCell& c = cells[i];
            if (cell.signal != CellResult::NotTested) {
                c.weakestDbm = c.anyTested ? std::min(c.weakestDbm, cell.dbm) : cell.dbm;
                c.anyTested = true;
            }
            c.failing += cell.result == CellResult::Fail ? 1 : 0;
        }
    }
    for (size_t i = 0; i < cells.size(); ++i) {
        bool untested = false;
        for (const SeriesReport& s : series) {
            untested = untested || GroupOf(s.result, g).cells[i].result == CellResult::NotTested;
        }
        cells[i].result = cells[i].failing > 0 ? CellResult::Fail
                          : untested           ? CellResult::NotTested
                                               : CellResult::Pass;
    }
    return cells;
}

bool JudgeBuilding(const GridtestPlan& plan, BuildingReport& report, std::string& error) {
    report.plan = &plan;
    report.floors.clear();
    if (!plan.table.empty() && !ReadChannelLabels(plan.table, report.labels, error)) {
        return false;
    }
    report.pass = true;
    for (const FloorPlan& floorPlan : plan.floors) {
        report.floors.emplace_back();
        FloorReport& floor = report.floors.back();
        floor.plan = floorPlan;
        if (!judgeFloor(plan, report, floor, error)) {
            return false;
        }
        report.pass = report.pass && floor.pass;
    }
    return true;
}

GridtestStatus RunGridtestPlan(const GridtestPlan& plan, std::string& message,
                               std::string& verdict) {
    std::vector<OutputFile> outputs = {{"-o", plan.output, {}}};
    const std::pair<const char*, const std::string*> tables[] = {
        {"--csv", &plan.csv}, {"--json", &plan.json}, {"--summary-csv", &plan.summaryCsv}};
    for (const auto& [option, path] : tables) {
        if (!path->empty()) {
            outputs.push_back({option, *path, {}});
        }
    }
    BuildingReport report;
    if (!CheckOutputs(plan.Inputs(), outputs, message) || !JudgeBuilding(plan, report, message)) {
        message = "gridtest: " + message;
        return GridtestStatus::BadInput;
    }
    QByteArray pdf;
    if (!RenderGridReportPdf(report, pdf)) {
        message = "gridtest: the PDF could not be produced";
        return GridtestStatus::WriteFailed;
    }
    outputs[0].bytes.assign(pdf.constData(), static_cast<size_t>(pdf.size()));
    for (OutputFile& out : outputs) {
        if (out.option == std::string("--csv")) {
            out.bytes = GridCsv(report);
        } else if (out.option == std::string("--json")) {
            out.bytes = GridJson(report);
        } else if (out.option == std::string("--summary-csv")) {
            out.bytes = SummaryCsv(report);
        }
    }
    if (!WriteOutputs(outputs, message)) {
        message = "gridtest: " + message;
        return GridtestStatus::WriteFailed;
    }
    verdict = plan.output + ": " + VerdictLine(report);
    return report.pass ? GridtestStatus::Pass : GridtestStatus::Fail;
}

} // namespace lks
