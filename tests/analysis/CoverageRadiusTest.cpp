// The default radius from the median nearest-neighbour distance, and the index's nearest search
// against a search over every spot.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "analysis/CoverageRadius.h"
#include "analysis/SpatialIndex.h"

namespace {

std::vector<SpotValue> spotsAt(const std::vector<std::pair<int, int>>& places) {
    std::vector<SpotValue> spots;
    for (const auto& [x, y] : places) {
        SpotValue s;
        s.x = x;
        s.y = y;
        s.dbm = -70.0;
        spots.push_back(s);
    }
    return spots;
}

TEST(CoverageRadius, OneAndAHalfTimesTheMedianNeighbourDistance) {
    double radius = 0.0;
    double median = 0.0;
    // Neighbour distances 10, 10, 20: the median is 10.
    ASSERT_TRUE(DefaultCoverageRadius(spotsAt({{0, 0}, {10, 0}, {30, 0}}), radius, median));
    EXPECT_DOUBLE_EQ(median, 10.0);
    EXPECT_DOUBLE_EQ(radius, 15.0);
    // 10, 10, 20, 30: the mean of the middle two.
    ASSERT_TRUE(
        DefaultCoverageRadius(spotsAt({{0, 0}, {10, 0}, {30, 0}, {60, 0}}), radius, median));
    EXPECT_DOUBLE_EQ(median, 15.0);
    EXPECT_DOUBLE_EQ(radius, 22.5);
    // A lone far spot does not stretch the radius of a dense survey.
    ASSERT_TRUE(
        DefaultCoverageRadius(spotsAt({{0, 0}, {3, 4}, {6, 8}, {5000, 5000}}), radius, median));
    EXPECT_DOUBLE_EQ(median, 5.0);

    EXPECT_FALSE(DefaultCoverageRadius(spotsAt({{4, 4}}), radius, median));
    EXPECT_FALSE(DefaultCoverageRadius({}, radius, median));
}

TEST(SpatialIndex, NearestOtherMatchesASearchOverEverySpot) {
    std::mt19937 random(7);
    // Scattered, clustered and on a regular grid (where every spot has tied neighbours).
    std::vector<std::vector<SpotValue>> layouts;
    std::uniform_int_distribution<int> wide(-4000, 4000);
    std::vector<std::pair<int, int>> scattered;
    std::vector<std::pair<int, int>> clustered;
    std::vector<std::pair<int, int>> grid;
    for (int i = 0; i < 400; ++i) {
        scattered.emplace_back(wide(random), wide(random));
        const int base = i % 2 == 0 ? 0 : 100000;
        clustered.emplace_back(base + wide(random) / 100, base + wide(random) / 100);
        grid.emplace_back(25 * (i % 20), 25 * (i / 20));
    }
    layouts.push_back(spotsAt(scattered));
    layouts.push_back(spotsAt(clustered));
    layouts.push_back(spotsAt(grid));
    for (const std::vector<SpotValue>& spots : layouts) {
        for (const double cell : {1.0, 37.0, 5000.0}) {
            const CSpatialIndex index(spots, cell);
            for (size_t i = 0; i < spots.size(); ++i) {
                size_t expected = spots.size();
                double best = INFINITY;
                for (size_t j = 0; j < spots.size(); ++j) {
                    const double d = std::hypot(spots[j].x - spots[i].x, spots[j].y - spots[i].y);
                    if (j != i && d < best) {
                        best = d;
                        expected = j;
                    }
                }
                size_t nearest = 0;
                double distance = 0.0;
                ASSERT_TRUE(index.NearestOther(i, nearest, distance));
                ASSERT_EQ(nearest, expected) << "spot " << i << ", cell " << cell;
                ASSERT_DOUBLE_EQ(distance, best);
            }
        }
    }
    const std::vector<SpotValue> one = spotsAt({{1, 1}});
    size_t nearest = 0;
    double distance = 0.0;
    EXPECT_FALSE(CSpatialIndex(one, 10.0).NearestOther(0, nearest, distance));
}

} // namespace
