// Test helper for the analysis suites: one survey record as a scan leaves it.
#pragma once

#include <cstdint>
#include <cstring>

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
