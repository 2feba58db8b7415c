// Level calibrations of software-defined radios, one text file for all devices in the user's
// configuration folder. Each record says: for the device with this serial, at this gain, between
// these frequencies, dBm = dBFS + offset. A device the file does not cover still measures, its
// readings marked uncalibrated.
#pragma once

#include <string>
#include <vector>

#include "SdrTypes.h"

struct CalibrationRecord {
    std::string serial;
    std::string driver;
    double lowHz = 0;
    double highHz = 0;
    double gainDb = 0;
    double offsetDb = 0;
    std::string date; // UTC, YYYY-MM-DD
};

// What a device's calibrations are filed under: its serial, or driver and label for a device
// that reports none.
std::string CalibrationKey(const SdrIdentity& identity);

class CCalibrationStore {
public:
    // Gains closer than this are the same setting.
    static constexpr double kGainToleranceDb = 0.05;

    // $XDG_CONFIG_HOME/larkspur/sdr-calibration.tsv, or ~/.config/larkspur/ when XDG_CONFIG_HOME
    // is unset or not absolute; empty when neither can be found.
    static std::string DefaultPath();

    // A missing file is an empty store. A file that is there but unreadable or malformed is
    // refused (with the line), rather than quietly leaving every reading uncalibrated.
    bool Load(const std::string& path, std::string& error);
    // Writes the whole store safely (the old file stays until the new one is complete), making
    // the folder first.
    bool Save(const std::string& path, std::string& error) const;

    // Adds a record; one of the same device, gain and range is replaced.
    void Add(const CalibrationRecord& record);
    // The latest record for this device and gain whose range holds hz, or none.
    const CalibrationRecord* Find(const std::string& serial, double hz, double gainDb) const;
    const std::vector<CalibrationRecord>& Records() const { return m_records; }

private:
    std::vector<CalibrationRecord> m_records;
};
