// One scan: plan (kept while the channel list stays the same), then tune, settle, capture and
// measure, group by group, in rising frequency.
#include "SdrScanner.h"

#include <cmath>
#include <cstdio>

namespace {

// Whole dBFS of nothing at all would be -infinity; no receiver measures below this.
constexpr double kFloorPower = 1e-30;

bool sameChannels(const std::vector<SdrChannel>& a, const std::vector<SdrChannel>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].frequencyHz != b[i].frequencyHz || a[i].bandwidthHz != b[i].bandwidthHz) {
            return false;
        }
    }
    return true;
}

std::string mhz(double hz) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f MHz", hz / 1e6);
    return text;
}

} // namespace

CSdrScanner::CSdrScanner() = default;
CSdrScanner::~CSdrScanner() = default;

bool CSdrScanner::Open(const std::string& deviceArgs, const SdrOptions& options,
                       std::string& error) {
    m_options = options;
    m_plannedFor.clear();
    m_plan.clear();
    if (!m_device.Open(deviceArgs, options.sampleRateHz, options.gainDb, error)) {
        return false;
    }
    m_spectrum = std::make_unique<CWelchSpectrum>(options.fftSize);
    return true;
}

double CSdrScanner::OffsetDb(double hz, bool& calibrated) const {
    const CalibrationRecord* record =
        m_calibration.Find(CalibrationKey(m_device.Identity()), hz, m_device.GainDb());
    double offset = 0;
    calibrated = true;
    if (record != nullptr) {
        return record->offsetDb;
    }
    if (m_device.FactoryOffsetDb(offset)) {
        return offset;
    }
    // Nominal: full scale at 0 dB of gain taken as 0 dBm. Right to within some 10 dB at best.
    calibrated = false;
    return -m_device.GainDb();
}

bool CSdrScanner::Plan(const std::vector<SdrChannel>& channels, std::string& error) {
    if (!m_plannedFor.empty() && sameChannels(channels, m_plannedFor)) {
        return true;
    }
    for (const SdrChannel& c : channels) {
        if (!m_device.Tunes(c.frequencyHz - c.bandwidthHz / 2, c.frequencyHz + c.bandwidthHz / 2)) {
            error = mhz(c.frequencyHz) + " is outside what " + m_device.Identity().driver +
                    " tunes (" + m_device.TuningRanges() + ")";
            return false;
        }
    }
    CaptureLimits limits;
    limits.sampleRateHz = m_device.SampleRateHz();
    limits.usableFraction = m_options.usableFraction;
    limits.dcGuardHz = m_options.dcGuardHz;
    if (!PlanCaptures(channels, limits, m_plan, error)) {
        return false;
    }
    for (const CaptureGroup& g : m_plan) {
        if (!m_device.Tunes(g.centreHz, g.centreHz)) {
            error = "cannot tune to " + mhz(g.centreHz) + " to measure the channels beside it (" +
                    m_device.TuningRanges() + ")";
            return false;
        }
    }
    m_plannedFor = channels;
    return true;
}

bool CSdrScanner::Scan(const std::vector<SdrChannel>& channels, std::vector<SdrReading>& readings,
                       std::string& error) {
    m_stats = SdrScanStats();
    if (!m_device.IsOpen()) {
        error = "no device open";
        return false;
    }
    if (!Plan(channels, error)) {
        return false;
    }
    readings.assign(channels.size(), SdrReading());
    if (channels.empty()) {
        return true;
    }
    const double rate = m_device.SampleRateHz();
    const auto settle = static_cast<size_t>(std::ceil(m_options.settleSeconds * rate));
    const auto dwell = static_cast<size_t>(std::ceil(m_options.dwellSeconds * rate));
    if (!m_device.Start(error)) {
        return false;
    }
    for (const CaptureGroup& group : m_plan) {
        double centre = 0;
        if (!m_device.Tune(group.centreHz, centre, error) ||
            !m_device.Capture(settle, dwell, m_samples, error)) {
            m_device.Stop();
            return false;
        }
        ++m_stats.tunes;
        m_spectrum->Reset();
        m_spectrum->Add(m_samples.data(), m_samples.size());
        for (const size_t i : group.channels) {
            const SdrChannel& c = channels[i];
            const double offset = c.frequencyHz - centre;
            const double power =
                m_spectrum->BandPower(offset - c.bandwidthHz / 2, offset + c.bandwidthHz / 2, rate);
            SdrReading& r = readings[i];
            r.dBm = 10.0 * std::log10(std::max(power, kFloorPower)) +
                    OffsetDb(c.frequencyHz, r.calibrated);
        }
    }
    m_stats.deviceTimeNs = m_device.StreamTimeNs();
    m_device.Stop();
    return true;
}
