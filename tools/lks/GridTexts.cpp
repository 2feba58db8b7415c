// Grid-report texts: numbers with fixed decimals in the C locale, cut rather than rounded, times
// in UTC.
#include "GridTexts.h"

#include <cmath>
#include <cstdio>

#include "UtcTime.h"

namespace lks {

namespace {

std::string format(const char* pattern, double a, double b = 0.0) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

// v cut to tenths toward minus infinity, so that -95.045 reads -95.1 and fails visibly.
std::string tenthsDown(double v) {
    double tenths = std::floor(v * 10.0) / 10.0;
    if (tenths > v) { // the product rounded up across a tenth
        tenths -= 0.1;
    }
    return format("%.1f", tenths == 0.0 ? 0.0 : tenths);
}

} // namespace

std::string DbmText(double dbm) {
    return IsNoSignal(dbm) ? "no signal" : tenthsDown(dbm);
}

std::string PctNumber(double pct) {
    return tenthsDown(pct);
}

std::string PctText(double pct) {
    return PctNumber(pct) + " %";
}

std::string RateNumber(double pct) {
    return format("%g", pct);
}

std::string RateText(double pct) {
    return RateNumber(pct) + " %";
}

std::string UtcText(uint32_t seconds) {
    return UtcTimeText(seconds, "%Y-%m-%d %H:%M:%S UTC");
}

const char* ResultWord(CellResult result) {
    switch (result) {
    case CellResult::Pass:
        return "PASS";
    case CellResult::Fail:
        return "FAIL";
    case CellResult::NotTested:
        break;
    }
    return "NOT TESTED";
}

const char* PassWord(bool pass) {
    return pass ? "PASS" : "FAIL";
}

std::string RectText(const PlanRect& r) {
    return std::to_string(r.x) + "," + std::to_string(r.y) + "," + std::to_string(r.w) + "," +
           std::to_string(r.h);
}

std::string DaqText(const CellDaq& daq) {
    if (!daq.Recorded()) {
        return "DAQ not tested";
    }
    const auto value = [](double v) { return v < 0.0 ? std::string("-") : format("%.1f", v); };
    std::string text = value(daq.down) + " / " + value(daq.up);
    if (daq.talkback != Talkback::NotTested) {
        text += daq.talkback == Talkback::Pass ? " pass" : " FAIL";
    }
    return text;
}

std::string ChannelList(const CSpotTable& table, const std::vector<size_t>& channels) {
    std::string text;
    for (size_t i = 0; i < channels.size(); ++i) {
        text += (i == 0                     ? ""
                 : i + 1 == channels.size() ? " and "
                                            : ", ") +
                ShortChannelText(table, channels[i]);
    }
    return text;
}

std::string ShortChannelText(const CSpotTable& table, size_t channel) {
    const SurveyChannel& c = table.Channels()[channel];
    size_t sameNumber = 0;
    for (const SurveyChannel& other : table.Channels()) {
        sameNumber += other.id.channel == c.id.channel ? 1 : 0;
    }
    return std::to_string(c.id.channel) + (sameNumber > 1 ? "@" + MhzText(c.frequencyMHz) : "");
}

std::string ProfileText(const GridtestPlan& plan) {
    if (plan.changes.empty()) {
        return plan.profile->name;
    }
    std::string text = "custom, from " + std::string(plan.profile->name) + ": ";
    for (size_t i = 0; i < plan.changes.size(); ++i) {
        text += (i == 0 ? "" : "; ") + plan.changes[i];
    }
    return text;
}

std::string ModeText(const GridRules& rules) {
    if (rules.mode == CellMode::Mean) {
        return "mean: the power mean of each cell's points, at least " +
               std::to_string(rules.minSamples) + " of them";
    }
    return "centre: the point nearest each cell's centre, within " +
           (rules.centreTolerancePx >= 0.0 ? format("%g px", rules.centreTolerancePx)
                                           : std::string("a quarter of the cell's shorter side"));
}

std::string RulesText(const GridRules& r) {
    std::string text = "Cells at or above " + format("%.1f", r.thresholdDbm) + " dBm; ";
    text += r.generalPct > 0.0 ? RateText(r.generalPct) + " of each sector's cells"
                               : std::string("no share of cells asked");
    if (r.maxFailing >= 0) {
        text += "; at most " + std::to_string(r.maxFailing) + " failing cells";
    }
    if (r.nonAdjacent) {
        text += ", no two of them touching";
    }
    text += "; " + RateText(r.criticalPct) + " of each critical area's cells";
    if (r.minDaq > 0.0) {
        text += "; DAQ " + format("%.1f", r.minDaq) + " where recorded";
    }
    return text;
}

std::string TestDateText(const GridtestPlan& plan, const FloorReport& floor) {
    if (!plan.record.testDate.empty()) {
        return plan.record.testDate;
    }
    const uint32_t saved = floor.summary.site.SaveTime();
    return saved == 0 ? std::string("not given (the survey was never saved)")
                      : UtcTimeText(saved, "%Y-%m-%d") + " (the survey's last save)";
}

std::string GridText(const GridtestPlan& plan, const FloorReport& floor) {
    const CellGroup& first = floor.grid.sectors.front();
    std::string text = std::to_string(first.cols) + " x " + std::to_string(first.rows) + " = " +
                       std::to_string(first.cols * first.rows) + " cells";
    if (floor.grid.sectored) {
        text = std::to_string(floor.grid.sectors.size()) +
               " sectors of at most 128,000 sq ft, each " + text;
    }
    return text + (plan.cols > 0 ? " (as given)" : " (20 near-square cells a sector)");
}

std::string CellSizeText(const FloorReport& floor) {
    const CellGroup& g = floor.grid.sectors.front();
    const double w = double(g.rect.w) / g.cols;
    const double h = double(g.rect.h) / g.rows;
    std::string text = format("%.0f x %.0f px", w, h);
    const double perFoot = floor.plan.pixelsPerFoot;
    if (perFoot > 0.0) {
        text +=
            format(" = %.1f x %.1f ft", w / perFoot, h / perFoot) +
            format(" (%.1f x %.1f m)", w / perFoot / kFeetPerMetre, h / perFoot / kFeetPerMetre);
    }
    return text;
}

std::string ScaleText(const FloorReport& floor) {
    const double perFoot = floor.plan.pixelsPerFoot;
    if (perFoot <= 0.0) {
        return "none given: sizes are in plan pixels";
    }
    return floor.plan.scaleText +
           format(" (%.3g px/ft, %.3g px/m)", perFoot, perFoot * kFeetPerMetre);
}

std::string SeriesText(const FloorReport& floor) {
    if (floor.series.size() == 1 && floor.series.front().bestServer) {
        return floor.series.front().name;
    }
    std::string text = floor.series.size() == 1 ? "channel " + floor.series.front().name
                                                : "each of " + std::to_string(floor.series.size()) +
                                                      " channels on its own: ";
    for (size_t i = 0; floor.series.size() > 1 && i < floor.series.size(); ++i) {
        text += (i == 0 ? "" : ", ") + floor.series[i].shortName;
    }
    return text;
}

std::string FailingText(const GroupResult& g, bool adjacent) {
    if (g.failing.empty()) {
        return "none";
    }
    std::string text;
    for (const size_t i : g.failing) {
        text += (text.empty() ? "" : ", ") + g.cells[i].label;
    }
    if (adjacent && !g.adjacent.empty()) {
        text += " (adjacent:";
        for (size_t i = 0; i < g.adjacent.size(); ++i) {
            text += (i == 0 ? " " : ", ") + g.cells[g.adjacent[i].first].label + "+" +
                    g.cells[g.adjacent[i].second].label;
        }
        text += ")";
    }
    return text;
}

std::vector<std::string> FloorWarnings(const GridtestPlan& plan, const FloorReport& floor) {
    std::vector<std::string> warnings;
    const double perFoot = floor.plan.pixelsPerFoot;
    const CellGroup& g = floor.grid.sectors.front();
    if (perFoot <= 0.0) {
        warnings.emplace_back("no scale given: cell sizes are in plan pixels and were not "
                              "checked against the 20 to 80 ft of the grid guidance, and a floor "
                              "over 128,000 sq ft cannot be told");
    } else {
        const double sides[] = {g.rect.w / perFoot / g.cols, g.rect.h / perFoot / g.rows};
        const char* names[] = {"wide", "high"};
        for (int i = 0; i < 2; ++i) {
            if (sides[i] < kMinCellSideFt || sides[i] > kMaxCellSideFt) {
                warnings.push_back(format("cells are %.1f ft ", sides[i]) + names[i] +
                                   ": outside the 20 to 80 ft of the grid guidance");
            }
        }
    }
    size_t outside = 0;
    size_t offPlan = 0;
    const SitePicture& picture = floor.summary.site.m_picture;
    for (const SpotValue& s : floor.measured) {
        outside += floor.grid.area.Contains(s.x, s.y) ? 0 : 1;
        offPlan += PlanRect{0, 0, picture.width, picture.height}.Contains(s.x, s.y) ? 0 : 1;
    }
    if (outside > 0) {
        warnings.push_back(std::to_string(outside) +
                           " measured points lie outside the area "
                           "under test" +
                           (offPlan > 0 ? " (" + std::to_string(offPlan) + " of them off the plan)"
                                        : std::string()) +
                           " and count in no cell");
    }
    for (const SeriesReport& s : floor.series) {
        const size_t missing = floor.measured.size() - s.spots.size();
        if (missing > 0 && !s.bestServer) {
            warnings.push_back("channel " + s.shortName + " was not read at " +
                               std::to_string(missing) + " points; they count for it nowhere");
        }
    }
    size_t uncalibrated = 0;
    for (const SurveyRecord& r : floor.summary.site.m_records) {
        uncalibrated += r.uncalibrated ? 1 : 0;
    }
    if (uncalibrated > 0) {
        warnings.push_back(std::to_string(uncalibrated) + " of " +
                           std::to_string(floor.summary.site.ReadingCount()) +
                           " readings are uncalibrated: a software-defined radio measured them "
                           "without a calibration, and their levels may be off by 10 dB or more");
    }
    if (plan.rules.minDaq > 0.0 && floor.daq.empty()) {
        warnings.push_back(format("the rules ask DAQ %.1f, but no DAQ was recorded (--daq): every "
                                  "cell shows DAQ not tested",
                                  plan.rules.minDaq));
    }
    return warnings;
}

std::string FloorVerdictText(const FloorReport& floor) {
    if (floor.series.size() == 1) {
        const SeriesReport& s = floor.series.front();
        return std::string(PassWord(floor.pass)) + ": " +
               (s.bestServer ? std::string("best server") : "channel " + s.shortName);
    }
    std::string failing;
    size_t count = 0;
    for (const SeriesReport& s : floor.series) {
        if (!s.result.pass) {
            failing += (failing.empty() ? "" : ", ") + s.shortName;
            ++count;
        }
    }
    const std::string judged = std::to_string(floor.series.size()) + " channels";
    return floor.pass ? "PASS: all " + judged + " pass"
                      : "FAIL: " + std::to_string(count) + " of " + judged + " fail: " + failing;
}

std::string VerdictLine(const BuildingReport& report) {
    if (report.floors.size() == 1) {
        return FloorVerdictText(report.floors.front());
    }
    std::string text = std::string(PassWord(report.pass)) + ": " +
                       std::to_string(report.floors.size()) + " floors";
    for (const FloorReport& f : report.floors) {
        if (!f.pass) {
            text += "; " + f.Name() + " " + FloorVerdictText(f).substr(6);
        }
    }
    return report.pass ? text + ", every channel passes" : text;
}

} // namespace lks
