// Grid tables: CSV in one table each, with the floor and the channel on every row, so that a CSV
// reader never mistakes a summary for a cell; JSON through Qt's writer.
#include "GridTables.h"

#include <cstdio>

#include "GridTexts.h"

namespace lks {

namespace {

// One CSV field, quoted where it must be.
std::string csvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) {
        return s;
    }
    std::string quoted = "\"";
    for (const char c : s) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

struct SeriesColumns {
    std::string channel;
    std::string mhz;
    std::string band;
    std::string label;
};

SeriesColumns columnsOf(const FloorReport& floor, const SeriesReport& s) {
    if (s.bestServer) {
        return {"best server", "", "", ""};
    }
    const SurveyChannel& c = floor.table->Channels()[s.channels.front()];
    return {std::to_string(c.id.channel), MhzText(c.frequencyMHz), BandName(c.band), s.label};
}

std::string join(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        line += (i == 0 ? "" : ",") + csvField(fields[i]);
    }
    return line + "\n";
}

std::string cellValue(const GridCell& cell) {
    return cell.signal == CellResult::NotTested ? std::string() : DbmText(cell.dbm);
}

std::string daqValue(double v) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", v);
    return v < 0.0 ? std::string() : std::string(text);
}

const char* talkbackWord(Talkback t) {
    return t == Talkback::Pass ? "pass" : t == Talkback::Fail ? "fail" : "";
}

} // namespace

std::string GridCsv(const BuildingReport& report) {
    std::string out =
        join({"floor",     "site",     "group",   "cell",          "x",       "y",
              "w",         "h",        "channel", "frequency_mhz", "band",    "label",
              "value_dbm", "points",   "min_dbm", "max_dbm",       "point_x", "point_y",
              "offset_px", "daq_down", "daq_up",  "talkback",      "result"});
    for (const FloorReport& floor : report.floors) {
        const std::vector<const CellGroup*> groups = floor.Groups();
        for (const SeriesReport& s : floor.series) {
            const SeriesColumns c = columnsOf(floor, s);
            for (size_t g = 0; g < groups.size(); ++g) {
                const GroupResult& group = FloorReport::GroupOf(s.result, g);
                const std::string name = g < floor.grid.sectors.size()
                                             ? groups[g]->name
                                             : "critical: " + groups[g]->name;
                for (const GridCell& cell : group.cells) {
                    const bool any = cell.points > 0;
                    char offset[24] = "";
                    if (cell.hasNearest) {
                        std::snprintf(offset, sizeof offset, "%.1f", cell.offsetPx);
                    }
                    out += join({floor.Name(),
                                 floor.siteName,
                                 name,
                                 cell.label,
                                 std::to_string(cell.rect.x),
                                 std::to_string(cell.rect.y),
                                 std::to_string(cell.rect.w),
                                 std::to_string(cell.rect.h),
                                 c.channel,
                                 c.mhz,
                                 c.band,
                                 c.label,
                                 cellValue(cell),
                                 std::to_string(cell.points),
                                 any ? DbmText(cell.minDbm) : "",
                                 any ? DbmText(cell.maxDbm) : "",
                                 cell.hasNearest ? std::to_string(cell.pointX) : "",
                                 cell.hasNearest ? std::to_string(cell.pointY) : "",
                                 offset,
                                 daqValue(cell.daq.down),
                                 daqValue(cell.daq.up),
                                 talkbackWord(cell.daq.talkback),
                                 ResultWord(cell.result)});
                }
            }
        }
    }
    return out;
}

std::string SummaryCsv(const BuildingReport& report) {
    std::string out =
        join({"floor", "site", "scope", "name", "channel", "frequency_mhz", "band", "label",
              "cells", "passing", "share_pct", "required_pct", "failing_cells", "result"});
    const GridRules& rules = report.plan->rules;
    for (const FloorReport& floor : report.floors) {
        const std::vector<const CellGroup*> groups = floor.Groups();
        for (const SeriesReport& s : floor.series) {
            const SeriesColumns c = columnsOf(floor, s);
            for (size_t g = 0; g < groups.size(); ++g) {
                const bool sector = g < floor.grid.sectors.size();
                const GroupResult& r = FloorReport::GroupOf(s.result, g);
                const double asked = sector ? rules.generalPct : rules.criticalPct;
                out += join({floor.Name(), floor.siteName, sector ? "sector" : "critical area",
                             groups[g]->name, c.channel, c.mhz, c.band, c.label,
                             std::to_string(r.cells.size()), std::to_string(r.passing),
                             PctNumber(r.sharePct), asked > 0.0 ? RateNumber(asked) : "",
                             FailingText(r, true), PassWord(r.pass)});
            }
            out += join({floor.Name(), floor.siteName, "channel", "", c.channel, c.mhz, c.band,
                         c.label, "", "", "", "", "", PassWord(s.result.pass)});
        }
        out += join({floor.Name(), floor.siteName, "floor", "", "", "", "", "", "", "", "", "", "",
                     PassWord(floor.pass)});
    }
    out += join({"", "", "building", report.plan->record.building, "", "", "", "", "", "", "", "",
                 "", PassWord(report.pass)});
    return out;
}

} // namespace lks
