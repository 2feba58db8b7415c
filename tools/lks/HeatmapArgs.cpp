// Heatmap options: "--name VALUE" or "--name=VALUE"; each value checked where it is read.
#include "HeatmapArgs.h"

#include <cstdio>

#include "LksArgs.h"
#include "platform/TextFields.h"

namespace lks {

namespace {

const char* const kHeatmapUsage =
    "usage: lks heatmap SITE -o OUT.png [--channel N[@MHZ][,...]] [--method idw|nearest]\n"
    "                   [--radius PX] [--power P] [--bands threshold|handheld|E1,E2,...]\n"
    "                   [--contour DBM[,DBM...]] [--scale PX/ft|PX/m] [--opacity 0..1]\n"
    "                   [--no-points]\n"
    "\n"
    "Paints the site's coverage over its floor plan: each point's value is its strongest\n"
    "reading (with --channel, the weakest of the channels named, and only points that read all\n"
    "of them count); readings at one spot are averaged in power, and a place stored without\n"
    "readings is no signal, painted black. Pixels with no point within the radius stay as the\n"
    "plan shows them. A caption names the site, channels, last save, method and radius.\n"
    "\n"
    "  --method    idw: inverse-distance weighting (default); nearest: the nearest point\n"
    "  --radius    cut-off in plan pixels (default 1.5 x the median distance between\n"
    "              neighbouring points, given on stderr)\n"
    "  --power     IDW power, above 0 and at most 10 (default 2)\n"
    "  --bands     threshold: >= -85, -95, -105 dBm (default); handheld: the handheld's six\n"
    "              bands; or up to 12 different edges in dBm, each band including its lower edge\n"
    "  --contour   lines where the coverage crosses these levels in dBm\n"
    "  --scale     plan pixels per foot or metre, for a scale bar\n"
    "  --opacity   of the band colours over the plan (default 0.55)\n"
    "  --no-points leave out the dots that mark the points\n";

constexpr double kDefaultOpacity = 0.55;
constexpr double kMaxPower = 10.0;
// Far beyond any plan: a radius past this is a slip of the keyboard.
constexpr double kMaxRadius = 1e6;
constexpr size_t kMaxContours = 12;

bool parseBands(const std::string& text, CBandSet& out) {
    if (text == "handheld") {
        out = CBandSet::Handheld();
        return true;
    }
    if (text == "threshold") {
        out = CBandSet::Threshold();
        return true;
    }
    std::vector<double> edges;
    for (const std::string& item : SplitFields(text, ',')) {
        double edge = 0.0;
        if (!ParseFiniteNumber(item, edge)) {
            return false;
        }
        edges.push_back(edge);
    }
    return CBandSet::Custom(edges, out);
}

bool parseLevels(const std::string& text, std::vector<double>& out) {
    for (const std::string& item : SplitFields(text, ',')) {
        double level = 0.0;
        if (!ParseFiniteNumber(item, level) || level < -200.0 || level > 50.0) {
            return false;
        }
        out.push_back(level);
    }
    return !out.empty() && out.size() <= kMaxContours;
}

// One option and its value; 0, or the exit code after the message.
int apply(const std::string& name, const std::string& value, HeatmapArgs& a) {
    const auto bad = [&](const std::string& why) {
        return BadInput("heatmap: " + name + " '" + value + "': " + why);
    };
    if (name == "--output") {
        a.output = value;
    } else if (name == "--channel") {
        if (!ParseChannelRequests(value, a.channels)) {
            return bad("needs channel numbers such as 1,333 (25@1930.75 where two carriers "
                       "share a number)");
        }
    } else if (name == "--method") {
        if (value != "idw" && value != "nearest") {
            return bad("unknown method (idw or nearest)");
        }
        a.field.method = value == "idw" ? FieldMethod::Idw : FieldMethod::Nearest;
    } else if (name == "--radius") {
        if (!ParseFiniteNumber(value, a.field.radius) || a.field.radius <= 0.0 ||
            a.field.radius > kMaxRadius) {
            return bad("the radius must be a number of pixels above 0 and at most 1,000,000");
        }
        a.radiusGiven = true;
    } else if (name == "--power") {
        if (!ParseFiniteNumber(value, a.field.power) || a.field.power <= 0.0 ||
            a.field.power > kMaxPower) {
            return bad("the power must be a number above 0 and at most 10");
        }
        a.powerGiven = true;
    } else if (name == "--bands") {
        if (!parseBands(value, a.bands)) {
            return bad("needs threshold, handheld or 1 to 12 different edges in dBm such as "
                       "-65,-75,-85");
        }
        a.bandsName = value;
    } else if (name == "--contour") {
        if (!parseLevels(value, a.style.contours)) {
            return bad("needs 1 to 12 levels in dBm such as -95,-85");
        }
    } else if (name == "--scale") {
        if (!ParseScale(value, a.style.pixelsPerFoot)) {
            return bad("needs plan pixels per metre or foot, such as 12.5/m or 4/ft");
        }
        a.scaleText = value;
    } else if (!ParseFiniteNumber(value, a.style.opacity) || a.style.opacity < 0.0 ||
               a.style.opacity > 1.0) {
        return bad("the opacity must be from 0 to 1");
    }
    return 0;
}

} // namespace

int ParseHeatmapArgs(int argc, char** argv, HeatmapArgs& a) {
    a.style.opacity = kDefaultOpacity;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (IsHelp(arg)) {
            std::fputs(kHeatmapUsage, stdout);
            return -1;
        }
        if (arg == "-o") {
            if (i + 1 >= argc) {
                return BadInput("heatmap: -o needs a file name");
            }
            a.output = argv[++i];
            continue;
        }
        if (arg == "--no-points") {
            a.style.dots = false;
            continue;
        }
        bool known = false;
        for (const char* name : {"--output", "--channel", "--method", "--radius", "--power",
                                 "--bands", "--contour", "--scale", "--opacity"}) {
            std::string value;
            const OptionTake take = TakeOption(argc, argv, i, name, value);
            if (take == OptionTake::MissingValue) {
                return BadInput(std::string("heatmap: ") + name +
                                " needs a value (try 'lks heatmap --help')");
            }
            if (take == OptionTake::Taken) {
                if (const int code = apply(name, value, a)) {
                    return code;
                }
                known = true;
                break;
            }
        }
        if (known) {
            continue;
        }
        if (!a.site.empty() || (arg.size() > 1 && arg[0] == '-')) {
            return BadInput("heatmap: unexpected argument '" + arg +
                            "' (try 'lks heatmap --help')");
        }
        a.site = arg;
    }
    if (a.site.empty() || a.output.empty()) {
        return BadInput("heatmap: needs a site file and -o OUT.png (try 'lks heatmap --help')");
    }
    if (a.powerGiven && a.field.method != FieldMethod::Idw) {
        return BadInput("heatmap: --power belongs to --method idw");
    }
    return 0;
}

} // namespace lks
