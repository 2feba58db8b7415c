// lks info: what a site file holds, one "name: value" line each.
#include <cstdio>
#include <ctime>
#include <string>

#include "LksArgs.h"
#include "SiteSummary.h"

namespace lks {

namespace {

const char* const kInfoUsage = "usage: lks info SITE\n"
                               "\n"
                               "Prints the header length, survey state, last save time (UTC),\n"
                               "picture size, number of points and readings, and whether the\n"
                               "signature holds any ink.\n";

std::string saveTimeText(uint32_t seconds) {
    if (seconds == 0) {
        return "never";
    }
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&t, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

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
    std::printf("last saved: %s\n", saveTimeText(site.SaveTime()).c_str());
    std::printf("picture: %d x %d\n", site.m_picture.width, site.m_picture.height);
    std::printf("points: %zu\n", site.m_points.size());
    std::printf("readings: %zu\n", site.ReadingCount());
    std::printf("signature ink: %s\n", summary.signatureInk ? "yes" : "no");
    return kExitOk;
}

} // namespace lks
