// The synthetic receiver as a SoapySDR module, driver "larkspur-synth": loaded like any device
// family's module (through SOAPY_SDR_PLUGIN_PATH), so tests and the demo take the same path as
// an RTL-SDR or a HackRF. SoapySDR's own convention is to report errors as exceptions; they stay
// inside SoapySDR's calls, which the measurement library catches.
#include <SoapySDR/Device.hpp>
#include <SoapySDR/Errors.hpp>
#include <SoapySDR/Formats.hpp>
#include <SoapySDR/Registry.hpp>

#include <algorithm>
#include <cmath>
#include <complex>
#include <mutex>
#include <stdexcept>

#include "SdrTypes.h"
#include "SynthArgs.h"
#include "SynthSignal.h"

namespace {

const char* const kDriver = "larkspur-synth";
const char* const kLabel = "Larkspur synthetic receiver";
constexpr size_t kMtu = 16384;

class CSynthDevice : public SoapySDR::Device {
public:
    explicit CSynthDevice(const SynthConfig& config) : m_config(config), m_signal(config) {}

    std::string getDriverKey() const override { return kDriver; }
    std::string getHardwareKey() const override { return kLabel; }
    SoapySDR::Kwargs getHardwareInfo() const override {
        SoapySDR::Kwargs info{{"serial", m_config.serial}};
        if (!m_config.calibration.empty()) {
            info[kSdrFactoryCalibrationKey] = m_config.calibration;
        }
        return info;
    }
    size_t getNumChannels(const int direction) const override {
        return direction == SOAPY_SDR_RX ? 1 : 0;
    }

    std::vector<double> listSampleRates(const int, const size_t) const override {
        return {CSynthSignal::kSampleRate};
    }
    SoapySDR::RangeList getSampleRateRange(const int, const size_t) const override {
        return {SoapySDR::Range(CSynthSignal::kSampleRate, CSynthSignal::kSampleRate)};
    }
    void setSampleRate(const int, const size_t, const double rate) override {
        if (std::fabs(rate - CSynthSignal::kSampleRate) > 1.0) {
            throw std::invalid_argument("larkspur-synth streams at 2.4 MS/s only");
        }
    }
    double getSampleRate(const int, const size_t) const override {
        return CSynthSignal::kSampleRate;
    }

    SoapySDR::RangeList getFrequencyRange(const int, const size_t) const override {
        return {SoapySDR::Range(CSynthSignal::kMinHz, CSynthSignal::kMaxHz)};
    }
    void setFrequency(const int, const size_t, const double hz, const SoapySDR::Kwargs&) override {
        if (hz < CSynthSignal::kMinHz || hz > CSynthSignal::kMaxHz) {
            throw std::out_of_range("larkspur-synth tunes 1 MHz to 6 GHz");
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_signal.Tune(hz);
    }
    double getFrequency(const int, const size_t) const override {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_signal.Frequency();
    }

    std::vector<std::string> getStreamFormats(const int, const size_t) const override {
        return {SOAPY_SDR_CF32};
    }
    std::string getNativeStreamFormat(const int, const size_t, double& fullScale) const override {
        fullScale = 1.0;
        return SOAPY_SDR_CF32;
    }
    SoapySDR::Stream* setupStream(const int direction, const std::string& format,
                                  const std::vector<size_t>& channels,
                                  const SoapySDR::Kwargs&) override {
        if (direction != SOAPY_SDR_RX || format != SOAPY_SDR_CF32 ||
            (!channels.empty() && (channels.size() != 1 || channels[0] != 0))) {
            throw std::invalid_argument("larkspur-synth has one receive channel, CF32 only");
        }
        return reinterpret_cast<SoapySDR::Stream*>(&m_stream);
    }
    void closeStream(SoapySDR::Stream*) override { m_stream.active = false; }
    size_t getStreamMTU(SoapySDR::Stream*) const override { return kMtu; }
    int activateStream(SoapySDR::Stream*, const int, const long long, const size_t) override {
        m_stream.active = true;
        return 0;
    }
    int deactivateStream(SoapySDR::Stream*, const int, const long long) override {
        m_stream.active = false;
        return 0;
    }
    int readStream(SoapySDR::Stream*, void* const* buffs, const size_t numElems, int& flags,
                   long long& timeNs, const long) override {
        if (!m_stream.active) {
            return SOAPY_SDR_STREAM_ERROR;
        }
        const size_t count = std::min(numElems, kMtu);
        std::lock_guard<std::mutex> lock(m_mutex);
        timeNs = m_signal.TimeNs();
        flags = SOAPY_SDR_HAS_TIME;
        m_signal.Generate(static_cast<std::complex<float>*>(buffs[0]), count);
        return static_cast<int>(count);
    }

    bool hasHardwareTime(const std::string& what) const override { return what.empty(); }
    long long getHardwareTime(const std::string&) const override {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_signal.TimeNs();
    }

private:
    struct StreamState {
        bool active = false;
    };

    SynthConfig m_config;
    mutable std::mutex m_mutex;
    CSynthSignal m_signal;
    StreamState m_stream;
};

// Always found, so that a malformed argument reaches makeSynth and is reported, not taken for a
// missing device. Every argument is echoed: SoapySDR shares one device among makes whose found
// arguments are equal, and two configurations are two devices.
SoapySDR::KwargsList findSynth(const SoapySDR::Kwargs& args) {
    SoapySDR::Kwargs found = args;
    found["driver"] = kDriver;
    found["label"] = kLabel;
    if (found["serial"].empty()) {
        found["serial"] = SynthConfig().serial;
    }
    return {found};
}

SoapySDR::Device* makeSynth(const SoapySDR::Kwargs& args) {
    SynthConfig config;
    std::string error;
    if (!ParseSynthArgs(args, config, error)) {
        throw std::invalid_argument(std::string(kDriver) + ": " + error);
    }
    return new CSynthDevice(config);
}

const SoapySDR::Registry kRegistration(kDriver, &findSynth, &makeSynth, SOAPY_SDR_ABI_VERSION);

} // namespace
