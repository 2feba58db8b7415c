// Capture planning: every channel lands in exactly one capture, inside the flat band and clear of
// DC, with few tunes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "CapturePlan.h"
#include "SynthDevice.h"

namespace {

std::vector<SdrChannel> evenlySpread(double firstMHz, double stepMHz, int count) {
    std::vector<SdrChannel> channels;
    for (int k = 0; k < count; ++k) {
        channels.push_back(Channel(firstMHz + k * stepMHz));
    }
    return channels;
}

TEST(CapturePlan, EveryChannelOnceInsideTheFlatBandAndClearOfDc) {
    const CaptureLimits limits;
    const struct {
        const char* name;
        std::vector<SdrChannel> channels;
        size_t tunes;
    } cases[] = {
        {"one channel", {Channel(851.0125)}, 1},
        // Adjacent 12.5 kHz channels across what would be the centre: one capture, none on DC.
        {"a block of twelve", evenlySpread(851.0125, 0.0125, 12), 1},
        // 30 channels over 851-869 MHz, 612.5 kHz apart: three a capture.
        {"public safety 800", evenlySpread(851.0125, 0.6125, 30), 10},
        {"unsorted, with a twin",
         {Channel(869.0), Channel(851.0), Channel(851.0), Channel(860.0, 25), Channel(851.9)},
         3},
        {"VHF and UHF", {Channel(154.445, 25), Channel(460.5), Channel(155.1)}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<CaptureGroup> groups;
        std::string error;
        ASSERT_TRUE(PlanCaptures(c.channels, limits, groups, error)) << error;
        EXPECT_EQ(groups.size(), c.tunes);
        std::multiset<size_t> placed;
        for (size_t g = 0; g < groups.size(); ++g) {
            if (g > 0) {
                EXPECT_LT(groups[g - 1].centreHz, groups[g].centreHz);
            }
            for (const size_t i : groups[g].channels) {
                placed.insert(i);
                const SdrChannel& ch = c.channels[i];
                const double low = ch.frequencyHz - ch.bandwidthHz / 2 - groups[g].centreHz;
                const double high = ch.frequencyHz + ch.bandwidthHz / 2 - groups[g].centreHz;
                EXPECT_GE(std::min(std::fabs(low), std::fabs(high)), limits.dcGuardHz) << i;
                EXPECT_TRUE(low >= 0 || high <= 0) << "straddles DC: " << i;
                EXPECT_LE(std::max(std::fabs(low), std::fabs(high)),
                          limits.usableFraction * limits.sampleRateHz / 2)
                    << i;
            }
        }
        ASSERT_EQ(placed.size(), c.channels.size());
        for (size_t i = 0; i < c.channels.size(); ++i) {
            EXPECT_EQ(placed.count(i), 1u) << i;
        }
    }
}

TEST(CapturePlan, AChannelWiderThanOneSideOfACaptureIsRefused) {
    std::vector<CaptureGroup> groups;
    std::string error;
    // 900 kHz of usable band either side, less the DC guard: 890 kHz fits, 891 does not.
    EXPECT_TRUE(PlanCaptures({Channel(851, 890)}, CaptureLimits(), groups, error)) << error;
    EXPECT_FALSE(PlanCaptures({Channel(851), Channel(860, 891)}, CaptureLimits(), groups, error));
    EXPECT_NE(error.find("at most 890.000 kHz"), std::string::npos) << error;
    EXPECT_FALSE(PlanCaptures({Channel(851, 0)}, CaptureLimits(), groups, error));
}

} // namespace
