// Grid-report texts: numbers with fixed decimals in the C locale, times in UTC.
#include "GridTexts.h"

#include <cmath>
#include <cstdio>

#include "UtcTime.h"
#include "files/SitePicture.h"

namespace lks {

namespace {

std::string format(const char* pattern, double a, double b = 0.0) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

std::string areaText(const GridReport& report) {
    const PlanRect& a = report.settings.area;
    std::string text = RectText(a) + " px";
    if (report.picture != nullptr && a.x == 0 && a.y == 0 && a.w == report.picture->width &&
        a.h == report.picture->height) {
        text += " (the whole plan)";
    }
    return text;
}

} // namespace

std::string DbmText(double dbm) {
    // Rounded once here, so that -0.04 never prints as "-0.0".
    const double tenths = std::round(dbm * 10.0) / 10.0;
    return format("%.1f", tenths == 0.0 ? 0.0 : tenths);
}

std::string PctNumber(double pct) {
    return format("%.1f", pct);
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

std::string RectText(const PlanRect& r) {
    return std::to_string(r.x) + "," + std::to_string(r.y) + "," + std::to_string(r.w) + "," +
           std::to_string(r.h);
}

std::string ModeText(CellMode mode) {
    return mode == CellMode::Centre ? "centre: the point nearest the centre of each cell"
                                    : "mean: the power average of the points in each cell";
}

std::string ChannelsText(const std::vector<int32_t>& channels) {
    if (channels.empty()) {
        return "the strongest channel at each point";
    }
    std::string text = channels.size() == 1 ? "channel " : "the weakest of channels ";
    for (size_t i = 0; i < channels.size(); ++i) {
        text += (i == 0 ? "" : ", ") + std::to_string(channels[i]);
    }
    return text;
}

std::string CellSizeText(const GridReport& report) {
    const GridTestSettings& s = report.settings;
    const double w = double(s.area.w) / s.cols;
    const double h = double(s.area.h) / s.rows;
    std::string text = format("%.0f x %.0f px", w, h);
    const double perFoot = report.options.pixelsPerFoot;
    if (perFoot > 0.0) {
        text += format(" = %.1f x %.1f ft", w / perFoot, h / perFoot);
        text +=
            format(" (%.1f x %.1f m)", w / perFoot / kFeetPerMetre, h / perFoot / kFeetPerMetre);
    }
    return text;
}

std::string ScaleText(const GridReport& report) {
    if (report.options.pixelsPerFoot <= 0.0) {
        return "none given: sizes are in plan pixels";
    }
    return report.options.scaleText + format(" (%.3g px/ft, %.3g px/m)",
                                             report.options.pixelsPerFoot,
                                             report.options.pixelsPerFoot * kFeetPerMetre);
}

std::string GridText(const GridReport& report) {
    const GridTestSettings& s = report.settings;
    std::string text = std::to_string(s.cols) + " x " + std::to_string(s.rows) + " = " +
                       std::to_string(s.cols * s.rows) + " cells";
    if (report.options.cols > 0) {
        return text + " (as given)";
    }
    if (report.largeFloor) {
        return text + " (a floor over 128,000 sq ft: cells of at most 80 ft a side)";
    }
    return text + " (the codes' 20 cells, near-square)";
}

std::string CriticalNames(const GridReport& report, const GridCell& cell) {
    std::string names;
    for (const size_t a : cell.critical) {
        names += (names.empty() ? "" : "; ") + report.settings.critical[a].name;
    }
    return names;
}

std::vector<std::pair<std::string, std::string>> SettingsLines(const GridReport& report) {
    const GridTestSettings& s = report.settings;
    const GridtestOptions& o = report.options;
    std::vector<std::pair<std::string, std::string>> lines = {
        {"Site file", o.site},
        {"SHA-256", report.sha256},
        {"Last saved on the handheld", UtcText(report.saveTime)},
        {"Profile", ProfileName(o.profile)},
        {"General pass rate",
         RateText(s.rates.generalPct) + (o.passPct < 0 ? " of cells" : " of cells (as given)")},
        {"Critical pass rate",
         RateText(s.rates.criticalPct) + (o.criticalPassPct < 0 ? " of points in each critical area"
                                                                : " of points (as given)")},
        {"Threshold", DbmText(s.thresholdDbm) + " dBm"},
        {"Cell value", ModeText(s.mode)},
        {"Point value", ChannelsText(o.channels)},
        {"Area under test", areaText(report)},
        {"Grid", GridText(report)},
        {"Cell size", CellSizeText(report)},
        {"Scale", ScaleText(report)},
    };
    for (const CriticalArea& area : s.critical) {
        lines.emplace_back("Critical area", area.name + " at " + RectText(area.rect) + " px");
    }
    if (s.critical.empty()) {
        lines.emplace_back("Critical areas", "none given");
    }
    lines.emplace_back("Tested by", o.tester.empty() ? "not given" : o.tester);
    lines.emplace_back("Paper", o.paper == Paper::A4 ? "A4" : "US Letter");
    return lines;
}

} // namespace lks
