// One software-defined radio opened through SoapySDR: its identity, a fixed gain (no AGC, so a
// calibration holds), a receive stream of complex floats, tuning and captures. Every SoapySDR
// call is made here and its exceptions end here; callers get a bool and a reason.
#pragma once

#include <complex>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "SdrTypes.h"

namespace SoapySDR {
class Device;
class Stream;
} // namespace SoapySDR

class CSdrDevice {
public:
    CSdrDevice();
    ~CSdrDevice();
    CSdrDevice(const CSdrDevice&) = delete;
    CSdrDevice& operator=(const CSdrDevice&) = delete;

    // Opens the first device matching args (SoapySDR's "key=value,..." form; empty: the first
    // device found) at the supported sample rate nearest sampleRateHz and at gainDb, clamped to
    // the device's range (NaN: the middle of its range).
    bool Open(const std::string& args, double sampleRateHz, double gainDb, std::string& error);
    void Close();
    bool IsOpen() const { return m_device != nullptr; }

    const SdrIdentity& Identity() const { return m_identity; }
    double SampleRateHz() const { return m_sampleRateHz; }
    double GainDb() const { return m_gainDb; }
    // The offset a device states for itself (dBm = dBFS + offset); false when it states none.
    bool FactoryOffsetDb(double& offsetDb) const;
    // Whether the device tunes every frequency from lowHz to highHz; its ranges as text.
    bool Tunes(double lowHz, double highHz) const;
    std::string TuningRanges() const;

    bool Start(std::string& error);
    void Stop();
    // Tunes; actualHz is the frequency the device reports it took.
    bool Tune(double hz, double& actualHz, std::string& error);
    // Reads and drops `discard` samples (the tuner settling), then reads `count` into out. An
    // overflow (samples lost) restarts the capture, a few times at most.
    bool Capture(size_t discard, size_t count, std::vector<std::complex<float>>& out,
                 std::string& error);
    // The device time that passed since Start: from the stream's timestamps when it gives them,
    // otherwise from the number of samples read.
    long long StreamTimeNs() const;

private:
    enum class ReadResult { kDone, kOverflow, kFailed };
    ReadResult Read(std::complex<float>* to, size_t count, std::string& error);

    SoapySDR::Device* m_device = nullptr;
    SoapySDR::Stream* m_stream = nullptr;
    bool m_streaming = false;
    SdrIdentity m_identity;
    std::string m_factoryOffset;
    std::vector<std::pair<double, double>> m_ranges;
    double m_sampleRateHz = 0;
    double m_gainDb = 0;
    size_t m_mtu = 0;
    long long m_firstTimeNs = -1;
    long long m_endTimeNs = 0;
    long long m_samplesRead = 0;
    bool m_timestamps = true;
    std::vector<std::complex<float>> m_scratch;
};
