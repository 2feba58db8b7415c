// The periodogram's arithmetic. For a window w of N points, a bin holds |X|^2 = P (sum w)^2 for a
// carrier of power P on it, and the bins a carrier spreads over add up to P N sum(w^2); dividing
// the band's sum by (sum w)^2 times the equivalent noise bandwidth N sum(w^2) / (sum w)^2 gives P
// for a carrier and the band's share of the noise for noise.
#include "WelchSpectrum.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace {

constexpr double kPi = 3.141592653589793;

// FFTW's planner is not thread-safe; executing a plan is.
std::mutex& plannerMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<float> blackmanHarris(size_t n) {
    constexpr double a0 = 0.35875;
    constexpr double a1 = 0.48829;
    constexpr double a2 = 0.14128;
    constexpr double a3 = 0.01168;
    std::vector<float> w(n);
    for (size_t i = 0; i < n; ++i) {
        // Periodic form (over n, not n - 1): the right one for spectral analysis.
        const double x = 2.0 * kPi * static_cast<double>(i) / static_cast<double>(n);
        w[i] =
            static_cast<float>(a0 - a1 * std::cos(x) + a2 * std::cos(2 * x) - a3 * std::cos(3 * x));
    }
    return w;
}

} // namespace

CWelchSpectrum::CWelchSpectrum(size_t fftSize)
    : m_size(fftSize), m_window(blackmanHarris(fftSize)), m_sum(fftSize, 0.0) {
    double sumSquares = 0;
    for (const float w : m_window) {
        m_windowSum += w;
        sumSquares += static_cast<double>(w) * w;
    }
    m_enbwBins = static_cast<double>(m_size) * sumSquares / (m_windowSum * m_windowSum);
    m_in = static_cast<std::complex<float>*>(fftwf_malloc(sizeof(fftwf_complex) * m_size));
    m_out = static_cast<std::complex<float>*>(fftwf_malloc(sizeof(fftwf_complex) * m_size));
    std::lock_guard<std::mutex> lock(plannerMutex());
    m_plan =
        fftwf_plan_dft_1d(static_cast<int>(m_size), reinterpret_cast<fftwf_complex*>(m_in),
                          reinterpret_cast<fftwf_complex*>(m_out), FFTW_FORWARD, FFTW_ESTIMATE);
}

CWelchSpectrum::~CWelchSpectrum() {
    {
        std::lock_guard<std::mutex> lock(plannerMutex());
        fftwf_destroy_plan(static_cast<fftwf_plan>(m_plan));
    }
    fftwf_free(m_in);
    fftwf_free(m_out);
}

void CWelchSpectrum::Reset() {
    std::fill(m_sum.begin(), m_sum.end(), 0.0);
    m_segments = 0;
}

void CWelchSpectrum::Add(const std::complex<float>* samples, size_t count) {
    const size_t hop = m_size / 2;
    for (size_t start = 0; start + m_size <= count; start += hop) {
        for (size_t i = 0; i < m_size; ++i) {
            m_in[i] = samples[start + i] * m_window[i];
        }
        fftwf_execute(static_cast<fftwf_plan>(m_plan));
        for (size_t k = 0; k < m_size; ++k) {
            m_sum[k] += std::norm(m_out[k]);
        }
        ++m_segments;
    }
}

double CWelchSpectrum::BandPower(double lowHz, double highHz, double sampleRateHz) const {
    if (m_segments == 0 || !(highHz > lowHz)) {
        return 0.0;
    }
    const double binHz = sampleRateHz / static_cast<double>(m_size);
    const double low = lowHz / binHz;
    const double high = highHz / binHz;
    const auto half = static_cast<long>(m_size / 2);
    double sum = 0;
    // Bin k covers [k - 0.5, k + 0.5] in bin units.
    for (long k = std::max(-half, std::lround(std::floor(low + 0.5)));
         k <= std::min(half - 1, std::lround(std::floor(high + 0.5))); ++k) {
        const double share = std::min(high, k + 0.5) - std::max(low, k - 0.5);
        if (share <= 0) {
            continue;
        }
        const size_t index =
            static_cast<size_t>((k + static_cast<long>(m_size)) % static_cast<long>(m_size));
        sum += share * m_sum[index];
    }
    const double perSegment = sum / static_cast<double>(m_segments);
    return perSegment / (m_windowSum * m_windowSum * m_enbwBins);
}
