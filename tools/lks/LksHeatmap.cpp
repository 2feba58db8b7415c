// lks heatmap: a coverage map of a surveyed site as a PNG, coloured only where something was
// measured, on a fixed band scale, with a caption that says what it shows.
#include <QGuiApplication>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "HeatmapArgs.h"
#include "HeatmapImage.h"
#include "HeatmapTiles.h"
#include "LksArgs.h"
#include "OutputFiles.h"
#include "SiteSummary.h"
#include "UtcTime.h"
#include "analysis/CoverageRadius.h"
#include "analysis/SpotTable.h"
#include "files/AtomicFile.h"
#include "files/FileBytes.h"
#include "files/Folders.h"

namespace lks {

namespace {

std::string number(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
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

std::string channelsNote(const CSpotTable& table, const std::vector<size_t>& channels) {
    if (channels.empty()) {
        return "the strongest channel at each point";
    }
    std::string list;
    for (const size_t c : channels) {
        list += (list.empty() ? "" : ", ") + ChannelText(table.Channels()[c]);
    }
    return channels.size() == 1 ? "channel " + list : "the weakest of channels " + list;
}

std::vector<std::string> caption(const HeatmapArgs& a, const SiteSummary& summary,
                                 const CSpotTable& table, const std::vector<size_t>& channels,
                                 size_t points) {
    std::string method = a.field.method == FieldMethod::Idw
                             ? "IDW, power " + number("%g", a.field.power)
                             : std::string("nearest point");
    method += ", radius " + number("%.0f", a.field.radius) + " px";
    if (a.style.pixelsPerFoot > 0.0) {
        method += number(" (%.1f ft)", a.field.radius / a.style.pixelsPerFoot);
    }
    return {NameOf(a.site) + ", last saved " +
                UtcTimeText(summary.site.SaveTime(), "%Y-%m-%d %H:%M UTC"),
            "Value: " + channelsNote(table, channels) + "; " + std::to_string(points) + " points",
            method + "; uncoloured: no point within the radius"};
}

} // namespace

int RunHeatmap(int argc, char** argv) {
    HeatmapArgs a;
    if (const int parsed = ParseHeatmapArgs(argc, argv, a)) {
        return parsed < 0 ? kExitOk : parsed;
    }
    std::string error;
    if (!CheckOutputs({a.site}, {{"-o", a.output, {}}}, error)) {
        return BadInput("heatmap: " + error);
    }
    SiteSummary summary;
    if (!OpenSiteForTool(a.site, summary, error, false)) {
        return BadInput("heatmap: " + error);
    }
    const CSpotTable table(summary.readings);
    std::vector<size_t> channels;
    for (const ChannelRequest& request : a.channels) {
        size_t index = 0;
        if (!ResolveChannelRequest(request, table, a.site, index, error)) {
            return BadInput("heatmap: " + error);
        }
        channels.push_back(index);
    }
    const std::vector<SpotValue> spots =
        table.Values(channels, channels.empty() ? SpotCombine::Strongest : SpotCombine::Weakest);
    if (spots.empty()) {
        return BadInput(channels.empty()
                            ? "heatmap: " + a.site + " has no measured points"
                            : "heatmap: no point of " + a.site + " read every channel named");
    }
    // Claimed before the work, so that an output that cannot be written is known at once.
    CAtomicFile out;
    if (!out.Begin(a.output)) {
        std::fprintf(stderr, "lks: heatmap: cannot write %s: %s\n", a.output.c_str(),
                     SystemErrorText(out.Error()).c_str());
        return kExitFailed;
    }

    const SitePicture& plan = summary.site.m_picture;
    double median = 0.0;
    if (!a.radiusGiven) {
        if (DefaultCoverageRadius(spots, a.field.radius, median)) {
            std::fprintf(stderr,
                         "lks: heatmap: radius %.1f px (%.1f x %.1f px, the median distance "
                         "between neighbouring points)\n",
                         a.field.radius, kRadiusPerNeighbourDistance, median);
        } else {
            a.field.radius = LonePointRadius(plan.width, plan.height);
            std::fprintf(stderr,
                         "lks: heatmap: radius %.1f px (one point only: a tenth of the plan's "
                         "shorter side; --radius sets another)\n",
                         a.field.radius);
        }
    }

    if (plan.width <= 0 || plan.height <= 0) {
        return BadInput("heatmap: " + a.site + " has no floor plan to map");
    }

    // Qt draws the legend's text only with a GUI application; no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietQt);
    int qtArgc = 1;
    char name[] = "lks";
    char* qtArgv[] = {name, nullptr};
    QGuiApplication app(qtArgc, qtArgv);

    a.style.caption = caption(a, summary, table, channels, spots.size());
    const HeatmapJob job{plan, spots, a.field, a.bands, a.style.contours};
    const CHeatmapPicture picture(plan, a.bands, spots, FieldShowsNoSignal(job), a.style);
    CProgressLine progress;
    const bool written =
        WriteHeatmapPng(
            job, picture, [&](const uint8_t* data, size_t size) { return out.Write(data, size); },
            [&](double done) { progress.Show("mapping", done); }) &&
        out.Commit();
    progress.Done();
    if (!written) {
        std::fprintf(stderr, "lks: heatmap: cannot write %s: %s\n", a.output.c_str(),
                     out.Error() != 0 ? SystemErrorText(out.Error()).c_str()
                                      : "the PNG could not be encoded");
        return kExitFailed;
    }
    std::printf("%s: %d x %d, %zu points, radius %.1f px\n", a.output.c_str(), picture.Width(),
                picture.Height(), spots.size(), a.field.radius);
    return kExitOk;
}

} // namespace lks
