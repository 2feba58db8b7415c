// lks info: what a site file holds, one "name: value" line each.
#include <cstdio>
#include <string>

#include "LksArgs.h"
#include "SiteSummary.h"
#include "UtcTime.h"

namespace lks {

namespace {

const char* const kInfoUsage = "usage: lks info SITE\n"
                               "\n"
                               "Prints the header length, survey state, last save time (UTC),\n"
                               "picture size, number of points and readings, how many readings a\n"
                               "software-defined radio measured without a calibration (their\n"
                               "levels may be off by 10 dB or more), and whether the signature\n"
                               "holds any ink.\n";

} // namespace

int RunInfo(int argc, char** argv) {
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (IsHelp(arg)) {
            std::fputs(kInfoUsage, stdout);
            return kExitOk;
        }
        if (!path.empty() || (arg.size() > 1 && arg[0] == '-')) {
            return BadInput("info: unexpected argument '" + arg + "' (try 'lks info --help')");
        }
        path = arg;
    }
    if (path.empty()) {
        return BadInput("info: no site file given (try 'lks info --help')");
    }
    SiteSummary summary;
    std::string error;
    if (!OpenSiteForTool(path, summary, error)) {
        return BadInput(error);
    }
    const CSiteFile& site = summary.site;
    std::printf("header length: %d\n", site.HeaderLength());
    std::printf("survey state: %u\n", static_cast<unsigned>(site.SurveyState()));
    std::printf("last saved: %s\n", UtcTimeText(site.SaveTime(), "%Y-%m-%dT%H:%M:%SZ").c_str());
    std::printf("picture: %d x %d\n", site.m_picture.width, site.m_picture.height);
    std::printf("points: %zu\n", site.m_points.size());
    std::printf("readings: %zu\n", site.ReadingCount());
    size_t uncalibrated = 0;
    for (const SurveyRecord& r : site.m_records) {
        uncalibrated += r.uncalibrated ? 1 : 0;
    }
    std::printf("uncalibrated readings: %zu\n", uncalibrated);
    std::printf("signature ink: %s\n", summary.signatureInk ? "yes" : "no");
    return kExitOk;
}

} // namespace lks
