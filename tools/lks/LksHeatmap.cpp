// lks heatmap: a coverage map of a surveyed site as a PNG, coloured only where something was
// measured, on the fixed band scale of the handheld's legend (or another fixed scale).
#include <QGuiApplication>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "HeatmapImage.h"
#include "LksArgs.h"
#include "LksOptions.h"
#include "SiteSummary.h"
#include "analysis/CoverageField.h"
#include "analysis/CoverageRadius.h"
#include "analysis/RssiBands.h"
#include "analysis/SpotValues.h"
#include "files/AtomicFile.h"
#include "files/FileBytes.h"

namespace lks {

namespace {

const char* const kHeatmapUsage =
    "usage: lks heatmap SITE -o OUT.png [--channel N[,N...]] [--method idw|nearest]\n"
    "                   [--radius PX] [--power P] [--bands handheld|threshold|E1,E2,...]\n"
    "                   [--opacity 0..1] [--no-points]\n"
    "\n"
    "Paints the site's coverage over its floor plan: each point's value is its strongest\n"
    "reading (with --channel, the weakest of the channels named, and only points that read all\n"
    "of them count); readings at one spot are averaged in power. Pixels with no point within\n"
    "the radius stay as the plan shows them.\n"
    "\n"
    "  --method    idw: inverse-distance weighting (default); nearest: the nearest point\n"
    "  --radius    cut-off in plan pixels (default 1.5 x the median distance between\n"
    "              neighbouring points, given on stderr)\n"
    "  --power     IDW power (default 2)\n"
    "  --bands     handheld: the handheld's six bands (default); threshold: >= -85, -95,\n"
    "              -105 dBm; or up to 12 edges in dBm, each band including its lower edge\n"
    "  --opacity   of the band colours over the plan (default 0.55)\n"
    "  --no-points leave out the dots that mark the points\n";

constexpr double kDefaultOpacity = 0.55;
// Channel 0 marks a point without readings and 65535 ends a channel table: neither is read.
constexpr unsigned long kLastChannel = 65534;
// With a single point there is no spacing to go by.
constexpr double kLonePointShare = 0.1;

struct HeatmapArgs {
    std::string site;
    std::string output;
    std::vector<int32_t> channels;
    FieldOptions field;
    bool radiusGiven = false;
    bool powerGiven = false;
    CBandSet bands = CBandSet::Handheld();
    HeatmapStyle style;
};

std::string number(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

bool parseChannels(const std::string& text, std::vector<int32_t>& out) {
    for (const std::string& item : SplitCommas(text)) {
        unsigned long channel = 0;
        if (!ParseWhole(item, kLastChannel, channel) || channel == 0) {
            return false;
        }
        out.push_back(static_cast<int32_t>(channel));
    }
    return true;
}

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
    for (const std::string& item : SplitCommas(text)) {
        double edge = 0.0;
        if (!ParseNumber(item, edge)) {
            return false;
        }
        edges.push_back(edge);
    }
    return CBandSet::Custom(edges, out);
}

// 0 when all is well, otherwise the exit code after the message.
int parseArgs(int argc, char** argv, HeatmapArgs& a) {
    a.style.opacity = kDefaultOpacity;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string value;
        OptionTake take = OptionTake::NotThis;
        auto option = [&](const char* name) {
            take = TakeOption(argc, argv, i, name, value);
            return take != OptionTake::NotThis;
        };
        if (IsHelp(arg)) {
            std::fputs(kHeatmapUsage, stdout);
            return -1;
        }
        if (arg == "-o") {
            if (i + 1 >= argc) {
                return BadInput("heatmap: -o needs a file name");
            }
            a.output = argv[++i];
        } else if (arg == "--no-points") {
            a.style.dots = false;
        } else if (option("--output") || option("--channel") || option("--method") ||
                   option("--radius") || option("--power") || option("--bands") ||
                   option("--opacity")) {
            const std::string name = arg.substr(0, arg.find('='));
            if (take == OptionTake::MissingValue) {
                return BadInput("heatmap: " + name + " needs a value (try 'lks heatmap --help')");
            }
            if (name == "--output") {
                a.output = value;
            } else if (name == "--channel") {
                if (!parseChannels(value, a.channels)) {
                    return BadInput(
                        "heatmap: --channel needs channel numbers such as 1,333, not '" + value +
                        "'");
                }
            } else if (name == "--method") {
                if (value != "idw" && value != "nearest") {
                    return BadInput("heatmap: unknown method '" + value + "' (idw or nearest)");
                }
                a.field.method = value == "idw" ? FieldMethod::Idw : FieldMethod::Nearest;
            } else if (name == "--radius") {
                if (!ParseNumber(value, a.field.radius) || a.field.radius <= 0.0) {
                    return BadInput(
                        "heatmap: the radius must be a number of pixels above 0, not '" + value +
                        "'");
                }
                a.radiusGiven = true;
            } else if (name == "--power") {
                if (!ParseNumber(value, a.field.power) || a.field.power <= 0.0) {
                    return BadInput("heatmap: the power must be a number above 0, not '" + value +
                                    "'");
                }
                a.powerGiven = true;
            } else if (name == "--bands") {
                if (!parseBands(value, a.bands)) {
                    return BadInput("heatmap: --bands needs handheld, threshold or 1 to 12 edges "
                                    "in dBm such as -65,-75,-85, not '" +
                                    value + "'");
                }
            } else if (!ParseNumber(value, a.style.opacity) || a.style.opacity < 0.0 ||
                       a.style.opacity > 1.0) {
                return BadInput("heatmap: the opacity must be from 0 to 1, not '" + value + "'");
            }
        } else if (!a.site.empty() || (arg.size() > 1 && arg[0] == '-')) {
            return BadInput("heatmap: unexpected argument '" + arg +
                            "' (try 'lks heatmap --help')");
        } else {
            a.site = arg;
        }
    }
    if (a.site.empty() || a.output.empty()) {
        return BadInput("heatmap: needs a site file and -o OUT.png (try 'lks heatmap --help')");
    }
    if (a.powerGiven && a.field.method != FieldMethod::Idw) {
        return BadInput("heatmap: --power belongs to --method idw");
    }
    return 0;
}

// A line on stderr that keeps a terminal user company through a long map; silent otherwise,
// and silent for the first second.
class CProgressLine {
public:
    CProgressLine() : m_tty(::isatty(STDERR_FILENO) == 1) {}
    ~CProgressLine() { Done(); }

