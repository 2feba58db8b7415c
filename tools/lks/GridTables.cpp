// Grid tables: CSV quoted where a field needs it; JSON through Qt's writer, values in dBm
// rounded to hundredths.
#include "GridTables.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

#include "GridTexts.h"
#include "files/SiteSignature.h"

namespace lks {

namespace {

std::string csvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) {
        return s;
    }
    std::string quoted = "\"";
    for (const char c : s) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

const char* criticalResult(const CriticalResult& c) {
    return c.points == 0 ? "NOT TESTED" : c.pass ? "PASS" : "FAIL";
}

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

double hundredths(double v) {
    return std::round(v * 100.0) / 100.0;
}

QJsonObject rectJson(const PlanRect& r) {
    return {{"x", r.x}, {"y", r.y}, {"w", r.w}, {"h", r.h}};
}

QJsonObject settingsJson(const GridReport& report) {
    const GridTestSettings& s = report.settings;
    QJsonArray channels;
    for (const int32_t c : report.options.channels) {
        channels.append(c);
    }
    return {
        {"profile", ProfileKey(report.options.profile)},
        {"threshold_dbm", s.thresholdDbm},
        {"general_pass_pct", s.rates.generalPct},
        {"critical_pass_pct", s.rates.criticalPct},
        {"mode", s.mode == CellMode::Centre ? "centre" : "mean"},
        {"channels", channels},
        {"area", rectJson(s.area)},
        {"cols", s.cols},
        {"rows", s.rows},
        {"pixels_per_foot", report.options.pixelsPerFoot > 0.0
                                ? QJsonValue(report.options.pixelsPerFoot)
                                : QJsonValue(QJsonValue::Null)},
        {"title", q(report.options.title)},
        {"tester", q(report.options.tester)},
    };
}

QJsonObject cellJson(const GridReport& report, const GridCell& cell) {
    const bool tested = cell.result != CellResult::NotTested;
    const QJsonValue none(QJsonValue::Null);
    QJsonArray critical;
    for (const size_t a : cell.critical) {
        critical.append(q(report.settings.critical[a].name));
    }
    QJsonValue point = none;
    if (tested && report.settings.mode == CellMode::Centre) {
        point = QJsonObject{{"x", cell.pointX}, {"y", cell.pointY}};
    }
    return {
        {"label", q(cell.label)},
        {"x", cell.rect.x},
        {"y", cell.rect.y},
        {"w", cell.rect.w},
        {"h", cell.rect.h},
        {"value_dbm", tested ? QJsonValue(hundredths(cell.dbm)) : none},
        {"count", static_cast<qint64>(cell.points)},
        {"min_dbm", tested ? QJsonValue(hundredths(cell.minDbm)) : none},
        {"max_dbm", tested ? QJsonValue(hundredths(cell.maxDbm)) : none},
        {"point", point},
        {"result", ResultWord(cell.result)},
        {"critical_areas", critical},
    };
}

} // namespace

std::string GridCsv(const GridReport& report) {
    const GridTestResult& r = report.result;
    const GridTestSettings& s = report.settings;
    std::string out = "label,x,y,w,h,value_dbm,count,min_dbm,max_dbm,result,critical_area\n";
    for (const GridCell& cell : r.cells) {
        const bool tested = cell.result != CellResult::NotTested;
        out += cell.label + "," + RectText(cell.rect) + "," + (tested ? DbmText(cell.dbm) : "") +
               "," + std::to_string(cell.points) + "," + (tested ? DbmText(cell.minDbm) : "") +
               "," + (tested ? DbmText(cell.maxDbm) : "") + "," + ResultWord(cell.result) + "," +
               csvField(CriticalNames(report, cell)) + "\n";
    }
    out += "\nscope,name,count,passing,share_pct,required_pct,result\n";
    out += "general cells,," + std::to_string(r.cells.size()) + "," +
           std::to_string(r.passingCells) + "," + PctNumber(r.generalPct) + "," +
           RateNumber(s.rates.generalPct) + "," + (r.generalPass ? "PASS" : "FAIL") + "\n";
    for (size_t a = 0; a < s.critical.size(); ++a) {
        const CriticalResult& c = r.critical[a];
        out += "critical area," + csvField(s.critical[a].name) + "," + std::to_string(c.points) +
               "," + std::to_string(c.passing) + "," +
               (c.points == 0 ? std::string() : PctNumber(c.sharePct)) + "," +
               RateNumber(s.rates.criticalPct) + "," + criticalResult(c) + "\n";
    }
    out += std::string("verdict,,,,,,") + (r.pass ? "PASS" : "FAIL") + "\n";
    return out;
}

std::string GridJson(const GridReport& report) {
    const GridTestResult& r = report.result;
    const GridTestSettings& s = report.settings;
    QJsonArray critical;
    for (size_t a = 0; a < s.critical.size(); ++a) {
        const CriticalResult& c = r.critical[a];
        QJsonObject area = rectJson(s.critical[a].rect);
        area["name"] = q(s.critical[a].name);
        area["points"] = static_cast<qint64>(c.points);
        area["passing"] = static_cast<qint64>(c.passing);
        area["share_pct"] = c.points == 0 ? QJsonValue(QJsonValue::Null) : hundredths(c.sharePct);
        area["result"] = criticalResult(c);
        critical.append(area);
    }
    QJsonArray failing;
    for (const size_t i : r.failing) {
        failing.append(q(r.cells[i].label));
    }
    QJsonArray adjacent;
    for (const auto& [a, b] : r.adjacentFailures) {
        adjacent.append(QJsonArray{q(r.cells[a].label), q(r.cells[b].label)});
    }
    QJsonArray cells;
    for (const GridCell& cell : r.cells) {
        cells.append(cellJson(report, cell));
    }
    const QJsonObject root{
        {"site", q(report.options.site)},
        {"sha256", q(report.sha256)},
        {"last_saved", report.saveTime == 0 ? QJsonValue(QJsonValue::Null)
                                            : QJsonValue(q(UtcText(report.saveTime)))},
        {"signed", report.signature != nullptr && report.signature->HasInk()},
        {"verdict", r.pass ? "PASS" : "FAIL"},
        {"settings", settingsJson(report)},
        {"general", QJsonObject{{"cells", static_cast<qint64>(r.cells.size())},
                                {"passing", static_cast<qint64>(r.passingCells)},
                                {"share_pct", hundredths(r.generalPct)},
                                {"result", r.generalPass ? "PASS" : "FAIL"}}},
        {"critical_areas", critical},
        {"failing_cells", failing},
        {"adjacent_failing_cells", adjacent},
        {"cells", cells},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

} // namespace lks
