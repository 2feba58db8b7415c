// The rules a floor is judged by, and the profiles that carry the rules of the acceptance codes
// together with where each rule comes from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr double kDefaultThresholdDbm = -95.0;

// centre: the point nearest the cell's centre stands for the cell, when it lies near enough;
// mean: the power average of the cell's points, when there are enough of them.
enum class CellMode { Centre, Mean };

struct GridRules {
    double thresholdDbm = kDefaultThresholdDbm;
    double generalPct = 90.0;  // of each sector's cells; 0: no share asked
    double criticalPct = 99.0; // of each critical area's cells
    int maxFailing = -1;       // failing cells a sector may have; below 0: no limit
    bool nonAdjacent = false;  // no two failing cells of a sector may touch
    CellMode mode = CellMode::Centre;
    double centreTolerancePx = -1.0; // below 0: a quarter of the cell's shorter side
    uint32_t minSamples = 5;         // mean mode: fewer points leave the cell not tested
    double minDaq = 0.0;             // DAQ a tested cell must reach; 0: not asked
};

constexpr uint32_t kDefaultMinSamples = 5;
constexpr double kDaqLowest = 1.0;
constexpr double kDaqHighest = 5.0;

struct GridProfile {
    const char* key;  // on the command line: "nfpa1221-2019"
    const char* name; // in a report: "NFPA 1221, 2019 edition"
    GridRules rules;
    // Where each rule comes from, edition and section, and what could not be checked.
    std::vector<std::string> basis;
    std::string retest; // the retest the profile allows, or empty
};

const std::vector<GridProfile>& GridProfiles();
// Null when key names no profile.
const GridProfile* FindGridProfile(const std::string& key);
const GridProfile& DefaultGridProfile();

// The rules in which rules differs from the profile's, as short phrases ("general share 80 %");
// empty when the rules are the profile's own.
std::vector<std::string> RuleChanges(const GridRules& profile, const GridRules& rules);
