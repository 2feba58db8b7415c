// Spot values: exact sixteenths, the merge rule at one position, dead spots, channels told apart
// by frequency, strongest versus weakest, and power means.
#include <gtest/gtest.h>

#include <cmath>

#include "SurveyReading.h"
#include "analysis/SpotTable.h"

namespace {

std::vector<SpotValue> strongest(const std::vector<SiteReading>& readings) {
    return CSpotTable(readings).Values({}, SpotCombine::Strongest);
}

TEST(SpotValues, ReadingsKeepTheirSixteenthsAndMergeInPowerNeverAdded) {
    // -1535 / 16 = -95.9375: whole dBm would make it -95 and pass a -95 dBm test.
    SiteReading exact = reading(5, 5, 1, 0.0);
    exact.rssiX16 = -1535;
    const std::vector<SpotValue> one = strongest({exact});
    ASSERT_EQ(one.size(), 1u);
    EXPECT_DOUBLE_EQ(one[0].dbm, -95.9375);
    EXPECT_LT(one[0].dbm, -95.0);

    // Two scans at one spot, each reading -60 on channel 1: still -60, not -57.
    const std::vector<SpotValue> twice = strongest({reading(5, 5, 1, -60), reading(5, 5, 2, -90),
                                                    reading(5, 5, 1, -60), reading(5, 5, 2, -90)});
    ASSERT_EQ(twice.size(), 1u);
    EXPECT_EQ(twice[0].dbm, -60.0);
    EXPECT_EQ(twice[0].readings, 4u);
    const std::vector<SpotValue> mixed = strongest({reading(1, 1, 7, -90), reading(1, 1, 7, -100)});
    EXPECT_NEAR(mixed[0].dbm, -92.596, 1e-3);

    // A reading on a band edge stays on it, however often it was taken.
    for (int16_t x16 = -2080; x16 <= 0; x16 = static_cast<int16_t>(x16 + 13)) {
        SiteReading r = reading(2, 3, 5, 0.0);
        r.rssiX16 = x16;
        const CSpotTable table({r, r, r});
        EXPECT_EQ(table.Values({0}, SpotCombine::Weakest)[0].dbm, x16 / 16.0) << x16;
    }
}

TEST(SpotValues, ADeadSpotIsNoSignalAndPullsItsPlaceDown) {
    const std::vector<SiteReading> readings = {
        deadSpot(0, 0),                               // nothing received
        reading(9, 0, 1, -60), deadSpot(9, 0),        // a live scan and a dead one
        reading(4, 4, 1, -70), reading(4, 4, 2, -50), // two channels
    };
    const CSpotTable table(readings);
    EXPECT_EQ(table.NoSignalSpots(), 2u);
    const std::vector<SpotValue> best = table.Values({}, SpotCombine::Strongest);
    ASSERT_EQ(best.size(), 3u) << "a dead spot is a spot";
    EXPECT_TRUE(IsNoSignal(best[0].dbm));
    EXPECT_LT(best[0].dbm, -200.0) << "below every threshold";
    EXPECT_NEAR(best[1].dbm, -63.01, 0.01) << "-60 averaged in power with no power at all";
    EXPECT_EQ(best[2].dbm, -50.0);

    // Channel 2 was never read at (9, 0) but a dead scan was: no signal there on every channel.
    size_t two = 0;
    ASSERT_TRUE(table.FindChannel(ChannelIdOf(reading(0, 0, 2, 0)), two));
    const std::vector<SpotValue> channel2 = table.Values({two}, SpotCombine::Strongest);
    ASSERT_EQ(channel2.size(), 3u);
    EXPECT_TRUE(IsNoSignal(channel2[0].dbm));
    EXPECT_TRUE(IsNoSignal(channel2[1].dbm));
    EXPECT_EQ(channel2[2].dbm, -50.0);
    EXPECT_TRUE(IsNoSignal(PowerMeanDbm(&channel2[0].dbm, 1)));
}

TEST(SpotValues, ChannelsAreTheirNumberAndFrequencyTogether) {
    // Channel 25 of the cellular band and PCS channel 25 are different carriers.
    const std::vector<SiteReading> readings = {
        reading(0, 0, 25, -70, 869.76), reading(0, 0, 25, -100, 1930.75),
        reading(8, 0, 25, -80, 869.76), // the cellular one only
    };
    const CSpotTable table(readings);
    ASSERT_EQ(table.Channels().size(), 2u);
    EXPECT_EQ(table.Channels()[0].band, RadioBand::Cellular800);
    EXPECT_EQ(table.Channels()[1].band, RadioBand::Pcs1900);
    EXPECT_EQ(ChannelText(table.Channels()[1]), "25 (1930.750 MHz, 1900 MHz PCS)");
    const std::vector<SpotValue> pcs = table.Values({1}, SpotCombine::Strongest);
    ASSERT_EQ(pcs.size(), 1u) << "the second spot never read the PCS channel";
    EXPECT_EQ(pcs[0].dbm, -100.0);

    // The weakest of both only where both were read; the strongest wherever either was.
    const std::vector<SpotValue> weakest = table.Values({0, 1}, SpotCombine::Weakest);
    ASSERT_EQ(weakest.size(), 1u);
    EXPECT_EQ(weakest[0].dbm, -100.0);
    EXPECT_EQ(table.Values({0, 1}, SpotCombine::Strongest).size(), 2u);
}

TEST(SpotValues, PowerMean) {
    const double pair[] = {-90.0, -100.0};
    EXPECT_NEAR(PowerMeanDbm(pair, 2), -92.596, 1e-3);
    const double equal[] = {-95.0, -95.0, -95.0};
    EXPECT_EQ(PowerMeanDbm(equal, 3), -95.0) << "exactly, not a hair beside";
    const double withDead[] = {-60.0, kNoSignalDbm};
    EXPECT_NEAR(PowerMeanDbm(withDead, 2), -63.01, 0.01);
    EXPECT_NEAR(MilliwattsToDbm(DbmToMilliwatts(-47.5)), -47.5, 1e-12);
}

} // namespace
