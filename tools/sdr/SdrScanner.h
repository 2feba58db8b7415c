// Measures the power of a list of channels with a software-defined radio: group the channels into
// captures, and for each tune, let the tuner settle, capture a fixed dwell, average a windowed
// FFT over it (Welch) and sum each channel's own bandwidth, then convert to dBm with the device's
// calibration. Blocking; one scan at a time.
#pragma once

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "Calibration.h"
#include "CapturePlan.h"
#include "SdrDevice.h"
#include "SdrTypes.h"
#include "WelchSpectrum.h"

struct SdrOptions {
    double sampleRateHz = 2.4e6;
    // NaN: the middle of the device's gain range.
    double gainDb = std::numeric_limits<double>::quiet_NaN();
    // Dropped after each tune: the synthesiser and the stream's buffers settle in this time.
    double settleSeconds = 0.010;
    // Captured after settling; 10 ms at 2.4 MS/s is ten half-overlapping 4096-point segments.
    double dwellSeconds = 0.010;
    size_t fftSize = 4096;
    double usableFraction = 0.75;
    double dcGuardHz = 10000;
};

class CSdrScanner {
public:
    CSdrScanner();
    ~CSdrScanner();
    CSdrScanner(const CSdrScanner&) = delete;
    CSdrScanner& operator=(const CSdrScanner&) = delete;

    bool Open(const std::string& deviceArgs, const SdrOptions& options, std::string& error);
    // The calibrations to apply; without any, the device's own statement or none.
    void UseCalibration(const CCalibrationStore& store) { m_calibration = store; }

    const SdrIdentity& Identity() const { return m_device.Identity(); }
    double GainDb() const { return m_device.GainDb(); }
    double SampleRateHz() const { return m_device.SampleRateHz(); }

    // Checks that this device can measure the channels and plans their captures (Scan does so
    // too, once for a given list); false with the reason.
    bool Plan(const std::vector<SdrChannel>& channels, std::string& error);
    int PlannedTunes() const { return static_cast<int>(m_plan.size()); }

    // Measures every channel once; readings[i] belongs to channels[i]. False with the reason when
    // a channel cannot be measured by this device or the device fails.
    bool Scan(const std::vector<SdrChannel>& channels, std::vector<SdrReading>& readings,
              std::string& error);
    const SdrScanStats& LastScan() const { return m_stats; }

    // The offset that turns dBFS into dBm at hz, and whether a calibration stands behind it.
    double OffsetDb(double hz, bool& calibrated) const;

private:
    SdrOptions m_options;
    CSdrDevice m_device;
    CCalibrationStore m_calibration;
    std::unique_ptr<CWelchSpectrum> m_spectrum;
    std::vector<SdrChannel> m_plannedFor;
    std::vector<CaptureGroup> m_plan;
    std::vector<std::complex<float>> m_samples;
    SdrScanStats m_stats;
};
