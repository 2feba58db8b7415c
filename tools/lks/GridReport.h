// Everything a grid-test report shows, gathered before any page is drawn, so that the PDF and
// the CSV and JSON tables tell the same story.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "GridtestArgs.h"
#include "analysis/ChannelStats.h"
#include "analysis/GridTest.h"
#include "analysis/SpotValues.h"

struct SitePicture;
class CSiteSignature;

namespace lks {

struct GridReport {
    GridtestOptions options;   // as given on the command line
    GridTestSettings settings; // as applied: area, grid and pass rates
    bool largeFloor = false;   // the default grid was refined for a floor over 128,000 sq ft
    std::string siteName;      // the site file's name without its folder
    std::string sha256;
    uint32_t saveTime = 0;
    GridTestResult result;
    std::vector<ChannelStats> channels;
    std::vector<SpotValue> spots;
    const SitePicture* picture = nullptr;
    const CSiteSignature* signature = nullptr;
    std::vector<std::string> warnings; // shown on the first page
};

} // namespace lks
