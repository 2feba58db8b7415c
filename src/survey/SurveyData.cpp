// Survey store operations over the record list and the receiver's channel table.
#include "survey/SurveyData.h"

#include <cstring>

#include "receiver/Receiver.h"
#include "survey/RecordList.h"

namespace {
void copyName(char (&dest)[CSurveyData::kNameSize], const char* src) {
    std::strncpy(dest, src != nullptr ? src : "", CSurveyData::kNameSize - 1);
    dest[CSurveyData::kNameSize - 1] = '\0';
}
} // namespace

CSurveyData::CSurveyData(CRecordList& list, const CReceiver& receiver)
    : m_list(list), m_receiver(receiver) {}

void CSurveyData::Clear() {
    m_list.Clear();
    m_nLocations = 0;
    m_nReadings = 0;
}

void CSurveyData::SetLocation(int32_t x, int32_t y, const char* name) {
    m_nX = x;
    m_nY = y;
    copyName(m_szName, name);
}

void CSurveyData::TakeScan() {
    AppendPoint(ScanRecords(m_receiver.CurrentReadings()));
}

std::vector<SurveyRecord>
CSurveyData::ScanRecords(const std::vector<ChannelReading>& readings) const {
    std::vector<SurveyRecord> records(readings.size());
    for (size_t i = 0; i < readings.size(); ++i) {
        SurveyRecord& r = records[i];
        r.channel = readings[i].channel;
        r.frequencyMHz = readings[i].frequencyMHz;
        r.rssi = RssiX16ToDbm(readings[i].rssiX16);
        r.uncalibrated = !readings[i].calibrated;
        r.x = m_nX;
        r.y = m_nY;
        std::memcpy(r.name, m_szName, sizeof r.name);
    }
    return records;
}

size_t CSurveyData::AppendPoint(const std::vector<SurveyRecord>& records) {
    m_nStrongestRssi = kNoReadingRssi;
    size_t stored = 0;
    for (const SurveyRecord& source : records) {
        if (m_list.AppendCopy(source) != RL_OK) {
            // Out of memory: keep what was stored and let the counters say exactly that.
            break;
        }
        if (source.rssi > m_nStrongestRssi) {
            m_nStrongestRssi = source.rssi;
        }
        ++stored;
    }
    // An empty table still counts as a location; a scan that stored nothing for lack of memory
    // does not, since no point of it exists.
    if (records.empty() || stored > 0) {
        ++m_nLocations;
    }
    m_nReadings = static_cast<int32_t>(stored);
    return stored;
}

int32_t CSurveyData::PointCount() const {
    int32_t points = 0;
    const SurveyRecord* previous = nullptr;
    SurveyRecord* r = nullptr;
    for (int16_t rc = m_list.GetAt(r, 1); rc == RL_OK; rc = m_list.GetNext(r)) {
        if (previous == nullptr || r->x != previous->x || r->y != previous->y) {
            ++points;
        }
        previous = r;
    }
    return points;
}

int32_t CSurveyData::ReadingCount() const {
    int32_t readings = 0;
    SurveyRecord* r = nullptr;
    for (int16_t rc = m_list.GetAt(r, 1); rc == RL_OK; rc = m_list.GetNext(r)) {
        readings += r->channel != 0 ? 1 : 0;
    }
    return readings;
}

bool CSurveyData::DeleteRunAt(int32_t pos) {
    SurveyRecord* r = nullptr;
    if (m_list.GetAt(r, pos) != RL_OK) {
        return false;
    }
    m_nNearestPos = pos;
    m_dNearestX = r->x;
    m_dNearestY = r->y;
    DeleteNearest();
    return true;
}

bool CSurveyData::FindNearest(int32_t x, int32_t y) {
    SurveyRecord* r = nullptr;
    if (m_list.GetAt(r, 1) != RL_OK) {
        return false;
    }
    // Squares are taken in 64 bits: coordinates come from files, and a far-off point must lose
    // the comparison rather than overflow into a near one.
    int64_t best = kNearestSearchStart;
    int32_t bestPos = 0;
    SurveyRecord* bestRecord = nullptr;
    for (int32_t pos = 1; r != nullptr; ++pos) {
        const int64_t dx = int64_t{r->x} - x;
        const int64_t dy = int64_t{r->y} - y;
        const int64_t d = dx * dx + dy * dy;
        if (d < best) {
            best = d;
            bestPos = pos;
            bestRecord = r;
        }
        m_list.GetNext(r);
    }
    if (bestRecord == nullptr || best > kNearestMaxDistanceSq) {
        return false;
    }
    m_dNearestX = bestRecord->x;
    m_dNearestY = bestRecord->y;
    m_nNearestPos = bestPos;
    m_nNearestRssi = kNearestFloorRssi;
    m_nNearestChannel = 0;
    for (r = bestRecord; r != nullptr && r->x == bestRecord->x && r->y == bestRecord->y;
         m_list.GetNext(r)) {
        if (r->rssi > m_nNearestRssi) {
            m_nNearestChannel = static_cast<uint16_t>(r->channel);
            m_nNearestRssi = r->rssi;
        }
    }
    return true;
}

void CSurveyData::DeleteNearest() {
    SurveyRecord* r = nullptr;
    if (m_list.GetAt(r, m_nNearestPos) != RL_OK) {
        return;
    }
    // Removing a record moves the next one into its position, so the run is walked by cursor.
    while (r != nullptr && r->x == m_dNearestX && r->y == m_dNearestY) {
        SurveyRecord* next = r;
        m_list.GetNext(next);
        m_list.Remove(r);
        r = next;
    }
}
