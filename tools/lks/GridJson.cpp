// The grid test as JSON: every value as computed, unrounded, so that another program can judge
// the same numbers again; no signal is null with "no_signal": true, since JSON has no infinity.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "GridTables.h"
#include "GridTexts.h"

namespace lks {

namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

QJsonValue orNull(bool present, const QJsonValue& value) {
    return present ? value : QJsonValue(QJsonValue::Null);
}

QJsonValue dbm(double v) {
    return orNull(!IsNoSignal(v), v);
}

QJsonObject rectJson(const PlanRect& r) {
    return {{"x", r.x}, {"y", r.y}, {"w", r.w}, {"h", r.h}};
}

QJsonObject cellJson(const GridCell& c) {
    const bool tested = c.signal != CellResult::NotTested;
    QJsonObject o = rectJson(c.rect);
    o["label"] = q(c.label);
    o["result"] = ResultWord(c.result);
    o["signal_result"] = ResultWord(c.signal);
    o["value_dbm"] = tested ? dbm(c.dbm) : QJsonValue(QJsonValue::Null);
    o["no_signal"] = tested && IsNoSignal(c.dbm);
    o["points"] = static_cast<qint64>(c.points);
    o["min_dbm"] = c.points > 0 ? dbm(c.minDbm) : QJsonValue(QJsonValue::Null);
    o["max_dbm"] = c.points > 0 ? dbm(c.maxDbm) : QJsonValue(QJsonValue::Null);
    o["point"] = orNull(c.hasNearest, QJsonObject{{"x", c.pointX}, {"y", c.pointY}});
    o["offset_px"] = orNull(c.hasNearest, c.offsetPx);
    o["daq_down"] = orNull(c.daq.down >= 0.0, c.daq.down);
    o["daq_up"] = orNull(c.daq.up >= 0.0, c.daq.up);
    o["talkback"] = c.daq.talkback == Talkback::NotTested
                        ? QJsonValue(QJsonValue::Null)
                        : QJsonValue(c.daq.talkback == Talkback::Pass ? "pass" : "fail");
    return o;
}

QJsonObject groupJson(const CellGroup& g, const GroupResult& r) {
    QJsonArray cells;
    for (const GridCell& c : r.cells) {
        cells.append(cellJson(c));
    }
    QJsonArray failing;
    for (const size_t i : r.failing) {
        failing.append(q(r.cells[i].label));
    }
    QJsonArray adjacent;
    for (const auto& [a, b] : r.adjacent) {
        adjacent.append(QJsonArray{q(r.cells[a].label), q(r.cells[b].label)});
    }
    return {{"name", q(g.name)},
            {"area", rectJson(g.rect)},
            {"cols", g.cols},
            {"rows", g.rows},
            {"passing", static_cast<qint64>(r.passing)},
            {"share_pct", r.sharePct},
            {"share_met", r.shareMet},
            {"count_met", r.countMet},
            {"failing", failing},
            {"adjacent_failing", adjacent},
            {"result", PassWord(r.pass)},
            {"cells", cells}};
}

QJsonObject seriesJson(const FloorReport& floor, const SeriesReport& s) {
    QJsonArray sectors;
    QJsonArray critical;
    for (size_t i = 0; i < floor.grid.sectors.size(); ++i) {
        sectors.append(groupJson(floor.grid.sectors[i], s.result.sectors[i]));
    }
    for (size_t i = 0; i < floor.grid.critical.size(); ++i) {
        critical.append(groupJson(floor.grid.critical[i], s.result.critical[i]));
    }
    QJsonObject o{{"name", q(s.name)},
                  {"best_server", s.bestServer},
                  {"sectors", sectors},
                  {"critical_areas", critical},
                  {"result", PassWord(s.result.pass)}};
    if (!s.bestServer) {
        const SurveyChannel& c = floor.table->Channels()[s.channels.front()];
        o["channel"] = c.id.channel;
        o["frequency_mhz"] = c.frequencyMHz;
        o["band"] = BandName(c.band);
        o["label"] = q(s.label);
    }
    return o;
}

QJsonObject floorJson(const GridtestPlan& plan, const FloorReport& f) {
    QJsonArray series;
    for (const SeriesReport& s : f.series) {
        series.append(seriesJson(f, s));
    }
    QJsonArray warnings;
    for (const std::string& w : f.warnings) {
        warnings.append(q(w));
    }
    const uint32_t saved = f.summary.site.SaveTime();
    return {{"name", q(f.plan.name)},
            {"site", q(f.plan.site)},
            {"sha256", q(f.summary.sha256)},
            {"last_saved", orNull(saved != 0, q(UtcText(saved)))},
            {"test_date", q(TestDateText(plan, f))},
            {"signed", f.summary.signatureInk},
            {"pixels_per_foot", orNull(f.plan.pixelsPerFoot > 0.0, f.plan.pixelsPerFoot)},
            {"area", rectJson(f.grid.area)},
            {"sectored", f.grid.sectored},
            {"centre_tolerance_px",
             orNull(f.rules.centreTolerancePx >= 0.0, f.rules.centreTolerancePx)},
            {"warnings", warnings},
            {"channels", series},
            {"result", PassWord(f.pass)}};
}

QJsonObject rulesJson(const GridtestPlan& plan) {
    const GridRules& r = plan.rules;
    QJsonArray changes;
    for (const std::string& c : plan.changes) {
        changes.append(q(c));
    }
    QJsonArray basis;
    for (const std::string& b : plan.profile->basis) {
        basis.append(q(b));
    }
    return {{"profile", plan.profile->key},
            {"profile_name", plan.profile->name},
            {"custom", !plan.changes.empty()},
            {"changes", changes},
            {"basis", basis},
            {"threshold_dbm", r.thresholdDbm},
            {"general_pass_pct", r.generalPct},
            {"critical_pass_pct", r.criticalPct},
            {"max_failing", orNull(r.maxFailing >= 0, r.maxFailing)},
            {"non_adjacent", r.nonAdjacent},
            {"mode", r.mode == CellMode::Centre ? "centre" : "mean"},
            {"min_samples", static_cast<qint64>(r.minSamples)},
            {"min_daq", orNull(r.minDaq > 0.0, r.minDaq)},
            {"best_server", plan.bestServer}};
}

} // namespace

std::string GridJson(const BuildingReport& report) {
    const GridtestPlan& plan = *report.plan;
    const AcceptanceRecord& r = plan.record;
    QJsonObject record;
    const std::pair<const char*, const std::string*> fields[] = {
        {"building", &r.building},  {"address", &r.address}, {"permit", &r.permit},
        {"test_date", &r.testDate}, {"system", &r.system},   {"equipment", &r.equipment},
        {"tester", &r.tester},      {"company", &r.company}, {"certification", &r.certification}};
    for (const auto& [key, value] : fields) {
        record[key] = orNull(!value->empty(), q(*value));
    }
    QJsonArray floors;
    for (const FloorReport& f : report.floors) {
        floors.append(floorJson(plan, f));
    }
    const QJsonObject root{{"title", q(plan.title)},
                           {"record", record},
                           {"rules", rulesJson(plan)},
                           {"floors", floors},
                           {"verdict", PassWord(report.pass)}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

} // namespace lks
