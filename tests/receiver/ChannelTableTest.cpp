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

// An entry's frequency and board code through the receiver's plans: cellular channels in either
// segment, an unknown plan index converting as cellular, and a channel outside both segments
// (frequency 0, whose wrapped step index keeps its low sixteen bits as the code), and a channel by
// frequency.
TEST(ChannelTable, EntryFrequencyAndBoardCode) {
    const struct {
        ChannelEntry entry;
        uint32_t hz;
        double mhz;
        uint16_t code;
    } cases[] = {
        {{0, 1, 0}, 870030000u, 870.03, 34},
        {{0, 990, 0}, 869010000u, 869.01, 0},
        {{7, 1, 0}, 870030000u, 870.03, 34},
        {{0, 800, 0}, 0u, 0.0, static_cast<uint16_t>((0u - 869010000u) / 30000u)},
        // By frequency above 32 bits of Hz: the Hz accessor has no room, the MHz one has it all.
        {{kFrequencyPlan, 0, 0, 5800125000ull, 12500}, 0u, 5800.125, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "plan " << int{c.entry.plan} << " channel " << c.entry.channel);
        CReceiver r;
        r.SetChannel(0, c.entry);
        EXPECT_EQ(r.FrequencyHz(0), c.hz);
        EXPECT_DOUBLE_EQ(r.FrequencyMHz(0), c.mhz);
        EXPECT_EQ(r.BoardCode(0), c.code);
    }
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

} // namespace
