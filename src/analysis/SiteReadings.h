// The readings analysis works on, each as the site file stores it: in sixteenths of a dB, so that
// no verdict rests on a value that the truncation to whole dBm has moved.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "survey/SurveyRecord.h"

struct SiteReading {
    int32_t x = 0;
    int32_t y = 0;
    int32_t channel = 0; // 0: a location stored without readings, "no signal"
    double frequencyMHz = 0.0;
    int16_t rssiX16 = 0; // dBm x 16
};

constexpr double kSixteenthsPerDb = 16.0;
// The value of a place where nothing was received: below every threshold and every band edge.
constexpr double kNoSignalDbm = -std::numeric_limits<double>::infinity();

inline double DbmOfX16(int16_t rssiX16) {
    return rssiX16 / kSixteenthsPerDb;
}

inline bool IsNoSignal(double dbm) {
    return dbm == kNoSignalDbm;
}

// Readings from survey records, which keep only whole dBm: for callers that hold nothing finer,
// such as the running survey.
SiteReading ReadingOfRecord(const SurveyRecord& record);
std::vector<SiteReading> ReadingsOfRecords(const std::vector<SurveyRecord>& records);
