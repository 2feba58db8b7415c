// Grid test job: every check that can refuse the input runs before anything is written, and each
// output replaces its file only once complete, so a failed run never leaves half a report.
#include "GridtestJob.h"

#include <cstdio>
#include <sys/stat.h>

#include <QByteArray>

#include "GridReport.h"
#include "GridReportPdf.h"
#include "GridTables.h"
#include "GridTexts.h"
#include "files/AtomicFile.h"
#include "files/FileBytes.h"
#include "files/SiteFile.h"
#include "files/SiteSignature.h"

namespace lks {

namespace {

std::string baseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) {
        return a == b;
    }
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// Refuses outputs that would overwrite the site or one another: a report must never cost the
// survey it reports on.
bool checkOutputs(const GridtestOptions& o, std::string& error) {
    const std::pair<const char*, const std::string*> outputs[] = {
        {"-o", &o.output}, {"--csv", &o.csv}, {"--json", &o.json}};
    for (size_t i = 0; i < 3; ++i) {
        const std::string& path = *outputs[i].second;
        if (path.empty()) {
            continue;
        }
        if (sameFile(path, o.site)) {
            error = std::string("gridtest: ") + outputs[i].first + " " + path +
                    " is the site file itself";
            return false;
        }
        for (size_t j = 0; j < i; ++j) {
            if (!outputs[j].second->empty() && sameFile(path, *outputs[j].second)) {
                error = std::string("gridtest: ") + outputs[i].first + " and " + outputs[j].first +
                        " name the same file " + path;
                return false;
            }
        }
    }
    return true;
}

bool checkRect(const PlanRect& r, const SitePicture& picture, const std::string& what,
               std::string& error) {
    if (r.Within(picture.width, picture.height)) {
        return true;
    }
    error = "gridtest: " + what + " " + RectText(r) + " reaches outside the " +
            std::to_string(picture.width) + " x " + std::to_string(picture.height) + " plan";
    return false;
}

// Fills the report's settings from the options and the site; false when they do not fit.
bool applyToSite(const GridtestOptions& o, const CSiteFile& site, GridReport& report,
                 std::string& error) {
    GridTestSettings& s = report.settings;
    s.area = o.areaGiven ? o.area : PlanRect{0, 0, site.m_picture.width, site.m_picture.height};
    if (!checkRect(s.area, site.m_picture, "--area", error)) {
        return false;
    }
    for (const CriticalArea& area : o.critical) {
        if (!checkRect(area.rect, site.m_picture, "critical area '" + area.name + "'", error)) {
            return false;
        }
    }
    if (o.cols > 0) {
        s.cols = o.cols;
        s.rows = o.rows;
    } else {
        report.largeFloor =
            CGridLayout::DefaultGrid(s.area.w, s.area.h, o.pixelsPerFoot, s.cols, s.rows);
    }
    if (s.cols > s.area.w || s.rows > s.area.h) {
        error = "gridtest: a " + std::to_string(s.cols) + " x " + std::to_string(s.rows) +
                " grid does not fit an area of " + std::to_string(s.area.w) + " x " +
                std::to_string(s.area.h) + " pixels";
        return false;
    }
    int32_t missing = 0;
    if (!AllChannelsRead(site.m_records, o.channels, missing)) {
        error = "gridtest: channel " + std::to_string(missing) + " was not read in " + o.site;
        return false;
    }
    const PassRates profile = RatesOf(o.profile);
    s.rates.generalPct = o.passPct > 0.0 ? o.passPct : profile.generalPct;
    s.rates.criticalPct = o.criticalPassPct > 0.0 ? o.criticalPassPct : profile.criticalPct;
    s.thresholdDbm = o.thresholdDbm;
    s.mode = o.mode;
    s.critical = o.critical;
    return true;
}

void addWarnings(const CSiteFile& site, GridReport& report) {
    const GridTestSettings& s = report.settings;
    const double perFoot = report.options.pixelsPerFoot;
    if (perFoot <= 0.0) {
        report.warnings.emplace_back("no scale given: cell sizes are in plan pixels and were not "
                                     "checked against the codes' 20 to 80 ft");
    } else {
        const double sides[] = {s.area.w / perFoot / s.cols, s.area.h / perFoot / s.rows};
        const char* names[] = {"wide", "high"};
        for (int i = 0; i < 2; ++i) {
            char text[120];
            if (sides[i] < kMinCellSideFt || sides[i] > kMaxCellSideFt) {
                const bool small = sides[i] < kMinCellSideFt;
                std::snprintf(text, sizeof text, "cells are %.1f ft %s: %s the codes' %.0f ft %s",
                              sides[i], names[i], small ? "under" : "over",
                              small ? kMinCellSideFt : kMaxCellSideFt,
                              small ? "minimum" : "maximum");
                report.warnings.emplace_back(text);
            }
        }
    }
    size_t outside = 0;
    for (const SpotValue& spot : report.spots) {
        outside += s.area.Contains(spot.x, spot.y) ? 0 : 1;
    }
    if (outside > 0) {
        report.warnings.push_back(std::to_string(outside) +
                                  " measured points lie outside the area under test and count "
                                  "in no cell");
    }
    if (!report.options.channels.empty()) {
        const size_t all = SpotValues(site.m_records, {}).size();
        if (all > report.spots.size()) {
            report.warnings.push_back(std::to_string(all - report.spots.size()) +
                                      " points lack a reading of every named channel and were "
                                      "left out");
        }
    }
}

bool writeFile(const std::string& path, const char* data, size_t size, std::string& error) {
    CAtomicFile out;
    if (out.Begin(path) && out.Write(data, size) && out.Commit()) {
        return true;
    }
    error = "gridtest: cannot write " + path + ": " + SystemErrorText(out.Error());
    return false;
}

} // namespace

GridtestStatus MakeGridtest(const GridtestOptions& options, const CSiteFile& site,
                            const CSiteSignature& signature, const std::string& sha256,
                            std::string& message) {
    GridReport report;
    report.options = options;
    if (!checkOutputs(options, message) || !applyToSite(options, site, report, message)) {
        return GridtestStatus::BadInput;
    }
    report.siteName = baseName(options.site);
    report.sha256 = sha256;
    report.saveTime = site.SaveTime();
    report.picture = &site.m_picture;
    report.signature = &signature;
    report.spots = SpotValues(site.m_records, options.channels);
    report.result = RunGridTest(report.spots, report.settings);
    report.channels =
        ChannelStatistics(site.m_records, report.settings.area, report.settings.thresholdDbm);
    addWarnings(site, report);

    QByteArray pdf;
    if (!RenderGridReportPdf(report, pdf)) {
        message = "gridtest: the PDF could not be produced";
        return GridtestStatus::WriteFailed;
    }
    if (!writeFile(options.output, pdf.constData(), static_cast<size_t>(pdf.size()), message)) {
        return GridtestStatus::WriteFailed;
    }
    if (!options.csv.empty()) {
        const std::string csv = GridCsv(report);
        if (!writeFile(options.csv, csv.data(), csv.size(), message)) {
            return GridtestStatus::WriteFailed;
        }
    }
    if (!options.json.empty()) {
        const std::string json = GridJson(report);
        if (!writeFile(options.json, json.data(), json.size(), message)) {
            return GridtestStatus::WriteFailed;
        }
    }
    return report.result.pass ? GridtestStatus::Pass : GridtestStatus::Fail;
}

} // namespace lks
