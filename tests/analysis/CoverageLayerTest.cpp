// The live coverage layer: after any change of the survey its bands are those a computation from
// scratch gives, and only the pixels a change can reach are computed again while the radius
// holds. That the layer is the desktop's map is tested against lks itself (tests/e2e).
#include <gtest/gtest.h>

#include <random>

#include "SurveyReading.h"
#include "analysis/CoverageLayer.h"

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 180;

// Points on a 30-pixel walk over the plan, each reading channels 1 and 2, the second 6 dB under.
std::vector<SiteReading> walk() {
    std::vector<SiteReading> readings;
    for (int y = 15; y < kHeight; y += 30) {
        for (int x = 15; x < kWidth; x += 30) {
            const double dbm = -50.0 - (x + 2 * y) % 47;
            readings.push_back(reading(x, y, 1, dbm));
            readings.push_back(reading(x, y, 2, dbm - 6.0));
        }
    }
    return readings;
}

// A point half way between each of the walk's and the next one along its row.
std::vector<SiteReading> halfway() {
    std::vector<SiteReading> readings;
    for (int y = 15; y < kHeight; y += 30) {
        for (int x = 30; x < kWidth; x += 30) {
            readings.push_back(reading(x, y, 1, -66.0));
        }
    }
    return readings;
}

std::vector<uint8_t> freshBands(const std::vector<SiteReading>& readings,
                                const LayerChoice& choice = LayerChoice(),
                                const CBandSet& bands = CBandSet::Handheld()) {
    CCoverageLayer layer;
    LayerChange change;
    EXPECT_TRUE(layer.Update(readings, kWidth, kHeight, choice, bands, change));
    EXPECT_TRUE(change.whole);
    return layer.Bands();
}

bool inside(const std::vector<FieldRect>& rects, int x, int y) {
    for (const FieldRect& r : rects) {
        if (x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height) {
            return true;
        }
    }
    return false;
}

LayerChoice channelChoice(int32_t channel) {
    LayerChoice choice;
    choice.bestServer = false;
    choice.channel = ChannelIdOf(reading(0, 0, channel, 0.0));
    return choice;
}

struct ChangeCase {
    const char* name;
    std::vector<SiteReading> added;
    // Readings removed: the run of the point at (x, y) as the survey deletes it, when set.
    bool remove;
    int32_t removeX;
    int32_t removeY;
    LayerChoice choice;
    bool wholeExpected;
    size_t spotsChanged; // whose reach is computed again, when not the whole plan
};

TEST(CoverageLayer, AnUpdateAfterAChangeEqualsAComputationFromScratch) {
    const std::vector<ChangeCase> cases = {
        // A point between four others: the spacing's median holds, so only its reach is
        // computed again.
        {"new place",
         {reading(30, 30, 1, -41.0), reading(30, 30, 2, -77.0)},
         false,
         0,
         0,
         {},
         false,
         1},
        {"a place taken again",
         {reading(45, 45, 1, -95.0), reading(45, 45, 2, -99.0)},
         false,
         0,
         0,
         {},
         false,
         1},
        {"nothing received", {deadSpot(105, 75)}, false, 0, 0, {}, false, 1},
        {"deleted", {}, true, 135, 105, {}, false, 1},
        // The layer shows channel 2, which the new point did not read: nothing to compute.
        {"without the channel shown",
         {reading(30, 30, 1, -41.0)},
         false,
         0,
         0,
         channelChoice(2),
         false,
         0},
        // Points between the walk's halve its spacing, and the radius with it.
        {"radius moves", halfway(), false, 0, 0, {}, true, 0},
    };
    for (const ChangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<SiteReading> before = walk();
        std::vector<SiteReading> after = before;
        after.insert(after.end(), c.added.begin(), c.added.end());
        if (c.remove) {
            after.erase(std::remove_if(after.begin(), after.end(),
                                       [&](const SiteReading& r) {
                                           return r.x == c.removeX && r.y == c.removeY;
                                       }),
                        after.end());
        }
        CCoverageLayer layer;
        LayerChange change;
        ASSERT_TRUE(layer.Update(before, kWidth, kHeight, c.choice, CBandSet::Handheld(), change));
        const std::vector<uint8_t> old = layer.Bands();
        ASSERT_TRUE(layer.Update(after, kWidth, kHeight, c.choice, CBandSet::Handheld(), change));
        EXPECT_EQ(layer.Bands(), freshBands(after, c.choice));
        EXPECT_EQ(change.whole, c.wholeExpected);
        if (change.whole) {
            continue;
        }
        // What changed lies inside the rectangles, which hold no more than each changed spot's
        // reach.
        EXPECT_EQ(change.rects.empty(), c.spotsChanged == 0);
        int outside = 0;
        size_t area = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const size_t i = static_cast<size_t>(y) * kWidth + x;
                outside += layer.Bands()[i] != old[i] && !inside(change.rects, x, y) ? 1 : 0;
            }
        }
        for (const FieldRect& r : change.rects) {
            area += static_cast<size_t>(r.width) * r.height;
        }
        const size_t reach = static_cast<size_t>(2 * layer.Radius() + 3);
        EXPECT_EQ(outside, 0);
        EXPECT_LE(area, c.spotsChanged * reach * reach);
    }
}

