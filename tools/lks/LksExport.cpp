// lks export: one row per reading (a point without readings is one row with no channel), as CSV
// with a header row or as a JSON array, each RSSI as exact as the file keeps it.
#include <cmath>
#include <cstdio>
#include <string>

#include "LksArgs.h"
#include "SiteSummary.h"

namespace lks {

namespace {

const char* const kExportUsage =
    "usage: lks export SITE [--format csv|json]\n"
    "\n"
    "Writes the site's readings to standard output, one per row: x, y, location name,\n"
    "channel, frequency in MHz and RSSI in dBm, exactly as the file keeps it (to a sixteenth\n"
    "of a dB), and whether a calibration covered it (no for a software-defined radio's reading\n"
    "without one). A point without readings is one row with empty channel, frequency, RSSI and\n"
    "calibration (null in JSON). The default format is csv.\n";

std::string csvField(const char* text) {
    const std::string s = text;
    if (s.find_first_of(",\"\r\n") == std::string::npos &&
        (s.empty() || (s.front() != ' ' && s.back() != ' '))) {
        return s;
    }
    std::string quoted = "\"";
    for (char c : s) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

// Names are single-byte text; bytes outside ASCII are taken as Latin-1.
std::string jsonString(const char* text) {
    std::string out = "\"";
    for (const char* p = text; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// The file's sixteenths of a dB in the fewest decimals that keep them: -82, -95.9375.
std::string rssiText(int16_t x16) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", DbmOfX16(x16));
    std::string s = text;
    while (s.back() == '0') {
        s.pop_back();
    }
    if (s.back() == '.') {
        s.pop_back();
    }
    return s;
}

std::string frequencyText(double mhz) {
    if (!std::isfinite(mhz)) {
        return std::string();
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", mhz);
    return text;
}

void writeCsv(const SiteSummary& summary) {
    const CSiteFile& site = summary.site;
    std::printf("x,y,name,channel,frequency_mhz,rssi_dbm,calibrated\n");
    for (const SitePoint& point : site.m_points) {
        for (uint32_t i = 0; i < point.recordCount; ++i) {
            const SurveyRecord& r = site.m_records[point.firstRecord + i];
            if (point.readingCount == 0) {
                std::printf("%d,%d,%s,,,,\n", r.x, r.y, csvField(r.name).c_str());
            } else {
                std::printf("%d,%d,%s,%d,%s,%s,%s\n", r.x, r.y, csvField(r.name).c_str(), r.channel,
                            frequencyText(r.frequencyMHz).c_str(),
                            rssiText(summary.readings[point.firstRecord + i].rssiX16).c_str(),
                            r.uncalibrated ? "no" : "yes");
            }
        }
    }
}

void writeJson(const SiteSummary& summary) {
    const CSiteFile& site = summary.site;
    std::printf("[");
    const char* separator = "\n";
    for (const SitePoint& point : site.m_points) {
        for (uint32_t i = 0; i < point.recordCount; ++i) {
            const SurveyRecord& r = site.m_records[point.firstRecord + i];
            std::printf("%s  {\"x\": %d, \"y\": %d, \"name\": %s, ", separator, r.x, r.y,
                        jsonString(r.name).c_str());
            const std::string mhz = frequencyText(r.frequencyMHz);
            if (point.readingCount == 0) {
                std::printf("\"channel\": null, \"frequency_mhz\": null, \"rssi_dbm\": null, "
                            "\"calibrated\": null}");
            } else {
                std::printf("\"channel\": %d, \"frequency_mhz\": %s, \"rssi_dbm\": %s, "
                            "\"calibrated\": %s}",
                            r.channel, mhz.empty() ? "null" : mhz.c_str(),
                            rssiText(summary.readings[point.firstRecord + i].rssiX16).c_str(),
                            r.uncalibrated ? "false" : "true");
            }
            separator = ",\n";
        }
    }
    std::printf("%s]\n", site.m_points.empty() ? "" : "\n");
}

} // namespace

int RunExport(int argc, char** argv) {
    std::string path;
    std::string format = "csv";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (IsHelp(arg)) {
            std::fputs(kExportUsage, stdout);
            return kExitOk;
        }
        if (arg == "--format" || arg.rfind("--format=", 0) == 0) {
            if (arg == "--format") {
                if (i + 1 >= argc) {
                    return BadInput("export: --format needs csv or json");
                }
                format = argv[++i];
            } else {
                format = arg.substr(9);
            }
            if (format != "csv" && format != "json") {
                return BadInput("export: unknown format '" + format + "' (csv or json)");
            }
            continue;
        }
        if (!path.empty() || (arg.size() > 1 && arg[0] == '-')) {
            return BadInput("export: unexpected argument '" + arg + "' (try 'lks export --help')");
        }
        path = arg;
    }
    if (path.empty()) {
        return BadInput("export: no site file given (try 'lks export --help')");
    }
    SiteSummary summary;
    std::string error;
    if (!OpenSiteForTool(path, summary, error)) {
        return BadInput(error);
    }
    if (format == "json") {
        writeJson(summary);
    } else {
        writeCsv(summary);
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "lks: export: cannot write the output\n");
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace lks
