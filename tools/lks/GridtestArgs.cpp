// Parsing of the lks gridtest options: every value is read whole (no trailing junk), numbers
// must be finite and in range, and the message names the option at fault.
#include "GridtestArgs.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "LksArgs.h"

namespace lks {

const char* const kGridtestUsage =
    "usage: lks gridtest SITE -o REPORT.pdf [options]\n"
    "\n"
    "Judges a surveyed site by the grid test of in-building radio coverage and writes a\n"
    "signed PDF report: the floor is divided into cells, each cell must reach the threshold,\n"
    "and the floor passes when enough cells do and every critical area passes.\n"
    "\n"
    "options:\n"
    "  --profile nfpa1221|ifc2009|nfpa1225  pass rates: 90/99, 95/99, 95/99 % (default nfpa1221)\n"
    "  --threshold DBM          signal a point or cell must reach (default -95)\n"
    "  --pass PCT               share of cells that must pass (default: the profile's)\n"
    "  --critical-pass PCT      share of points each critical area needs (default: profile's)\n"
    "  --grid COLSxROWS         cell layout (default: 20 near-square cells; with --scale, a\n"
    "                           floor over 128,000 sq ft gets cells of at most 80 ft a side)\n"
    "  --area X,Y,W,H           the part of the plan under test, in plan pixels (default all)\n"
    "  --critical X,Y,W,H[:NAME]  a critical area, judged on its own (repeatable)\n"
    "  --channel N[,N...]       judge the weakest of these channels (default: the strongest\n"
    "                           channel at each point)\n"
    "  --mode centre|mean       cell value: the point nearest the centre, or the power\n"
    "                           average of the cell's points (default centre)\n"
    "  --scale PX/m|PX/ft       plan pixels per metre or foot, for cell sizes in ft and m\n"
    "  --title TEXT             report title\n"
    "  --tester NAME            who conducted the test\n"
    "  --csv CELLS.csv          also write one row per cell and a summary as CSV\n"
    "  --json CELLS.json        ... and as JSON\n"
    "  --paper a4|letter        page size (default a4)\n"
    "\n"
    "Exit codes: 0 report written, PASS; 3 report written, FAIL; 2 bad input;\n"
    "1 the report could not be written.\n";

namespace {

constexpr int kMaxGridSide = 100;
constexpr double kMinThresholdDbm = -150.0;
constexpr double kMaxThresholdDbm = 0.0;
constexpr size_t kMaxNameLength = 60;

bool wholeDouble(const std::string& text, double& out) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front()))) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    out = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == '\0' && std::isfinite(out);
}

