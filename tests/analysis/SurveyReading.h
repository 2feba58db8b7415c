// Test helpers for the analysis suites: one survey record as a scan leaves it, and one spot value.
#pragma once

#include <cstdint>
#include <cstring>

#include "analysis/SpotValues.h"
#include "survey/SurveyRecord.h"

inline SurveyRecord reading(int32_t x, int32_t y, int32_t channel, int16_t dbm) {
    SurveyRecord r;
    r.x = x;
    r.y = y;
    r.channel = channel;
    r.rssi = dbm;
    std::strcpy(r.name, "TEST");
    return r;
}

inline SpotValue spot(int32_t x, int32_t y, double dbm) {
    SpotValue s;
    s.x = x;
    s.y = y;
    s.dbm = dbm;
    s.readings = 1;
    return s;
}
