// Sample generation for the synthetic receiver: noise, carriers and the settling burst.
#include "SynthSignal.h"

#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr long long kNsPerSecond = 1000000000LL;
// Rotating a phasor by multiplication drifts in magnitude; renormalise this often.
constexpr size_t kRenormaliseEvery = 1024;

double milliwatts(double dBm) {
    return std::pow(10.0, dBm / 10.0);
}

} // namespace

CSynthSignal::CSynthSignal(const SynthConfig& config)
    : m_config(config), m_random(config.noiseSeed), m_normal(0.0, 1.0) {
    const double noisePower = milliwatts(kNoiseDbm) * kSampleRate / kNoiseBandwidthHz;
    m_noiseSigma = std::sqrt(noisePower / 2.0);
    for (const SynthTone& tone : config.tones) {
        m_carriers.push_back({std::sqrt(milliwatts(tone.dBm)), tone.hz});
    }
}

void CSynthSignal::Tune(double hz) {
    m_centreHz = hz;
    m_settledAt = m_clock + static_cast<int64_t>(std::llround(kSettleSeconds * kSampleRate));
}

long long CSynthSignal::TimeNs() const {
    return static_cast<long long>(
        std::llround(static_cast<double>(m_clock) * kNsPerSecond / kSampleRate));
}

double CSynthSignal::FilterGain(double offsetHz) {
    const double edge = kSampleRate / 2.0;
    const double flat = kFlatFraction * kSampleRate;
    const double offset = std::fabs(offsetHz);
    if (offset <= flat) {
        return 1.0;
    }
    if (offset >= edge) {
        return 0.0;
    }
    const double fallDb = kEdgeFallDb * (offset - flat) / (edge - flat);
    return std::pow(10.0, -fallDb / 20.0);
}

double CSynthSignal::WanderGain(size_t k) const {
    if (m_config.wanderDb <= 0 || m_carriers.empty()) {
        return 1.0;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_made).count();
    const double phase = kTwoPi * (seconds / m_config.wanderSeconds +
                                   static_cast<double>(k) / static_cast<double>(m_carriers.size()));
    const double downDb = m_config.wanderDb * (1.0 - std::cos(phase)) / 2.0;
    return std::pow(10.0, -downDb / 20.0);
}

void CSynthSignal::Generate(std::complex<float>* out, size_t count) {
    struct Active {
        std::complex<double>* phasor;
        std::complex<double> step;
        double amplitude;
    };
    std::vector<Active> active;
    for (size_t k = 0; k < m_carriers.size(); ++k) {
        Carrier& c = m_carriers[k];
        const double offset = c.hz - m_centreHz;
        const double gain = FilterGain(offset) * WanderGain(k);
        if (gain > 0.0) {
            active.push_back(
                {&c.phasor, std::polar(1.0, kTwoPi * offset / kSampleRate), c.amplitude * gain});
        }
    }
    const std::complex<double> dc = m_config.dcSpike ? std::sqrt(milliwatts(m_config.dcDbm)) : 0.0;
    const double burstSigma = m_noiseSigma * std::pow(10.0, kSettlingExcessDb / 20.0);

    for (size_t i = 0; i < count; ++i, ++m_clock) {
        if (m_clock < m_settledAt) {
            out[i] = std::complex<float>(static_cast<float>(burstSigma * m_normal(m_random)),
                                         static_cast<float>(burstSigma * m_normal(m_random)));
            continue;
        }
        std::complex<double> x(m_noiseSigma * m_normal(m_random),
                               m_noiseSigma * m_normal(m_random));
        x += dc;
        for (Active& a : active) {
            x += a.amplitude * *a.phasor;
            *a.phasor *= a.step;
        }
        if (i % kRenormaliseEvery == 0) {
            for (Active& a : active) {
                *a.phasor /= std::abs(*a.phasor);
            }
        }
        out[i] = std::complex<float>(x);
    }
}