TEST(CoverageLayer, AnyRunOfStoresAndDeletesEndsAsAComputationFromScratch) {
    std::mt19937 random(20);
    std::vector<SiteReading> survey = walk();
    CCoverageLayer layer;
    LayerChange change;
    ASSERT_TRUE(layer.Update(survey, kWidth, kHeight, {}, CBandSet::Threshold(), change));
    int patched = 0;
    for (int step = 0; step < 24; ++step) {
        if (random() % 4 == 0 && !survey.empty()) {
            // The first point's run goes: a place taken twice moves behind the others.
            const SiteReading first = survey[random() % survey.size()];
            const auto run = std::find_if(survey.begin(), survey.end(), [&](const SiteReading& r) {
                return r.x == first.x && r.y == first.y;
            });
            survey.erase(run, std::find_if(run, survey.end(), [&](const SiteReading& r) {
                             return r.x != first.x || r.y != first.y;
                         }));
        } else {
            // On the walk's lines, so that the spacing, and the radius, mostly hold.
            const int32_t x = 15 + 15 * static_cast<int32_t>(random() % 16);
            const int32_t y = 15 + 30 * static_cast<int32_t>(random() % 6);
            survey.push_back(reading(x, y, 1, -40.0 - static_cast<double>(random() % 70)));
        }
        ASSERT_TRUE(layer.Update(survey, kWidth, kHeight, {}, CBandSet::Threshold(), change));
        ASSERT_EQ(layer.Bands(), freshBands(survey, {}, CBandSet::Threshold())) << step;
        patched += change.whole ? 0 : 1;
    }
    EXPECT_GT(patched, 8) << "most steps patched the layer rather than computing all of it";
}

TEST(CoverageLayer, ANewPlanChoiceOrBandSetComputesTheWholePlanAndALonePointHasARadius) {
    const std::vector<SiteReading> survey = walk();
    CCoverageLayer layer;
    LayerChange change;
    ASSERT_TRUE(layer.Update(survey, kWidth, kHeight, {}, CBandSet::Handheld(), change));
    ASSERT_TRUE(layer.Update(survey, kWidth, kHeight, {}, CBandSet::Handheld(), change));
    EXPECT_FALSE(change.whole);
    EXPECT_TRUE(change.rects.empty()) << "nothing changed, nothing computed";
    ASSERT_TRUE(layer.Update(survey, kWidth, kHeight, {}, CBandSet::Threshold(), change));
    EXPECT_TRUE(change.whole);
    ASSERT_TRUE(
        layer.Update(survey, kWidth, kHeight, channelChoice(1), CBandSet::Threshold(), change));
    EXPECT_TRUE(change.whole);
    ASSERT_TRUE(
        layer.Update(survey, kWidth, kHeight + 1, channelChoice(1), CBandSet::Threshold(), change));
    EXPECT_TRUE(change.whole);
    EXPECT_EQ(layer.Bands().size(), static_cast<size_t>(kWidth) * (kHeight + 1));
    EXPECT_FALSE(layer.Update(survey, 0, kHeight, {}, CBandSet::Handheld(), change));
    EXPECT_TRUE(layer.Bands().empty());
    // A lone point has no spacing to go by: a tenth of the plan's shorter side.
    ASSERT_TRUE(layer.Update({reading(100, 90, 1, -60.0)}, kWidth, kHeight, {},
                             CBandSet::Handheld(), change));
    EXPECT_DOUBLE_EQ(layer.Radius(), 18.0);
}

} // namespace
