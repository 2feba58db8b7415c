// The radio behind the board: the board's slots become channels, the readings sixteenths.
#include "SdrSignal.h"

#include <algorithm>
#include <cmath>

#include "receiver/Receiver.h"

bool CSdrSignal::Open(const std::string& deviceArgs, const SdrOptions& options,
                      const CCalibrationStore& calibration, std::string& error) {
    m_args = deviceArgs;
    m_options = options;
    m_calibration = calibration;
    if (!Reopen()) {
        error = m_error;
        return false;
    }
    m_identity = m_scanner.Identity();
    return true;
}

bool CSdrSignal::Reopen() {
    m_open = m_scanner.Open(m_args, m_options, m_error);
    if (m_open) {
        m_scanner.UseCalibration(m_calibration);
    }
    return m_open;
}

std::string CSdrSignal::Description() const {
    return m_identity.label.empty() ? m_identity.driver
                                    : m_identity.driver + ", " + m_identity.label;
}

int16_t CSdrSignal::ToRssiX16(double dBm) {
    const double x16 = std::round(dBm * 16.0);
    return static_cast<int16_t>(std::clamp(x16, -32768.0, 32767.0));
}

bool CSdrSignal::Measure(const std::vector<SourceChannel>& channels, uint64_t,
                         std::vector<int16_t>& readings) {
    m_uncalibrated = 0;
    if (!m_open && !Reopen()) {
        return false;
    }
    std::vector<SdrChannel> list(channels.size());
    for (size_t k = 0; k < channels.size(); ++k) {
        // A slot whose bandwidth the board does not name is measured over a cellular channel's.
        const uint32_t bandwidth =
            channels[k].bandwidthHz != 0 ? channels[k].bandwidthHz : CReceiver::kCellularSpacingHz;
        list[k] = {static_cast<double>(channels[k].frequencyHz), static_cast<double>(bandwidth)};
    }
    std::vector<SdrReading> measured;
    if (!m_scanner.Scan(list, measured, m_error)) {
        m_open = false; // opened afresh next time: a radio unplugged and back is a new device
        return false;
    }
    m_error.clear();
    readings.resize(measured.size());
    for (size_t k = 0; k < measured.size(); ++k) {
        readings[k] = ToRssiX16(measured[k].dBm);
        if (!measured[k].calibrated && k < 32) {
            m_uncalibrated |= 1u << k;
        }
    }
    return true;
}
