// Gridtest plan: each option read strictly, whichever file or argument it came from; a message
// names the option, or the job file's key, at fault.
#include "GridtestPlan.h"

#include <cmath>
#include <ctime>

#include "GridtestJobFile.h"
#include "platform/TextFields.h"

namespace lks {

namespace {

constexpr size_t kMaxText = 300;
constexpr size_t kMaxAreaName = 120;
constexpr unsigned long kMaxGridSide = 100;
constexpr unsigned long kMaxFailingLimit = 10000;
constexpr unsigned long kMaxSamples = 1000;
constexpr double kLowestThresholdDbm = -150.0;

// Reads the options of one set; each step returns false with error set.
class CPlanReader {
public:
    CPlanReader(const OptionValues& values, std::string& error)
        : m_values(values), m_error(error) {}

    bool Bad(const OptionValue& v, const std::string& expected) {
        m_error = "gridtest: " + v.source + " '" + v.text + "': " + expected;
        return false;
    }
    const OptionValue* Get(const char* name) const {
        const auto it = m_values.single.find(name);
        return it == m_values.single.end() ? nullptr : &it->second;
    }
    bool Flag(const char* name) const { return m_values.flags.count(name) > 0; }

    bool Text(const char* name, std::string& out, size_t max = kMaxText) {
        const OptionValue* v = Get(name);
        if (v == nullptr) {
            return true;
        }
        if (v->text.size() > max || v->text.find_first_of("\r\n") != std::string::npos) {
            return Bad(*v, "needs one line of at most " + std::to_string(max) + " characters");
        }
        out = v->text;
        return true;
    }
    bool Number(const char* name, double low, double high, double& out, const char* expected) {
        const OptionValue* v = Get(name);
        double value = 0.0;
        if (v != nullptr && (!ParseFiniteNumber(v->text, value) || value < low || value > high)) {
            return Bad(*v, expected);
        }
        out = v != nullptr ? value : out;
        return true;
    }
    bool Whole(const char* name, unsigned long low, unsigned long high, unsigned long& out) {
        const OptionValue* v = Get(name);
        unsigned long value = 0;
        if (v != nullptr && (!ParseWhole(v->text, high, value) || value < low)) {
            return Bad(*v, "needs a whole number from " + std::to_string(low) + " to " +
                               std::to_string(high));
        }
        out = v != nullptr ? value : out;
        return true;
    }

private:
    const OptionValues& m_values;
    std::string& m_error;
};

bool validDate(const std::string& text) {
    std::tm tm{};
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
        std::sscanf(text.c_str(), "%4d-%2d-%2d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday) != 3) {
        return false;
    }
    const int year = tm.tm_year;
    const int month = tm.tm_mon;
    const int day = tm.tm_mday;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    const std::time_t t = timegm(&tm);
    std::tm back{};
    gmtime_r(&t, &back);
    return year >= 1970 && back.tm_year + 1900 == year && back.tm_mon + 1 == month &&
           back.tm_mday == day;
}

bool parseLength(const std::string& text, Length& out) {
    Length l;
    std::string number = text;
    for (const auto& [suffix, unit] :
         {std::pair{"ft", Length::Unit::Ft}, {"m", Length::Unit::M}, {"px", Length::Unit::Px}}) {
        const std::string s = suffix;
        if (number.size() > s.size() &&
            number.compare(number.size() - s.size(), s.size(), s) == 0) {
            number.resize(number.size() - s.size());
            l.unit = unit;
            break;
        }
    }
    if (!ParseFiniteNumber(number, l.value) || l.value < 0.0) {
        return false;
    }
    out = l;
    return true;
}

bool readRules(CPlanReader& in, GridtestPlan& plan) {
    plan.profile = &DefaultGridProfile();
    if (const OptionValue* v = in.Get("--profile")) {
        plan.profile = FindGridProfile(v->text);
        if (plan.profile == nullptr) {
            std::string keys;
            for (const GridProfile& p : GridProfiles()) {
                keys += (keys.empty() ? "" : ", ") + std::string(p.key);
            }
            return in.Bad(*v, "unknown profile (" + keys + ")");
        }
    }
    GridRules& r = plan.rules;
    r = plan.profile->rules;
    if (!in.Number("--threshold", kLowestThresholdDbm, 0.0, r.thresholdDbm,
                   "needs a level in dBm from -150 to 0") ||
        !in.Number("--pass", 0.0, 100.0, r.generalPct, "needs a percentage from 0 to 100") ||
        !in.Number("--critical-pass", 1e-9, 100.0, r.criticalPct,
                   "needs a percentage above 0 and at most 100") ||
        !in.Number("--min-daq", 0.0, kDaqHighest, r.minDaq, "needs a DAQ from 1 to 5, or 0")) {
        return false;
    }
    // Printed values are cut to tenths; a threshold finer than that could fall between them.
    if (std::fabs(r.thresholdDbm * 10.0 - std::round(r.thresholdDbm * 10.0)) > 1e-6) {
        return in.Bad(*in.Get("--threshold"), "needs at most one decimal");
    }
    if (r.minDaq > 0.0 && r.minDaq < kDaqLowest) {
        return in.Bad(*in.Get("--min-daq"), "needs a DAQ from 1 to 5, or 0");
    }
    unsigned long maxFailing = r.maxFailing < 0 ? 0 : static_cast<unsigned long>(r.maxFailing);
    unsigned long minSamples = r.minSamples;
    if (!in.Whole("--max-failing", 0, kMaxFailingLimit, maxFailing) ||
        !in.Whole("--min-samples", 1, kMaxSamples, minSamples)) {
        return false;
    }
    r.maxFailing = in.Get("--max-failing") != nullptr ? static_cast<int>(maxFailing) : r.maxFailing;
    r.minSamples = static_cast<uint32_t>(minSamples);
    r.nonAdjacent = r.nonAdjacent || in.Flag("--non-adjacent");
    if (const OptionValue* v = in.Get("--mode")) {
        if (v->text != "centre" && v->text != "center" && v->text != "mean") {
            return in.Bad(*v, "unknown mode (centre or mean)");
        }
        r.mode = v->text == "mean" ? CellMode::Mean : CellMode::Centre;
    }
    if (const OptionValue* v = in.Get("--centre-tolerance")) {
        if (!parseLength(v->text, plan.centreTolerance)) {
            return in.Bad(*v, "needs a distance in plan pixels, or with ft or m");
        }
        // Recorded in the rules' own unit once each floor's scale is known; here only whether.
        r.centreTolerancePx = plan.centreTolerance.value;
    }
    plan.changes = RuleChanges(plan.profile->rules, r);
    return true;
}

bool readFloor(const OptionValues& values, FloorPlan& floor, std::string& error) {
    CPlanReader in(values, error);
    floor.site = values.Text("--site");
    if (!in.Text("--floor", floor.name)) {
        return false;
    }
    if (const OptionValue* v = in.Get("--area")) {
        if (!ParseRect(v->text, floor.area)) {
            return in.Bad(*v, "needs X,Y,W,H in plan pixels, W and H at least 1");
        }
        floor.areaGiven = true;
    }
    if (const OptionValue* v = in.Get("--scale")) {
        if (!ParseScale(v->text, floor.pixelsPerFoot)) {
            return in.Bad(*v, "needs plan pixels per metre or foot, such as 12.5/m or 4/ft, "
                              "from 0.001 to 100,000 px/ft");
        }
        floor.scaleText = v->text;
    }
    floor.daq = values.Text("--daq");
    const auto critical = values.repeated.find("--critical");
    for (const OptionValue& v :
         critical == values.repeated.end() ? std::vector<OptionValue>() : critical->second) {
        const size_t colon = v.text.find(':');
        CriticalArea area;
        if (!ParseRect(v.text.substr(0, colon), area.rect)) {
            return in.Bad(v, "needs X,Y,W,H[:NAME] in plan pixels, W and H at least 1");
        }
        area.name = colon == std::string::npos ? std::string() : v.text.substr(colon + 1);
        if (area.name.size() > kMaxAreaName) {
            return in.Bad(v, "the name is longer than " + std::to_string(kMaxAreaName) +
                                 " characters");
        }
        if (area.name.empty()) {
            area.name = "Critical area " + std::to_string(floor.critical.size() + 1);
        }
        floor.critical.push_back(area);
    }
    return true;
}

bool readRun(CPlanReader& in, const OptionValues& values, GridtestPlan& plan) {
    AcceptanceRecord& rec = plan.record;
    const std::pair<const char*, std::string*> texts[] = {{"--building", &rec.building},
                                                          {"--address", &rec.address},
                                                          {"--permit", &rec.permit},
                                                          {"--system", &rec.system},
                                                          {"--equipment", &rec.equipment},
                                                          {"--company", &rec.company},
                                                          {"--certification", &rec.certification},
                                                          {"--tester", &rec.tester},
                                                          {"--title", &plan.title}};
    for (const auto& [name, field] : texts) {
        if (!in.Text(name, *field)) {
            return false;
        }
    }
    if (const OptionValue* v = in.Get("--test-date")) {
        if (!validDate(v->text)) {
            return in.Bad(*v, "needs a date as YYYY-MM-DD");
        }
        rec.testDate = v->text;
    }
    plan.output = values.Text("-o");
    plan.csv = values.Text("--csv");
    plan.json = values.Text("--json");
    plan.summaryCsv = values.Text("--summary-csv");
    plan.table = values.Text("--table");
    if (const OptionValue* v = in.Get("--channel")) {
        if (!ParseChannelRequests(v->text, plan.channels)) {
            return in.Bad(*v, "needs channel numbers from 1 to 65534, each with @MHZ where "
                              "two carriers share a number");
        }
    }
    plan.bestServer = in.Flag("--best-server");
    if (const OptionValue* v = in.Get("--grid")) {
        const size_t x = v->text.find_first_of("xX");
        unsigned long c = 0;
        unsigned long r = 0;
        if (x == std::string::npos || !ParseWhole(v->text.substr(0, x), kMaxGridSide, c) ||
            !ParseWhole(v->text.substr(x + 1), kMaxGridSide, r) || c == 0 || r == 0) {
            return in.Bad(*v, "needs COLSxROWS, each from 1 to 100");
        }
        plan.cols = static_cast<int>(c);
        plan.rows = static_cast<int>(r);
    }
    if (const OptionValue* v = in.Get("--paper")) {
        if (v->text != "a4" && v->text != "A4" && v->text != "letter") {
            return in.Bad(*v, "unknown paper (a4 or letter)");
        }
        plan.paper = v->text == "letter" ? Paper::Letter : Paper::A4;
    }
    plan.requireComplete = in.Flag("--require-complete");
    return readRules(in, plan);
}

bool checkComplete(const GridtestPlan& plan, std::string& error) {
    std::string missing;
    for (const FloorPlan& floor : plan.floors) {
        for (const auto& [label, value] : RecordFields(plan.record, floor.name)) {
            if (value.empty() && missing.find(label) == std::string::npos) {
                missing += (missing.empty() ? "" : ", ") + label;
            }
        }
    }
    if (plan.requireComplete && !missing.empty()) {
        error = "gridtest: --require-complete: not given: " + missing;
        return false;
    }
    return true;
}

} // namespace

bool Length::Pixels(double pixelsPerFoot, double& px) const {
    if (unit == Unit::Px) {
        px = value;
        return true;
    }
    if (!(pixelsPerFoot > 0.0)) {
        return false;
    }
    px = value * pixelsPerFoot * (unit == Unit::M ? kFeetPerMetre : 1.0);
    return true;
}

std::vector<std::pair<std::string, std::string>> RecordFields(const AcceptanceRecord& r,
                                                              const std::string& floor) {
    return {{"Building", r.building},
            {"Address", r.address},
            {"Floor", floor},
            {"Permit or authority reference", r.permit},
            {"System and band", r.system},
            {"Test equipment", r.equipment},
            {"Tested by", r.tester},
            {"Company", r.company},
            {"Certification", r.certification}};
}

std::vector<std::string> GridtestPlan::Inputs() const {
    std::vector<std::string> inputs;
    for (const std::string& path : {job, table}) {
        if (!path.empty()) {
            inputs.push_back(path);
        }
    }
    for (const FloorPlan& floor : floors) {
        inputs.push_back(floor.site);
        if (!floor.daq.empty()) {
            inputs.push_back(floor.daq);
        }
    }
    return inputs;
}

bool MakeGridtestPlan(const OptionValues& commandLine, GridtestPlan& plan, std::string& error) {
    plan = GridtestPlan{};
    OptionValues run = commandLine;
    std::vector<OptionValues> floors;
    plan.job = commandLine.Text("--job");
    if (!plan.job.empty()) {
        for (const char* const* name = kFloorOptions; *name != nullptr; ++name) {
            if (commandLine.Has(*name)) {
                error = std::string("gridtest: ") +
                        (std::string(*name) == "--site" ? "a site file" : *name) +
                        " belongs to a floor: with --job, give it in the job file";
                return false;
            }
        }
        OptionValues job;
        if (!ReadJobFile(plan.job, job, floors, error)) {
            error = "gridtest: " + error;
            return false;
        }
        run.TakeMissingFrom(job);
        plan.building = true;
    } else {
        floors.push_back(commandLine);
    }
    if (!run.Has("-o") || (plan.job.empty() && !run.Has("--site"))) {
        error = "gridtest: needs a site file (or --job BUILDING.json) and -o REPORT.pdf (try "
                "'lks gridtest --help')";
        return false;
    }
    CPlanReader in(run, error);
    if (!readRun(in, run, plan)) {
        return false;
    }
    for (size_t i = 0; i < floors.size(); ++i) {
        plan.floors.emplace_back();
        if (!readFloor(floors[i], plan.floors.back(), error)) {
            return false;
        }
    }
    return checkComplete(plan, error);
}

} // namespace lks
