// The receiver's measurements: each scan has an identity, so its readings are stored once, by
// whoever began it, and never after a newer scan, a site change or a lost board has ended it.
#include "receiver/Receiver.h"

uint64_t CReceiver::BeginScan() {
    uint64_t scan;
    {
        std::lock_guard<std::mutex> hold(m_tableLock);
        scan = ++m_lastScanId;
        m_scanId = scan;
        // A completion left from an earlier scan belongs to that scan, not to this one.
        m_completedScan = 0;
        m_completedReadings.clear();
    }
    StartMeasurement();
    return scan;
}

ScanState CReceiver::GetScanState(uint64_t scan) const {
    std::lock_guard<std::mutex> hold(m_tableLock);
    if (scan == 0 || scan > m_lastScanId) {
        return ScanState::kNone;
    }
    if (scan == m_completedScan) {
        return ScanState::kComplete;
    }
    return scan == m_scanId ? ScanState::kRunning : ScanState::kEnded;
}

bool CReceiver::TakeScan(uint64_t scan, std::vector<ChannelReading>& readings) {
    std::lock_guard<std::mutex> hold(m_tableLock);
    if (scan == 0 || scan != m_completedScan) {
        return false;
    }
    readings = std::move(m_completedReadings);
    m_completedReadings.clear();
    m_completedScan = 0;
    m_scanId = 0;
    m_measurementComplete = false;
    return true;
}

void CReceiver::EndScan() {
    std::lock_guard<std::mutex> hold(m_tableLock);
    m_scanId = 0;
    m_completedScan = 0;
    m_completedReadings.clear();
}

bool CReceiver::MeasurementPending() const {
    std::lock_guard<std::mutex> hold(m_tableLock);
    return m_scanId != 0;
}

bool CReceiver::MeasurementComplete() const {
    std::lock_guard<std::mutex> hold(m_tableLock);
    return m_measurementComplete;
}

void CReceiver::OnScanStarted() {
    std::lock_guard<std::mutex> hold(m_tableLock);
    m_measurementComplete = false;
}

void CReceiver::OnScanReading(uint8_t index, int16_t rssiX16) {
    std::lock_guard<std::mutex> hold(m_tableLock);
    // An index past the table is ignored; the reply still counts as scan progress.
    if (index < kTableCapacity) {
        m_channels[index].rssiX16 = rssiX16;
    }
    m_measurementComplete = false;
}

void CReceiver::OnScanComplete(uint32_t uncalibrated) {
    std::lock_guard<std::mutex> hold(m_tableLock);
    m_measurementComplete = true;
    m_uncalibratedSlots = uncalibrated;
    // Taken now, with the table as this scan left it: the next scan may start writing into
    // the table before the surveyor's point is stored.
    if (m_scanId != 0 && m_completedScan != m_scanId) {
        m_completedScan = m_scanId;
        m_completedReadings = ReadingsLocked();
    }
}

void CReceiver::EndInterruptedScan() {
    std::lock_guard<std::mutex> hold(m_tableLock);
    // A scan that completed before the board went is whole, and stays to be taken.
    if (m_completedScan != m_scanId) {
        m_scanId = 0;
    }
}
