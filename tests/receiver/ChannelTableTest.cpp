// The in-memory channel table and the derived values every caller converts through.
#include <gtest/gtest.h>

#include "receiver/Receiver.h"

namespace {

TEST(ChannelTable, FreshTableIsEmptyAndNotLoaded) {
    const CReceiver r;
    EXPECT_EQ(r.ChannelCount(), 0);
    EXPECT_FALSE(r.TableLoaded());
    for (const ChannelEntry& e : r.GetChannelTable().entries) {
        EXPECT_EQ(e.plan, 0);
        EXPECT_EQ(e.channel, 0);
        EXPECT_EQ(e.rssiX16, 0);
    }
}

TEST(ChannelTable, RssiTruncatesTowardZero) {
    EXPECT_EQ(RssiX16ToDbm(-1216), -76);
    EXPECT_EQ(RssiX16ToDbm(-1264), -79);
    EXPECT_EQ(RssiX16ToDbm(-1601), -100);
    EXPECT_EQ(RssiX16ToDbm(-1208), -75);
    EXPECT_EQ(RssiX16ToDbm(-15), 0);
    EXPECT_EQ(RssiX16ToDbm(31), 1);
    EXPECT_EQ(RssiX16ToDbm(-32768), -2048);
}

TEST(ChannelTable, CellularEntryFrequencyAndBoardCode) {
    CReceiver r;
    r.SetChannel(0, {0, 1, 0});
    r.SetChannel(1, {0, 990, 0});
    EXPECT_DOUBLE_EQ(r.FrequencyMHz(0), 870.03);
    EXPECT_EQ(r.BoardCode(0), 34);
    EXPECT_DOUBLE_EQ(r.FrequencyMHz(1), 869.01);
    EXPECT_EQ(r.BoardCode(1), 0);
}

TEST(ChannelTable, PcsEntryFollowsTheSpacing) {
    CReceiver r;
    r.SetChannel(0, {1, 512, 0});
    EXPECT_EQ(r.FrequencyHz(0), 1930200000u); // no spacing yet
    r.SetPcsSpacing(CBandPlan::kPcsSpacing200k);
    EXPECT_EQ(r.FrequencyHz(0), 1930200000u);
    EXPECT_EQ(r.BoardCode(0), 20);
    r.SetPcsSpacing(CBandPlan::kPcsSpacing30k);
    EXPECT_EQ(r.FrequencyHz(0), (512u + 64334u) * 30000u);
}

TEST(ChannelTable, UnknownPlanIndexConvertsAsCellular) {
    CReceiver r;
    r.SetChannel(0, {7, 1, 0});
    EXPECT_EQ(r.FrequencyHz(0), 870030000u);
    EXPECT_EQ(r.BoardCode(0), 34);
}

TEST(ChannelTable, BoardCodeKeepsLowSixteenBits) {
    CReceiver r;
    // Channel 800 is outside both cellular segments: frequency 0 wraps to a large index.
    r.SetChannel(0, {0, 800, 0});
    EXPECT_EQ(r.FrequencyHz(0), 0u);
    EXPECT_EQ(r.BoardCode(0), static_cast<uint16_t>((0u - 869010000u) / 30000u));
}

} // namespace
