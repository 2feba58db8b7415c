// Survey store: scans into records, nearest-point lookup and deletion.
#include <gtest/gtest.h>

#include <vector>

#include "receiver/Receiver.h"
#include "survey/RecordList.h"
#include "survey/SurveyData.h"

namespace {

// A list whose allocations start failing after a given number, as on a full handheld.
class CFailingRecordList : public CRecordList {
public:
    explicit CFailingRecordList(int allowed) : m_allowed(allowed) {}
    int16_t NewRecord(SurveyRecord*& record) override {
        if (m_allowed-- <= 0) {
            record = nullptr;
            return RL_NO_MEMORY;
        }
        return CRecordList::NewRecord(record);
    }

private:
    int m_allowed;
};

struct Reading {
    int32_t x, y, channel, rssi;
};

std::vector<Reading> contents(const CRecordList& list) {
    std::vector<Reading> out;
    SurveyRecord* r = nullptr;
    for (int16_t rc = list.GetAt(r, 1); rc == RL_OK; rc = list.GetNext(r)) {
        out.push_back({r->x, r->y, r->channel, r->rssi});
    }
    return out;
}

class SurveyDataTest : public ::testing::Test {
protected:
    void setTable(std::initializer_list<ChannelEntry> entries) {
        int n = 0;
        for (const ChannelEntry& e : entries) {
            receiver.SetChannel(n++, e);
        }
        receiver.SetChannelCount(static_cast<uint8_t>(n));
    }
    void scanAt(int32_t x, int32_t y) {
        store.SetLocation(x, y, "TEST");
        store.TakeScan();
    }

