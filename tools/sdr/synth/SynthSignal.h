// The samples of the synthetic receiver: complex baseband at 2.4 MS/s around the tuned frequency,
// scaled so that a mean |x|^2 of 1 is 0 dBm (the device is calibrated with an offset of 0 dB).
// Its clock is the count of samples delivered, so a scan's device time is known exactly and
// nothing ever sleeps.
//
// What it models of a real tuner:
// - thermal noise at -120 dBm per 12.5 kHz, flat, from a generator fixed by noise_seed;
// - each tone with a continuous phase; the anti-alias filter is flat to 40 % of the sample rate
//   either side of the centre and falls by 40 dB to its edge, beyond which nothing passes;
// - an optional DC spike;
// - optionally, tones that wander in level with the wall clock (for the demo);
// - after each tune, 10 ms in which the synthesiser is still settling: those samples are garbage
//   (a wideband burst 60 dB above the noise) that a measurement must drop.
#pragma once

#include <chrono>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "SynthArgs.h"

class CSynthSignal {
public:
    static constexpr double kSampleRate = 2.4e6;
    static constexpr double kSettleSeconds = 0.010;
    static constexpr double kNoiseDbm = -120.0;
    static constexpr double kNoiseBandwidthHz = 12500.0;
    static constexpr double kFlatFraction = 0.40;
    static constexpr double kEdgeFallDb = 40.0;
    static constexpr double kSettlingExcessDb = 60.0;
    static constexpr double kMinHz = 1e6;
    static constexpr double kMaxHz = 6e9;

    explicit CSynthSignal(const SynthConfig& config);

    // Retunes; the next kSettleSeconds of samples are garbage.
    void Tune(double hz);
    double Frequency() const { return m_centreHz; }

    // The next count samples; the clock advances by count.
    void Generate(std::complex<float>* out, size_t count);

    int64_t ClockSamples() const { return m_clock; }
    long long TimeNs() const;

    // The gain of the anti-alias filter for a tone offset from the centre (linear amplitude).
    static double FilterGain(double offsetHz);

private:
    struct Carrier {
        double amplitude; // at the filter's flat part
        double hz;
        std::complex<double> phasor{1.0, 0.0};
    };

    // The amplitude factor of carrier k now, for wander.
    double WanderGain(size_t k) const;

    SynthConfig m_config;
    std::vector<Carrier> m_carriers;
    std::mt19937_64 m_random;
    std::normal_distribution<double> m_normal;
    double m_noiseSigma; // per component
    double m_centreHz = 1e9;
    int64_t m_clock = 0;
    int64_t m_settledAt = 0;
    std::chrono::steady_clock::time_point m_made = std::chrono::steady_clock::now();
};
