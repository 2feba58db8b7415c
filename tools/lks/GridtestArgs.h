// The options of lks gridtest as given on the command line, checked for form; whether they fit
// the site (areas inside its picture, channels it holds) is checked once the site is read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/GridTest.h"

namespace lks {

enum class Paper { A4, Letter };

struct GridtestOptions {
    std::string site;
    std::string output;
    std::string csv;
    std::string json;
    GridProfile profile = GridProfile::Nfpa1221;
    double thresholdDbm = kDefaultThresholdDbm;
    double passPct = -1.0;         // below 0: the profile's rate
    double criticalPassPct = -1.0; // below 0: the profile's rate
    int cols = 0;                  // 0: the layout the codes suggest
    int rows = 0;
    bool areaGiven = false;
    PlanRect area;
    std::vector<CriticalArea> critical;
    std::vector<int32_t> channels; // empty: each point's strongest channel
    CellMode mode = CellMode::Centre;
    double pixelsPerFoot = 0.0; // 0: no scale
    std::string scaleText;      // as given, for the report
    std::string title = "Grid test report";
    std::string tester;
    Paper paper = Paper::A4;
};

enum class ArgsOutcome { Run, Help, Bad };

extern const char* const kGridtestUsage;

// Bad with a one-line reason (without the "lks: " prefix).
ArgsOutcome ParseGridtestArgs(int argc, char** argv, GridtestOptions& options, std::string& error);

} // namespace lks
