// Survey records to readings: whole dBm become sixteenths exactly.
#include "analysis/SiteReadings.h"

#include <algorithm>
#include <cstdint>

SiteReading ReadingOfRecord(const SurveyRecord& r) {
    SiteReading reading;
    reading.x = r.x;
    reading.y = r.y;
    reading.channel = r.channel;
    reading.frequencyMHz = r.frequencyMHz;
    // A record's whole dBm came from sixteenths, so the product fits; the clamp only keeps a
    // record made some other way from wrapping.
    const int32_t x16 = r.channel == 0 ? 0 : int32_t{r.rssi} * 16;
    reading.rssiX16 = static_cast<int16_t>(std::clamp<int32_t>(x16, INT16_MIN, INT16_MAX));
    return reading;
}

std::vector<SiteReading> ReadingsOfRecords(const std::vector<SurveyRecord>& records) {
    std::vector<SiteReading> readings;
    readings.reserve(records.size());
    for (const SurveyRecord& r : records) {
        readings.push_back(ReadingOfRecord(r));
    }
    return readings;
}
