// What one measured spot of a survey is worth: the value a heatmap colours and a grid test judges.
// Readings at the same map position are merged first, averaged in power and never added, so
// taking a spot twice makes it no stronger.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "survey/SurveyRecord.h"

struct SpotValue {
    int32_t x = 0;
    int32_t y = 0;
    double dbm = 0.0;      // the spot's value
    uint32_t readings = 0; // readings that went into it (of the channels that count)
};

// The measured spots of records, in the order each position first appears. Per channel, the
// readings at one position are averaged in milliwatts. Without channels a spot's value is its
// strongest channel, as the handheld's circles show it; with channels it is the weakest of those
// channels, and a spot where any of them was not read has no value. Records with channel 0
// (points without readings) carry nothing; spots without a value are left out.
std::vector<SpotValue> SpotValues(const std::vector<SurveyRecord>& records,
                                  const std::vector<int32_t>& channels);

// True when every one of channels was read somewhere; otherwise false with the first that was
// not in missing. Channel 0 marks a point without readings and is never read.
bool AllChannelsRead(const std::vector<SurveyRecord>& records, const std::vector<int32_t>& channels,
                     int32_t& missing);

double DbmToMilliwatts(double dbm);
double MilliwattsToDbm(double milliwatts);
// The power average of count values in dBm (-90 and -100 give about -92.6); count must be > 0.
double PowerMeanDbm(const double* dbm, size_t count);
