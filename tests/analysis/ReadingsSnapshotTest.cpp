// The readings snapshot follows the record list through appends and deletes across its chunks,
// and a copy handed out earlier keeps exactly what it held.
#include <gtest/gtest.h>

#include <random>

#include "analysis/ReadingsSnapshot.h"
#include "survey/RecordList.h"

// Found by the comparisons of whole vectors, beside the type it compares.
static bool operator==(const SiteReading& a, const SiteReading& b) {
    return a.x == b.x && a.y == b.y && a.channel == b.channel && a.frequencyMHz == b.frequencyMHz &&
           a.rssiX16 == b.rssiX16;
}

namespace {

std::vector<SurveyRecord> point(int32_t x, int32_t y, int channels, int16_t base) {
    std::vector<SurveyRecord> records(static_cast<size_t>(channels));
    for (int c = 0; c < channels; ++c) {
        SurveyRecord& r = records[static_cast<size_t>(c)];
        r.x = x;
        r.y = y;
        r.channel = channels == 1 && base == 0 ? 0 : c + 1;
        r.frequencyMHz = 870.0 + c * 0.03;
        r.rssi = static_cast<int16_t>(base - c);
    }
    return records;
}

// Deletes the run at list position pos the way the survey store does; returns how many records
// went.
int32_t deleteRun(CRecordList& list, int32_t pos) {
    SurveyRecord* r = nullptr;
    if (list.GetAt(r, pos) != RL_OK) {
        return 0;
    }
    const int32_t x = r->x;
    const int32_t y = r->y;
    int32_t removed = 0;
    while (r != nullptr && r->x == x && r->y == y) {
        SurveyRecord* next = r;
        list.GetNext(next);
        list.Remove(r);
        r = next;
        ++removed;
    }
    return removed;
}

std::vector<SiteReading> of(const CRecordList& list) {
    CReadingsSnapshot whole;
    whole.Assign(list);
    return whole.Readings();
}

TEST(ReadingsSnapshot, FollowsTheListThroughStoresAndDeletesAcrossChunks) {
    std::mt19937 random(7);
    CRecordList list;
    CReadingsSnapshot snapshot;
    int32_t size = 0;
    for (int step = 0; step < 600; ++step) {
        if (size > 0 && random() % 5 == 0) {
            const int32_t pos = 1 + static_cast<int32_t>(random() % static_cast<uint32_t>(size));
            size -= deleteRun(list, pos);
            ASSERT_TRUE(snapshot.EraseRunAt(static_cast<size_t>(pos) - 1));
        } else {
            // Thirty channels a point, and now and then the same place again (one longer run)
            // or a place where nothing was received.
            const int32_t x = static_cast<int32_t>(random() % 40);
            const int16_t base = random() % 9 == 0 ? 0 : static_cast<int16_t>(-40);
            const std::vector<SurveyRecord> records = point(x, x * 2, base == 0 ? 1 : 30, base);
            for (const SurveyRecord& r : records) {
                ASSERT_EQ(list.AppendCopy(r), RL_OK);
            }
            snapshot.Append(records);
            size += static_cast<int32_t>(records.size());
        }
        ASSERT_EQ(snapshot.Size(), static_cast<size_t>(size));
        // The whole list now and then, and at the end: each comparison walks all of it.
        if (step % 8 == 0 || step == 599) {
            ASSERT_EQ(snapshot.Readings(), of(list)) << "step " << step;
        }
    }
    EXPECT_GT(size, static_cast<int32_t>(2 * CReadingsSnapshot::kChunkReadings))
        << "the survey grew over several chunks";
    EXPECT_FALSE(snapshot.EraseRunAt(static_cast<size_t>(size)));
}

TEST(ReadingsSnapshot, ACopyKeepsWhatItHeldWhateverTheSurveyDoesAfter) {
    CRecordList list;
    CReadingsSnapshot snapshot;
    for (int p = 0; p < 200; ++p) {
        const std::vector<SurveyRecord> records = point(p, p, 30, -50);
        for (const SurveyRecord& r : records) {
            list.AppendCopy(r);
        }
        snapshot.Append(records);
    }
    const CReadingsSnapshot handedOver = snapshot;
    const std::vector<SiteReading> held = handedOver.Readings();
    snapshot.Append(point(500, 500, 30, -60));
    ASSERT_TRUE(snapshot.EraseRunAt(30 * 136)); // a run at a chunk's end, going on into the next
    ASSERT_TRUE(snapshot.EraseRunAt(0));
    EXPECT_EQ(handedOver.Readings(), held);
    EXPECT_EQ(snapshot.Size(), held.size() + 30 - 60);
    snapshot.Clear();
    EXPECT_EQ(handedOver.Readings(), held);
    EXPECT_EQ(snapshot.Size(), 0u);
}

} // namespace
