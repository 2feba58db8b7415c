// SoapySDR behind bools: enumeration, fixed gain, the receive stream and its clock.
#include "SdrDevice.h"

#include <SoapySDR/Device.hpp>
#include <SoapySDR/Errors.hpp>
#include <SoapySDR/Formats.hpp>
#include <SoapySDR/Logger.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>

#include "platform/TextFields.h"

namespace {

constexpr long kReadTimeoutUs = 200000;
// A device that gives nothing for this many reads in a row is gone.
constexpr int kMaxTimeouts = 5;
constexpr int kMaxOverflowRestarts = 4;
constexpr double kNsPerSecond = 1e9;
constexpr double kGainStepDb = 0.1;

double nearestRate(const SoapySDR::RangeList& ranges, double wanted) {
    double best = wanted;
    double bestDistance = -1;
    for (const SoapySDR::Range& r : ranges) {
        const double candidate = std::min(std::max(wanted, r.minimum()), r.maximum());
        const double distance = std::fabs(candidate - wanted);
        if (bestDistance < 0 || distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

std::string valueOf(const SoapySDR::Kwargs& args, const char* key) {
    const auto it = args.find(key);
    return it == args.end() ? std::string() : it->second;
}

} // namespace

CSdrDevice::CSdrDevice() = default;

CSdrDevice::~CSdrDevice() {
    Close();
}

bool CSdrDevice::Open(const std::string& args, double sampleRateHz, double gainDb,
                      std::string& error) {
    Close();
    // Modules chatter at INFO level; what matters here reaches the caller as an error.
    SoapySDR::setLogLevel(SOAPY_SDR_WARNING);
    try {
        const SoapySDR::KwargsList found = SoapySDR::Device::enumerate(args);
        if (found.empty()) {
            error = args.empty() ? "no software-defined radio found (is it plugged in, and its "
                                   "SoapySDR module installed?)"
                                 : "no software-defined radio matches '" + args + "'";
            return false;
        }
        SoapySDR::Kwargs chosen = found.front();
        for (const auto& kv : SoapySDR::KwargsFromString(args)) {
            chosen[kv.first] = kv.second;
        }
        m_device = SoapySDR::Device::make(chosen);
        const SoapySDR::Kwargs info = m_device->getHardwareInfo();
        m_identity.driver = m_device->getDriverKey();
        m_identity.label = valueOf(chosen, "label");
        m_identity.serial = valueOf(chosen, "serial");
        if (m_identity.serial.empty()) {
            m_identity.serial = valueOf(info, "serial");
        }
        if (m_identity.label.empty()) {
            m_identity.label = m_device->getHardwareKey();
        }
        m_factoryOffset = valueOf(info, kSdrFactoryCalibrationKey);
        for (const SoapySDR::Range& r : m_device->getFrequencyRange(SOAPY_SDR_RX, 0)) {
            m_ranges.emplace_back(r.minimum(), r.maximum());
        }

        m_device->setSampleRate(
            SOAPY_SDR_RX, 0,
            nearestRate(m_device->getSampleRateRange(SOAPY_SDR_RX, 0), sampleRateHz));
        m_sampleRateHz = m_device->getSampleRate(SOAPY_SDR_RX, 0);
        if (m_device->hasGainMode(SOAPY_SDR_RX, 0)) {
            m_device->setGainMode(SOAPY_SDR_RX, 0, false);
        }
        const SoapySDR::Range gains = m_device->getGainRange(SOAPY_SDR_RX, 0);
        double gain = std::isnan(gainDb) ? (gains.minimum() + gains.maximum()) / 2.0 : gainDb;
        gain =
            std::round(std::min(std::max(gain, gains.minimum()), gains.maximum()) / kGainStepDb) *
            kGainStepDb;
        m_device->setGain(SOAPY_SDR_RX, 0, gain);
        m_gainDb = m_device->getGain(SOAPY_SDR_RX, 0);

        m_stream = m_device->setupStream(SOAPY_SDR_RX, SOAPY_SDR_CF32, {0});
        m_mtu = std::max<size_t>(m_device->getStreamMTU(m_stream), 1);
    } catch (const std::exception& e) {
        error = e.what();
        Close();
        return false;
    }
    if (!(m_sampleRateHz > 0)) {
        error = "the device reports no sample rate";
        Close();
        return false;
    }
    return true;
}

void CSdrDevice::Close() {
    if (m_device == nullptr) {
        return;
    }
    Stop();
    try {
        if (m_stream != nullptr) {
            m_device->closeStream(m_stream);
        }
        SoapySDR::Device::unmake(m_device);
    } catch (const std::exception&) {
        // A device that fails while closing is gone either way.
    }
    m_stream = nullptr;
    m_device = nullptr;
    m_ranges.clear();
    m_identity = SdrIdentity();
}

bool CSdrDevice::FactoryOffsetDb(double& offsetDb) const {
    return ParseFiniteNumber(m_factoryOffset, offsetDb);
}

bool CSdrDevice::Tunes(double lowHz, double highHz) const {
    return std::any_of(m_ranges.begin(), m_ranges.end(), [&](const std::pair<double, double>& r) {
        return lowHz >= r.first && highHz <= r.second;
    });
}

std::string CSdrDevice::TuningRanges() const {
    std::string text;
    for (const auto& r : m_ranges) {
        char range[64];
        std::snprintf(range, sizeof range, "%s%.3f-%.3f MHz", text.empty() ? "" : ", ",
                      r.first / 1e6, r.second / 1e6);
        text += range;
    }
    return text.empty() ? "none" : text;
}

bool CSdrDevice::Start(std::string& error) {
    if (m_device == nullptr) {
        error = "no device open";
        return false;
    }
    m_firstTimeNs = -1;
    m_endTimeNs = 0;
    m_samplesRead = 0;
    m_timestamps = true;
    try {
        const int status = m_device->activateStream(m_stream);
        if (status != 0) {
            error = std::string("cannot start streaming: ") + SoapySDR::errToStr(status);
            return false;
        }
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    m_streaming = true;
    return true;
}

void CSdrDevice::Stop() {
    if (!m_streaming) {
        return;
    }
    m_streaming = false;
    try {
        m_device->deactivateStream(m_stream);
    } catch (const std::exception&) {
        // Nothing more to stop.
    }
}

bool CSdrDevice::Tune(double hz, double& actualHz, std::string& error) {
    try {
        m_device->setFrequency(SOAPY_SDR_RX, 0, hz);
        actualHz = m_device->getFrequency(SOAPY_SDR_RX, 0);
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    return true;
}

CSdrDevice::ReadResult CSdrDevice::Read(std::complex<float>* to, size_t count, std::string& error) {
    size_t got = 0;
    int timeouts = 0;
    while (got < count) {
        void* buffers[] = {to + got};
        int flags = 0;
        long long timeNs = 0;
        int n = 0;
        try {
            n = m_device->readStream(m_stream, buffers, std::min(count - got, m_mtu), flags, timeNs,
                                     kReadTimeoutUs);
        } catch (const std::exception& e) {
            error = e.what();
            return ReadResult::kFailed;
        }
        if (n == SOAPY_SDR_TIMEOUT && ++timeouts < kMaxTimeouts) {
            continue;
        }
        if (n == SOAPY_SDR_OVERFLOW) {
            return ReadResult::kOverflow;
        }
        if (n <= 0) {
            error = std::string("the device stopped streaming: ") + SoapySDR::errToStr(n);
            return ReadResult::kFailed;
        }
        timeouts = 0;
        if ((flags & SOAPY_SDR_HAS_TIME) == 0) {
            m_timestamps = false;
        }
        if (m_firstTimeNs < 0) {
            m_firstTimeNs = timeNs;
        }
        m_endTimeNs = timeNs + std::llround(n * kNsPerSecond / m_sampleRateHz);
        m_samplesRead += n;
        got += static_cast<size_t>(n);
    }
    return ReadResult::kDone;
}

bool CSdrDevice::Capture(size_t discard, size_t count, std::vector<std::complex<float>>& out,
                         std::string& error) {
    out.resize(count);
    m_scratch.resize(std::min(discard, m_mtu));
    for (int attempt = 0; attempt <= kMaxOverflowRestarts; ++attempt) {
        ReadResult result = ReadResult::kDone;
        for (size_t dropped = 0; result == ReadResult::kDone && dropped < discard;) {
            const size_t n = std::min(discard - dropped, m_scratch.size());
            result = Read(m_scratch.data(), n, error);
            dropped += n;
        }
        if (result == ReadResult::kDone) {
            result = Read(out.data(), count, error);
        }
        if (result != ReadResult::kOverflow) {
            return result == ReadResult::kDone;
        }
        // Lost samples leave a gap in the capture: take it again, the tuner has settled.
        discard = 0;
    }
    error = "the device keeps losing samples (overflow); is its USB link busy?";
    return false;
}

long long CSdrDevice::StreamTimeNs() const {
    if (m_timestamps && m_firstTimeNs >= 0) {
        return m_endTimeNs - m_firstTimeNs;
    }
    return std::llround(static_cast<double>(m_samplesRead) * kNsPerSecond / m_sampleRateHz);
}
