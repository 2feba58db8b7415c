// One channel reading taken at one map point; records link themselves into a CRecordList.
#pragma once

#include <cstdint>

struct SurveyRecord {
    static constexpr int kNameSize = 32;

    SurveyRecord* prev = nullptr;
    int32_t x = 0;
    int32_t y = 0;
    char name[kNameSize] = {};
    int32_t channel = 0; // 0 marks a point without readings
    double frequencyMHz = 0.0;
    int16_t rssi = 0; // whole dBm
    // Measured by a software-defined radio that no calibration covered at this frequency: the
    // level may be off by 10 dB or more.
    bool uncalibrated = false;
    SurveyRecord* next = nullptr;
};
