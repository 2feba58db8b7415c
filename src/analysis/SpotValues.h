// What one measured spot of a survey is worth: the value a heatmap colours and a grid test judges,
// and the power arithmetic that merges readings without ever adding them.
#pragma once

#include <cstddef>
#include <cstdint>

struct SpotValue {
    int32_t x = 0;
    int32_t y = 0;
    double dbm = 0.0;      // the spot's value; kNoSignalDbm where nothing was received
    uint32_t readings = 0; // readings that went into it, locations without readings included
};

double DbmToMilliwatts(double dbm);
// 0 mW gives kNoSignalDbm.
double MilliwattsToDbm(double milliwatts);
// The power average of count values in dBm (-90 and -100 give about -92.6); a no-signal value
// counts as no power. count must be > 0.
double PowerMeanDbm(const double* dbm, size_t count);
