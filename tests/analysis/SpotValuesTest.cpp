// Spot values: the merge rule at one position, strongest versus named channels, and power means.
#include <gtest/gtest.h>

#include <cmath>

#include "SurveyReading.h"
#include "analysis/SpotValues.h"

namespace {

TEST(SpotValues, ReadingsAtOneSpotAreAveragedInPowerNeverAdded) {
    // Two scans at one spot, each reading -60 on channel 1: still -60, not -57.
    const std::vector<SurveyRecord> records = {reading(5, 5, 1, -60), reading(5, 5, 2, -90),
                                               reading(5, 5, 1, -60), reading(5, 5, 2, -90)};
    const std::vector<SpotValue> spots = SpotValues(records, {});
    ASSERT_EQ(spots.size(), 1u);
    EXPECT_NEAR(spots[0].dbm, -60.0, 1e-9);
    EXPECT_EQ(spots[0].readings, 4u);

    // Different readings of one channel average in milliwatts.
    const std::vector<SpotValue> mixed =
        SpotValues({reading(1, 1, 7, -90), reading(1, 1, 7, -100)}, {});
    ASSERT_EQ(mixed.size(), 1u);
    EXPECT_NEAR(mixed[0].dbm, -92.596, 1e-3);
}

TEST(SpotValues, StrongestChannelOrWeakestOfTheNamedOnes) {
    const std::vector<SurveyRecord> records = {
        reading(0, 0, 1, -50),  reading(0, 0, 2, -70), reading(0, 0, 3, -80), // full spot
        reading(9, 0, 1, -40),                                                // channel 1 only
        reading(4, 4, 0, -100),                                               // no readings
    };
    const std::vector<SpotValue> all = SpotValues(records, {});
    ASSERT_EQ(all.size(), 2u) << "a point without readings has no value";
    EXPECT_EQ(all[0].x, 0);
    EXPECT_NEAR(all[0].dbm, -50.0, 1e-9);
    EXPECT_EQ(all[1].x, 9);
    EXPECT_NEAR(all[1].dbm, -40.0, 1e-9);

    const std::vector<SpotValue> named = SpotValues(records, {1, 2});
    ASSERT_EQ(named.size(), 1u) << "the spot without channel 2 is not covered";
    EXPECT_NEAR(named[0].dbm, -70.0, 1e-9);
    EXPECT_EQ(named[0].readings, 2u);

    int32_t missing = 0;
    EXPECT_TRUE(AllChannelsRead(records, {3, 1}, missing));
    EXPECT_FALSE(AllChannelsRead(records, {1, 8}, missing));
    EXPECT_EQ(missing, 8);
    EXPECT_FALSE(AllChannelsRead(records, {0}, missing)) << "channel 0 is never a reading";
}

TEST(SpotValues, EqualReadingsKeepTheirExactValueForTheBandEdges) {
    // A reading on a band edge must stay on it: a hair above -60 would paint it yellow.
    for (int dbm = -130; dbm <= 0; ++dbm) {
        const auto d = static_cast<int16_t>(dbm);
        const std::vector<SpotValue> once = SpotValues({reading(2, 3, 5, d)}, {});
        const std::vector<SpotValue> thrice =
            SpotValues({reading(2, 3, 5, d), reading(2, 3, 5, d), reading(2, 3, 5, d)}, {5});
        ASSERT_EQ(once.size(), 1u);
        ASSERT_EQ(thrice.size(), 1u);
        EXPECT_EQ(once[0].dbm, dbm);
        EXPECT_EQ(thrice[0].dbm, dbm);
    }
}

TEST(SpotValues, PowerMean) {
    const double pair[] = {-90.0, -100.0};
    EXPECT_NEAR(PowerMeanDbm(pair, 2), -92.596, 1e-3);
    const double one[] = {-73.0};
    EXPECT_NEAR(PowerMeanDbm(one, 1), -73.0, 1e-12);
    EXPECT_NEAR(MilliwattsToDbm(DbmToMilliwatts(-47.5)), -47.5, 1e-12);
}

} // namespace
