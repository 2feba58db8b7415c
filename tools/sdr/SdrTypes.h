// The plain records the software-defined radio source passes around: what to measure, what was
// measured, which device did it and what a scan cost.
#pragma once

#include <string>

// The hardware-info key under which a device may state its own level offset (dBm = dBFS +
// offset), used when the calibration store holds none for it.
constexpr const char* kSdrFactoryCalibrationKey = "larkspur_calibration_db";

// One channel to measure: its centre and the bandwidth its power is taken over.
struct SdrChannel {
    double frequencyHz = 0;
    double bandwidthHz = 0;
};

struct SdrReading {
    double dBm = 0;
    // False when no calibration covers this frequency at this gain: the level then rests on the
    // device's nominal full scale and may be off by several dB.
    bool calibrated = false;
};

struct SdrIdentity {
    std::string driver; // SoapySDR driver key, for example "rtlsdr"
    std::string label;  // as enumeration names it, for example "Generic RTL2832U OEM :: 00000001"
    std::string serial; // calibration is keyed by it
};

struct SdrScanStats {
    int tunes = 0;
    // The device's own time the scan took (its stream clock), settling included.
    long long deviceTimeNs = 0;
};