bool wholeInt(const std::string& text, int64_t low, int64_t high, int64_t& out) {
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())) ||
                          text.front() == '-' || text.front() == '+')) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high) {
        return false;
    }
    out = v;
    return true;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at = text.find(separator); at != std::string::npos;
         at = text.find(separator, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

bool parseRect(const std::string& text, PlanRect& rect) {
    const std::vector<std::string> parts = split(text, ',');
    int64_t v[4] = {};
    if (parts.size() != 4) {
        return false;
    }
    for (size_t i = 0; i < 4; ++i) {
        if (!wholeInt(parts[i], i < 2 ? 0 : 1, INT32_MAX, v[i])) {
            return false;
        }
    }
    rect = {static_cast<int32_t>(v[0]), static_cast<int32_t>(v[1]), static_cast<int32_t>(v[2]),
            static_cast<int32_t>(v[3])};
    return true;
}

bool parsePct(const std::string& text, double& pct) {
    return wholeDouble(text, pct) && pct > 0.0 && pct <= 100.0;
}

bool parseGrid(const std::string& text, int& cols, int& rows) {
    const size_t x = text.find_first_of("xX");
    int64_t c = 0;
    int64_t r = 0;
    if (x == std::string::npos || !wholeInt(text.substr(0, x), 1, kMaxGridSide, c) ||
        !wholeInt(text.substr(x + 1), 1, kMaxGridSide, r)) {
        return false;
    }
    cols = static_cast<int>(c);
    rows = static_cast<int>(r);
    return true;
}

bool parseScale(const std::string& text, double& pixelsPerFoot) {
    const size_t slash = text.rfind('/');
    if (slash == std::string::npos) {
        return false;
    }
    std::string number = text.substr(0, slash);
    const std::string unit = text.substr(slash + 1);
    if (number.size() > 2 && number.compare(number.size() - 2, 2, "px") == 0) {
        number.resize(number.size() - 2);
    }
    double perUnit = 0.0;
    if (!wholeDouble(number, perUnit) || perUnit <= 0.0) {
        return false;
    }
    if (unit == "m") {
        pixelsPerFoot = perUnit / kFeetPerMetre;
        return true;
    }
    if (unit == "ft") {
        pixelsPerFoot = perUnit;
        return true;
    }
    return false;
}

bool parseChannels(const std::string& text, std::vector<int32_t>& channels) {
    for (const std::string& part : split(text, ',')) {
        int64_t channel = 0;
        if (!wholeInt(part, 1, INT32_MAX, channel)) {
            return false;
        }
        if (std::find(channels.begin(), channels.end(), channel) == channels.end()) {
            channels.push_back(static_cast<int32_t>(channel));
        }
    }
    return true;
}

const char* const kOptions[] = {
    "-o",     "--output",        "--csv",   "--json",   "--profile",  "--threshold",
    "--pass", "--critical-pass", "--grid",  "--area",   "--critical", "--channel",
    "--mode", "--scale",         "--title", "--tester", "--paper"};

bool isOption(const std::string& name) {
    return std::find(std::begin(kOptions), std::end(kOptions), name) != std::end(kOptions);
}

// Applies one option and its value; false with error set.
bool applyOption(const std::string& name, const std::string& value, GridtestOptions& o,
                 std::string& error) {
    const auto bad = [&](const std::string& expected) {
        error = "gridtest: " + name + " '" + value + "': " + expected;
        return false;
    };
    if (name == "-o" || name == "--output") {
        o.output = value;
    } else if (name == "--csv") {
        o.csv = value;
    } else if (name == "--json") {
        o.json = value;
    } else if (name == "--profile") {
        if (!ProfileFromKey(value, o.profile)) {
            return bad("unknown profile (nfpa1221, ifc2009 or nfpa1225)");
        }
    } else if (name == "--threshold") {
        if (!wholeDouble(value, o.thresholdDbm) || o.thresholdDbm < kMinThresholdDbm ||
            o.thresholdDbm > kMaxThresholdDbm) {
            return bad("needs a level in dBm from -150 to 0");
        }
    } else if (name == "--pass") {
        if (!parsePct(value, o.passPct)) {
            return bad("needs a percentage above 0 and at most 100");
        }
    } else if (name == "--critical-pass") {
        if (!parsePct(value, o.criticalPassPct)) {
            return bad("needs a percentage above 0 and at most 100");
        }
    } else if (name == "--grid") {
        if (!parseGrid(value, o.cols, o.rows)) {
            return bad("needs COLSxROWS, each from 1 to 100");
        }
    } else if (name == "--area") {
        if (!parseRect(value, o.area)) {
            return bad("needs X,Y,W,H in plan pixels, W and H at least 1");
        }
        o.areaGiven = true;
    } else if (name == "--critical") {
        const size_t colon = value.find(':');
        CriticalArea area;
        if (!parseRect(value.substr(0, colon), area.rect)) {
            return bad("needs X,Y,W,H[:NAME] in plan pixels, W and H at least 1");
        }
        area.name = colon == std::string::npos ? std::string() : value.substr(colon + 1);
        if (area.name.size() > kMaxNameLength) {
            return bad("the name is longer than 60 characters");
        }
        if (area.name.empty()) {
            area.name = "Critical area " + std::to_string(o.critical.size() + 1);
        }
        o.critical.push_back(area);
    } else if (name == "--channel") {
        if (!parseChannels(value, o.channels)) {
            return bad("needs channel numbers above 0, separated by commas");
        }
    } else if (name == "--mode") {
        if (value == "centre" || value == "center") {
            o.mode = CellMode::Centre;
        } else if (value == "mean") {
            o.mode = CellMode::Mean;
        } else {
            return bad("unknown mode (centre or mean)");
        }
    } else if (name == "--scale") {
        if (!parseScale(value, o.pixelsPerFoot)) {
            return bad("needs plan pixels per metre or foot, such as 12.5/m or 4/ft");
        }
        o.scaleText = value;
    } else if (name == "--title") {
        o.title = value;
    } else if (name == "--tester") {
        o.tester = value;
    } else if (name == "--paper") {
        if (value == "a4" || value == "A4") {
            o.paper = Paper::A4;
        } else if (value == "letter") {
            o.paper = Paper::Letter;
        } else {
            return bad("unknown paper (a4 or letter)");
        }
    }
    return true;
}

} // namespace

ArgsOutcome ParseGridtestArgs(int argc, char** argv, GridtestOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (IsHelp(arg)) {
            return ArgsOutcome::Help;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            // "--name=value" or "--name value"; short options take the next argument.
            const size_t equals = arg.compare(0, 2, "--") == 0 ? arg.find('=') : std::string::npos;
            const std::string name = arg.substr(0, equals);
            if (!isOption(name)) {
                error = "gridtest: unknown option '" + name + "' (try 'lks gridtest --help')";
                return ArgsOutcome::Bad;
            }
            std::string value;
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                error = "gridtest: " + arg + " needs a value (try 'lks gridtest --help')";
                return ArgsOutcome::Bad;
            }
            if (!applyOption(name, value, options, error)) {
                return ArgsOutcome::Bad;
            }
            continue;
        }
        if (!options.site.empty()) {
            error = "gridtest: unexpected argument '" + arg + "' (try 'lks gridtest --help')";
            return ArgsOutcome::Bad;
        }
        options.site = arg;
    }
    if (options.site.empty() || options.output.empty()) {
        error = "gridtest: needs a site file and -o REPORT.pdf (try 'lks gridtest --help')";
        return ArgsOutcome::Bad;
    }
    return ArgsOutcome::Run;
}

} // namespace lks