    // fraction below 0: a stage without a measure of its own.
    void Show(const char* stage, double fraction = -1.0) {
        using namespace std::chrono;
        if (!m_tty || steady_clock::now() - m_start < seconds(1)) {
            return;
        }
        const int percent = fraction < 0.0 ? -1 : static_cast<int>(fraction * 100.0);
        if (percent == m_percent && m_stage == stage) {
            return;
        }
        m_percent = percent;
        m_stage = stage;
        const std::string text =
            m_stage + (percent < 0 ? std::string() : " " + std::to_string(percent) + "%");
        std::fprintf(stderr, "\rlks: heatmap: %-24s", text.c_str());
        std::fflush(stderr);
        m_shown = true;
    }

    void Done() {
        if (m_shown) {
            std::fprintf(stderr, "\r%40s\r", "");
            std::fflush(stderr);
            m_shown = false;
        }
    }

private:
    bool m_tty;
    bool m_shown = false;
    int m_percent = -1;
    std::string m_stage;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

// Qt's own chatter (a missing runtime folder and the like) would break the rule of one line on
// stderr; nothing it says changes the picture.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "lks: heatmap: %s\n", message.toLocal8Bit().constData());
    }
}

std::string channelsNote(const std::vector<int32_t>& channels) {
    if (channels.empty()) {
        return "strongest channel of each point";
    }
    std::string list;
    for (const int32_t c : channels) {
        list += (list.empty() ? "" : ", ") + std::to_string(c);
    }
    return channels.size() == 1 ? "channel " + list : "weakest of channels " + list;
}

} // namespace