    CReceiver receiver;
    CRecordList list;
    CSurveyData store{list, receiver};
};

TEST_F(SurveyDataTest, ScanStoresOneRecordPerEntryInTableOrder) {
    receiver.SetPcsSpacing(CBandPlan::kPcsSpacing200k);
    setTable({{0, 1, -1216}, {1, 512, -1601}, {0, 990, -15}});
    scanAt(240, 320);
    EXPECT_EQ(store.m_nLocations, 1);
    EXPECT_EQ(store.m_nReadings, 3);
    SurveyRecord* r = nullptr;
    ASSERT_EQ(list.GetAt(r, 1), RL_OK);
    EXPECT_EQ(r->x, 240);
    EXPECT_EQ(r->y, 320);
    EXPECT_STREQ(r->name, "TEST");
    EXPECT_EQ(r->channel, 1);
    EXPECT_DOUBLE_EQ(r->frequencyMHz, 870.03);
    EXPECT_EQ(r->rssi, -76);
    list.GetNext(r);
    EXPECT_EQ(r->channel, 512);
    EXPECT_DOUBLE_EQ(r->frequencyMHz, 1930.2);
    EXPECT_EQ(r->rssi, -100);
    list.GetNext(r);
    EXPECT_EQ(r->rssi, 0);
    int16_t strongest = 0;
    store.GetStrongestRssi(strongest);
    EXPECT_EQ(strongest, 0);
}

TEST_F(SurveyDataTest, EmptyTableCountsALocationWithNoReadings) {
    scanAt(1, 1);
    EXPECT_EQ(store.m_nLocations, 1);
    EXPECT_EQ(store.m_nReadings, 0);
    EXPECT_EQ(store.m_nStrongestRssi, -125);
    EXPECT_TRUE(list.IsEmpty());
}

TEST_F(SurveyDataTest, ReadingsAtOrBelowFloorLeaveStrongestAtFloor) {
    setTable({{0, 1, -125 * 16}, {0, 2, -130 * 16}});
    scanAt(1, 1);
    EXPECT_EQ(store.m_nStrongestRssi, -125);
}

TEST_F(SurveyDataTest, LongNamesAreCutToFit) {
    setTable({{0, 1, 0}});
    store.SetLocation(0, 0, "0123456789012345678901234567890123456789");
    store.TakeScan();
    SurveyRecord* r = nullptr;
    ASSERT_EQ(list.GetAt(r, 1), RL_OK);
    EXPECT_EQ(std::string(r->name), "0123456789012345678901234567890");
}

TEST_F(SurveyDataTest, ClearEmptiesListAndCounters) {
    setTable({{0, 1, 0}});
    scanAt(1, 1);
    scanAt(2, 2);
    store.Clear();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(store.m_nLocations, 0);
    EXPECT_EQ(store.m_nReadings, 0);
}

TEST(SurveyDataMemory, ScanStopsCleanlyWhenAllocationFails) {
    CReceiver receiver;
    receiver.SetChannelCount(5);
    CFailingRecordList list(3);
    CSurveyData store(list, receiver);
    store.SetLocation(5, 5, "TEST");
    store.TakeScan();
    EXPECT_EQ(contents(list).size(), 3u);
    EXPECT_EQ(store.m_nReadings, 3);
    EXPECT_EQ(store.m_nLocations, 1);
    store.TakeScan(); // nothing left to allocate: no point exists, so none is counted
    EXPECT_EQ(contents(list).size(), 3u);
    EXPECT_EQ(store.m_nReadings, 0);
    EXPECT_EQ(store.m_nLocations, 1);
}

TEST_F(SurveyDataTest, FindNearestDistanceBoundary) {
    setTable({{0, 1, -800}});
    scanAt(100, 100);
    EXPECT_TRUE(store.FindNearest(140, 140));  // 3200 exactly
    EXPECT_FALSE(store.FindNearest(141, 139)); // 3202
    EXPECT_FALSE(store.FindNearest(100000, 100000));
    EXPECT_FALSE(store.FindNearest(-2000000000, 2000000000));
}

TEST_F(SurveyDataTest, FindNearestOnEmptyListLeavesStoreUnchanged) {
    store.m_nNearestPos = 77;
    EXPECT_FALSE(store.FindNearest(0, 0));
    EXPECT_EQ(store.m_nNearestPos, 77);
}

// What a press-and-hold reports of the point it finds: the strongest reading of its run, or the
// floor and no channel when every reading is weaker or there is none.
TEST(SurveyDataNearest, ReportsTheStrongestReadingOfThePointsRun) {
    const struct {
        const char* name;
        std::vector<ChannelEntry> table; // empty: one record without readings, as a file gives
        int32_t rssi;
        uint16_t channel;
    } cases[] = {
        {"the strongest of three", {{0, 5, -90 * 16}, {0, 7, -47 * 16}, {0, 9, -60 * 16}}, -47, 7},
        {"a weak point", {{0, 3, -121 * 16}}, -120, 0},
        {"a point without readings from a file", {}, -100, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CReceiver receiver;
        CRecordList list;
        CSurveyData store(list, receiver);
        for (size_t i = 0; i < c.table.size(); ++i) {
            receiver.SetChannel(static_cast<int>(i), c.table[i]);
        }
        receiver.SetChannelCount(static_cast<uint8_t>(c.table.size()));
        store.SetLocation(10, 10, "TEST");
        store.TakeScan();
        if (c.table.empty()) {
            SurveyRecord* r = nullptr;
            ASSERT_EQ(list.NewRecord(r), RL_OK);
            *r = SurveyRecord{};
            r->x = 120;
            r->y = 45;
            r->rssi = -100;
            list.Append(r);
        } else {
            store.SetLocation(120, 45, "TEST");
            store.TakeScan();
        }
        store.m_nNearestChannel = 99;
        ASSERT_TRUE(store.FindNearest(121, 44));
        EXPECT_DOUBLE_EQ(store.m_dNearestX, 120.0);
        EXPECT_DOUBLE_EQ(store.m_dNearestY, 45.0);
        EXPECT_EQ(store.m_nNearestPos, static_cast<int32_t>(c.table.size()) + 1);
        EXPECT_EQ(store.m_nNearestChannel, c.channel);
        EXPECT_EQ(store.m_nNearestRssi, c.rssi);
    }
}

TEST_F(SurveyDataTest, EqualDistancesKeepTheEarlierPoint) {
    setTable({{0, 1, 0}});
    scanAt(10, 0);
    scanAt(-10, 0);
    ASSERT_TRUE(store.FindNearest(0, 0));
    EXPECT_DOUBLE_EQ(store.m_dNearestX, 10.0);
    EXPECT_EQ(store.m_nNearestPos, 1);
}

TEST_F(SurveyDataTest, DeleteNearestRemovesExactlyTheRun) {
    setTable({{0, 1, -800}, {0, 2, -900}});
    scanAt(10, 10);
    scanAt(50, 50);
    scanAt(90, 90);
    ASSERT_TRUE(store.FindNearest(50, 50));
    store.DeleteNearest();
    const std::vector<Reading> left = contents(list);
    ASSERT_EQ(left.size(), 4u);
    EXPECT_EQ(left[0].x, 10);
    EXPECT_EQ(left[1].x, 10);
    EXPECT_EQ(left[2].x, 90);
    EXPECT_EQ(left[3].x, 90);
    EXPECT_EQ(store.m_nLocations, 3);
    EXPECT_EQ(store.m_nReadings, 2);
}

TEST_F(SurveyDataTest, RepeatedScansAtOnePointFormOneRun) {
    setTable({{0, 1, -70 * 16}});
    scanAt(30, 30);
    setTable({{0, 2, -50 * 16}});
    scanAt(30, 30);
    ASSERT_TRUE(store.FindNearest(30, 30));
    EXPECT_EQ(store.m_nNearestChannel, 2);
    EXPECT_EQ(store.m_nNearestRssi, -50);
    store.DeleteNearest();
    EXPECT_TRUE(list.IsEmpty());
}

TEST_F(SurveyDataTest, RevisitedPointElsewhereInTheListIsAnotherRun) {
    setTable({{0, 1, -70 * 16}});
    scanAt(30, 30);
    scanAt(200, 200);
    scanAt(30, 30);
    ASSERT_TRUE(store.FindNearest(30, 30));
    store.DeleteNearest();
    const std::vector<Reading> left = contents(list);
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].x, 200);
    EXPECT_EQ(left[1].x, 30);
}

TEST_F(SurveyDataTest, EveryPointOfALongSurveyIsReachable) {
    // 1,100 points of 30 channels: 33,000 records, past any 16-bit position.
    receiver.SetChannelCount(30);
    for (int i = 0; i < 30; ++i) {
        receiver.SetChannel(
            i, {0, static_cast<uint16_t>(i + 1), static_cast<int16_t>(-1600 + 16 * i)});
    }
    for (int p = 0; p < 1100; ++p) {
        scanAt((p % 40) * 100, (p / 40) * 100);
    }
    ASSERT_TRUE(store.FindNearest(19 * 100, 27 * 100)); // the last point
    EXPECT_EQ(store.m_nNearestPos, 1099 * 30 + 1);
    EXPECT_EQ(store.m_nNearestChannel, 30);
    store.DeleteNearest();
    EXPECT_EQ(contents(list).size(), 1099u * 30u);
    EXPECT_FALSE(store.FindNearest(19 * 100, 27 * 100));
    ASSERT_TRUE(store.FindNearest(18 * 100, 27 * 100));
    EXPECT_EQ(store.m_nNearestPos, 1098 * 30 + 1);
}

} // namespace
