// What one run of lks gridtest is to do, every value checked: the floors, the rules, the channels
// under test, the acceptance record and the outputs.
#pragma once

#include <string>
#include <vector>

#include "GridtestArgs.h"
#include "LksOptions.h"
#include "analysis/FloorGrid.h"
#include "analysis/GridRules.h"

namespace lks {

enum class Paper { A4, Letter };

// A length given in plan pixels, feet or metres; value below 0: not given.
struct Length {
    enum class Unit { Px, Ft, M };
    double value = -1.0;
    Unit unit = Unit::Px;

    // In plan pixels at pixelsPerFoot; false when the unit needs a scale and there is none.
    bool Pixels(double pixelsPerFoot, double& px) const;
};

struct FloorPlan {
    std::string site;
    std::string name; // empty: not given
    bool areaGiven = false;
    PlanRect area;
    std::vector<CriticalArea> critical;
    double pixelsPerFoot = 0.0; // 0: no scale
    std::string scaleText;
    std::string daq; // empty: none
};

// Who tested what, where and when; an empty field was not given.
struct AcceptanceRecord {
    std::string building;
    std::string address;
    std::string permit;
    std::string testDate; // YYYY-MM-DD; empty: the survey's last save
    std::string system;
    std::string equipment;
    std::string company;
    std::string certification;
    std::string tester;
};

struct GridtestPlan {
    bool building = false; // from a job file: a cover page and a table of floors
    std::string job;
    AcceptanceRecord record;
    const GridProfile* profile = nullptr;
    GridRules rules;                  // the profile's, with the options' changes
    std::vector<std::string> changes; // what the options changed; empty: the profile's own
    Length centreTolerance;
    std::vector<ChannelRequest> channels; // empty: every channel of each survey
    bool bestServer = false;
    int cols = 0; // 0: 20 near-square cells a sector
    int rows = 0;
    std::vector<FloorPlan> floors;
    std::string output;
    std::string csv;
    std::string json;
    std::string summaryCsv;
    std::string table;
    std::string title = "Grid test report";
    Paper paper = Paper::A4;
    bool requireComplete = false;

    // Every file the run reads, which no output may replace.
    std::vector<std::string> Inputs() const;
};

// From the command line's values and, with --job, the job file's (the command line wins). False
// with a one-line reason (without "lks: ").
bool MakeGridtestPlan(const OptionValues& commandLine, GridtestPlan& plan, std::string& error);

// The record fields the report lists, label and value, the floor's name among them; a field not
// given has an empty value.
std::vector<std::pair<std::string, std::string>> RecordFields(const AcceptanceRecord& record,
                                                              const std::string& floor);

} // namespace lks