int RunHeatmap(int argc, char** argv) {
    HeatmapArgs a;
    if (const int parsed = parseArgs(argc, argv, a)) {
        return parsed < 0 ? kExitOk : parsed;
    }
    SiteSummary summary;
    std::string error;
    if (!OpenSiteForTool(a.site, summary, error)) {
        return BadInput("heatmap: " + error);
    }
    const CSiteFile& site = summary.site;
    int32_t missing = 0;
    if (!AllChannelsRead(site.m_records, a.channels, missing)) {
        return BadInput("heatmap: channel " + std::to_string(missing) +
                        " was not read anywhere in " + a.site);
    }
    const std::vector<SpotValue> spots = SpotValues(site.m_records, a.channels);
    if (spots.empty()) {
        return BadInput(a.channels.empty()
                            ? "heatmap: " + a.site + " has no measured points"
                            : "heatmap: no point of " + a.site + " read every channel named");
    }
    // Claimed before the work, so that an output that cannot be written is known at once.
    CAtomicFile out;
    if (!out.Begin(a.output)) {
        return BadInput("heatmap: cannot write " + a.output + ": " + SystemErrorText(out.Error()));
    }

    const SitePicture& plan = site.m_picture;
    double median = 0.0;
    if (!a.radiusGiven) {
        if (DefaultCoverageRadius(spots, a.field.radius, median)) {
            std::fprintf(stderr,
                         "lks: heatmap: radius %.1f px (%.1f x %.1f px, the median distance "
                         "between neighbouring points)\n",
                         a.field.radius, kRadiusPerNeighbourDistance, median);
        } else {
            a.field.radius = std::max(1.0, kLonePointShare * std::min(plan.width, plan.height));
            std::fprintf(stderr,
                         "lks: heatmap: radius %.1f px (one point only: a tenth of the plan's "
                         "shorter side; --radius sets another)\n",
                         a.field.radius);
        }
    }

    CProgressLine progress;
    CoverageValues values;
    if (!ComputeCoverageField(spots, plan.width, plan.height, a.field, values,
                              [&](double done) { progress.Show("mapping", done); })) {
        return BadInput("heatmap: " + a.site + " has no floor plan to map");
    }
    std::vector<uint8_t> bands;
    BandsOfField(values, a.bands, bands);
    values = CoverageValues();

    // Qt draws the legend's text only with a GUI application; no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietQt);
    int qtArgc = 1;
    char name[] = "lks";
    char* qtArgv[] = {name, nullptr};
    QGuiApplication app(qtArgc, qtArgv);

    a.style.notes = {a.field.method == FieldMethod::Idw
                         ? "IDW, power " + number("%g", a.field.power)
                         : std::string("nearest point"),
                     "radius " + number("%.0f", a.field.radius) + " px", channelsNote(a.channels),
                     "uncoloured: no point within the radius"};
    progress.Show("painting");
    const QImage image = HeatmapImage(plan, bands, a.bands, spots, a.style);
    std::vector<uint8_t> png;
    progress.Show("writing the PNG");
    const bool written = EncodePng(image, png) && out.Write(png.data(), png.size()) && out.Commit();
    progress.Done();
    if (!written) {
        std::fprintf(stderr, "lks: heatmap: cannot write %s: %s\n", a.output.c_str(),
                     out.Error() != 0 ? SystemErrorText(out.Error()).c_str()
                                      : "the PNG could not be encoded");
        return kExitFailed;
    }
    std::printf("%s: %d x %d, %zu points, radius %.1f px\n", a.output.c_str(), image.width(),
                image.height(), spots.size(), a.field.radius);
    return kExitOk;
}

} // namespace lks
