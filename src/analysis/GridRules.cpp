// The profiles. Each basis line names the edition and section a rule was taken from, and says so
// plainly where the published text could not be consulted: a report must never cite more than
// was checked.
#include "analysis/GridRules.h"

#include <cstdio>

namespace {

GridRules rulesOf(double generalPct, double criticalPct, double minDaq) {
    GridRules r;
    r.generalPct = generalPct;
    r.criticalPct = criticalPct;
    r.minDaq = minDaq;
    return r;
}

GridRules ordinanceRules() {
    GridRules r = rulesOf(0.0, 99.0, 0.0);
    r.maxFailing = 2;
    r.nonAdjacent = true;
    return r;
}

const char* const kNfpaGrid =
    "Grid: 20 cells per floor, sides of 20 to 80 ft, floors over 128,000 sq ft in sectors of at "
    "most 128,000 sq ft (NFPA 1221-2019 A.11.3.9, annex guidance; the test procedure is the "
    "AHJ's).";

std::string number(const char* format, double value) {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

const std::vector<GridProfile>& GridProfiles() {
    static const std::vector<GridProfile> profiles = {
        {"nfpa1221-2019",
         "NFPA 1221, 2019 edition",
         rulesOf(90.0, 99.0, 3.0),
         {"Acceptance test: 9.6.4 refers to 11.3.9; 11.3.9.1 asks for the initial acceptance "
          "test with the DAQ measured at all locations.",
          kNfpaGrid,
          "Coverage 90 % of general building areas and 99 % of critical areas, -95 dBm inbound "
          "and DAQ 3.0: the values of NFPA 72-2013 24.5.2.2 and 24.5.2.3, which NFPA 1221 took "
          "over; their section numbers in this edition were not checked against the published "
          "text."},
         ""},
        {"nfpa1221-2016",
         "NFPA 1221, 2016 edition",
         rulesOf(90.0, 99.0, 3.0),
         {"Coverage 90 % of general building areas and 99 % of critical areas, -95 dBm inbound "
          "and DAQ 3.0, as in NFPA 72-2013 24.5.2.2 and 24.5.2.3; the 2016 text itself could not "
          "be consulted, so its section numbers are not given.",
          kNfpaGrid},
         ""},
        {"nfpa1225-2022",
         "NFPA 1225, 2022 edition",
         rulesOf(95.0, 99.0, 3.0),
         {"Chapter 18, In-Building Emergency Responder Communications Enhancement Systems.",
          "Coverage shares, -95 dBm and DAQ 3.0: the sections of chapter 18 were not checked "
          "against the published text; published summaries give 90 % or 95 % of general "
          "areas, and the stricter 95 % is applied. Confirm with the AHJ.",
          kNfpaGrid},
         ""},
        {"nfpa72-2013",
         "NFPA 72, 2013 edition",
         rulesOf(90.0, 99.0, 0.0),
         {"24.5.2.2.1: critical areas 99 % floor area radio coverage; 24.5.2.2.2: general "
          "building areas 90 %.",
          "24.5.2.3.1: inbound signal of at least -95 dBm throughout the coverage area; "
          "14.4.10.1: signal level testing.",
          "Quoted from secondary sources; the grid itself is not prescribed here."},
         ""},
        {"ifc2009",
         "International Fire Code, 2009 edition, section 510",
         rulesOf(95.0, 99.0, 0.0),
         {"510.4.1: signal strength met in 95 % of all areas, 99 % in elevators, stair shafts "
          "and fire command centres (as quoted by secondary sources).",
          "510.4.1.1: a minimum of -95 dBm receivable within the building.",
          "Later editions of section 510 were not checked; judge them with the rules given as "
          "options."},
         ""},
        {"ifc-ordinance",
         "IFC model ordinance, grid acceptance test",
         ordinanceRules(),
         {"Each floor in a grid of about 20 equal areas; a spot near the centre of each area is "
          "tested and no better spot may be sought; at most two non-adjacent areas may fail.",
          "Wording as adopted in local codes (for example a Pennsylvania township's code, "
          "2709.4.1); the model ordinance's own text and numbering were not found.",
          "Critical areas: the ordinance names none; 99 % of their cells as in NFPA."},
         "Where three areas fail, the floor may be retested in 40 equal areas, of which at most "
         "four non-adjacent may fail (--grid with 40 cells, --max-failing 4)."},
    };
    return profiles;
}

const GridProfile* FindGridProfile(const std::string& key) {
    for (const GridProfile& p : GridProfiles()) {
        if (key == p.key) {
            return &p;
        }
    }
    return nullptr;
}

const GridProfile& DefaultGridProfile() {
    return GridProfiles().front();
}

std::vector<std::string> RuleChanges(const GridRules& p, const GridRules& r) {
    std::vector<std::string> changes;
    if (r.thresholdDbm != p.thresholdDbm) {
        changes.push_back("threshold " + number("%g", r.thresholdDbm) + " dBm");
    }
    if (r.generalPct != p.generalPct) {
        changes.push_back("general share " + number("%g", r.generalPct) + " %");
    }
    if (r.criticalPct != p.criticalPct) {
        changes.push_back("critical share " + number("%g", r.criticalPct) + " %");
    }
    if (r.maxFailing != p.maxFailing) {
        changes.push_back(r.maxFailing < 0
                              ? std::string("no limit on failing cells")
                              : "at most " + std::to_string(r.maxFailing) + " failing cells");
    }
    if (r.nonAdjacent != p.nonAdjacent) {
        changes.push_back(r.nonAdjacent ? "failing cells must not touch"
                                        : "failing cells may touch");
    }
    if (r.mode != p.mode) {
        changes.push_back(r.mode == CellMode::Mean ? "mean of each cell's points"
                                                   : "the point nearest each cell's centre");
    }
    if (r.centreTolerancePx != p.centreTolerancePx) {
        changes.push_back("centre tolerance " + number("%g", r.centreTolerancePx) + " px");
    }
    if (r.minSamples != p.minSamples) {
        changes.push_back("at least " + std::to_string(r.minSamples) + " points a cell");
    }
    if (r.minDaq != p.minDaq) {
        changes.push_back(r.minDaq > 0.0 ? "DAQ " + number("%.1f", r.minDaq) + " asked"
                                         : std::string("no DAQ asked"));
    }
    return changes;
}
