// Test helpers for the analysis suites: readings as a site file stores them, and spot values.
#pragma once

#include <cmath>
#include <cstdint>

#include "analysis/SiteReadings.h"
#include "analysis/SpotValues.h"

// A reading of dbm (in sixteenths, as the file keeps it) on a channel whose frequency follows
// from its number unless given.
inline SiteReading reading(int32_t x, int32_t y, int32_t channel, double dbm, double mhz = 0.0) {
    SiteReading r;
    r.x = x;
    r.y = y;
    r.channel = channel;
    r.frequencyMHz = mhz != 0.0 ? mhz : 869.0 + channel * 0.03;
    r.rssiX16 = static_cast<int16_t>(std::lround(dbm * 16.0));
    return r;
}

// A location stored without readings.
inline SiteReading deadSpot(int32_t x, int32_t y) {
    SiteReading r;
    r.x = x;
    r.y = y;
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
