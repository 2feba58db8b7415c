// Survey store operations over the record list and the receiver's channel table.
#include "survey/SurveyData.h"

#include <cstring>

#include "receiver/Receiver.h"
#include "survey/RecordList.h"

namespace {
std::unique_ptr<CSurveyData>& currentStore() {
    static std::unique_ptr<CSurveyData> store;
    return store;
}

void copyName(char (&dest)[CSurveyData::kNameSize], const char* src) {
    std::strncpy(dest, src != nullptr ? src : "", CSurveyData::kNameSize - 1);
    dest[CSurveyData::kNameSize - 1] = '\0';
}
} // namespace

CSurveyData::CSurveyData() : CSurveyData(TheRecordList(), TheReceiver()) {}

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
    m_nStrongestRssi = kNoReadingRssi;
    const int count = m_receiver.m_channelCount;
    int stored = 0;
    for (int i = 0; i < count; ++i) {
        SurveyRecord* r = nullptr;
        if (m_list.NewRecord(r) != RL_OK) {
            // Out of memory: keep what was stored and let the counters say exactly that.
            break;
        }
        const ChannelEntry& e = m_receiver.m_channels[i];
        r->channel = e.channel;
        r->frequencyMHz = EntryFrequencyMHz(m_receiver.m_plans, e);
        r->rssi = RssiX16ToDbm(e.rssiX16);
        r->x = m_nX;
        r->y = m_nY;
        std::memcpy(r->name, m_szName, sizeof r->name);
        m_list.Append(r);
        if (r->rssi > m_nStrongestRssi) {
            m_nStrongestRssi = r->rssi;
        }
        ++stored;
    }
    // An empty table still counts as a location; a scan that stored nothing for lack of memory
    // does not, since no point of it exists.
    if (count == 0 || stored > 0) {
        ++m_nLocations;
    }
    m_nReadings = stored;
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

CSurveyData* CurrentSurvey() {
    return currentStore().get();
}

void SetCurrentSurvey(std::unique_ptr<CSurveyData> store) {
    currentStore() = std::move(store);
}
