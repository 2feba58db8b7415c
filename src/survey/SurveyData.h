// The survey store: the current measurement location, the status-bar counters, the last scan's
// strongest reading, the last nearest-point lookup and the open site file's header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "survey/SurveyRecord.h"

class CRecordList;
class CReceiver;
struct ChannelReading;

class CSurveyData {
public:
    static constexpr int kSiteHeaderSize = 150;
    static constexpr int kNameSize = 32;
    static constexpr int16_t kNoReadingRssi = -125;
    static constexpr int32_t kNearestFloorRssi = -120;
    // A press-and-hold finds a point within sqrt(3200), about 56.6 map pixels.
    static constexpr int32_t kNearestSearchStart = 5000;
    static constexpr int32_t kNearestMaxDistanceSq = 3200;

    // Works on the given list and the channel table of the given receiver.
    CSurveyData(CRecordList& list, const CReceiver& receiver);
    virtual ~CSurveyData() = default;

    CSurveyData(const CSurveyData&) = delete;
    CSurveyData& operator=(const CSurveyData&) = delete;

    void Clear();
    void SetLocation(int32_t x, int32_t y, const char* name);
    // Stores the receiver's table as one record per channel at the current location.
    void TakeScan();
    // The records of a scan's readings at the current location, without storing them.
    std::vector<SurveyRecord> ScanRecords(const std::vector<ChannelReading>& readings) const;
    // Stores one point's records (a scan, or a point recovered from the journal) and counts it
    // as TakeScan does; returns how many records were stored (fewer only when memory ran out).
    size_t AppendPoint(const std::vector<SurveyRecord>& records);
    // Deletes the run of records at one point that starts at list position pos; false when
    // there is no record there.
    bool DeleteRunAt(int32_t pos);
    void GetStrongestRssi(int16_t& out) const { out = m_nStrongestRssi; }
    bool FindNearest(int32_t x, int32_t y);
    void DeleteNearest();

    CRecordList& List() const { return m_list; }
    // The survey as it stands, as the status bar counts it: its points (runs of records at one
    // place, as a delete removes them) and its readings (records of a channel).
    int32_t PointCount() const;
    int32_t ReadingCount() const;

    int32_t m_nLocations = 0;
    int32_t m_nReadings = 0;
    double m_dNearestX = 0.0;
    double m_dNearestY = 0.0;
    int32_t m_nNearestRssi = 0;
    int32_t m_nNearestPos = 0;
    uint16_t m_nNearestChannel = 0;
    uint8_t m_siteHeader[kSiteHeaderSize] = {};
    int16_t m_nStrongestRssi = kNoReadingRssi;
    int32_t m_nX = 0;
    int32_t m_nY = 0;
    char m_szName[kNameSize] = {};

private:
    CRecordList& m_list;
    const CReceiver& m_receiver;
};
