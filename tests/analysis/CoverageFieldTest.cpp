// Coverage fields: never beyond the measured values, and the same as a search over every spot
// (exact at a spot, cut off at the radius, ties to the first) whatever the tiling and threads.
// What they look like in a picture is tested through lks heatmap.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <thread>

#include "SurveyReading.h"
#include "analysis/CoverageField.h"

namespace {

FieldOptions options(FieldMethod method, double radius, double power = 2.0) {
    FieldOptions o;
    o.method = method;
    o.radius = radius;
    o.power = power;
    return o;
}

struct Plan {
    int width;
    int height;
    CoverageValues values;
    float At(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
};

Plan field(const std::vector<SpotValue>& spots, int width, int height, const FieldOptions& o) {
    Plan plan{width, height, {}};
    EXPECT_TRUE(ComputeCoverageField(spots, width, height, o, plan.values));
    return plan;
}

// Every pixel by looking at every spot: the reference the tiled, indexed field must match. A dead
// spot takes the pixels nearest to it and never joins the weighting.
float bruteForce(const std::vector<SpotValue>& spots, int px, int py, const FieldOptions& o) {
    const double r = o.radius;
    double best = r * r;
    double bestDbm = NAN;
    double sumW = 0.0;
    double sumWV = 0.0;
    for (const SpotValue& s : spots) {
        const double d2 = double(px - s.x) * (px - s.x) + double(py - s.y) * (py - s.y);
        if (d2 >= r * r) {
            continue;
        }
        if (d2 < best || std::isnan(bestDbm)) {
            best = d2;
            bestDbm = s.dbm;
        }
        if (d2 > 0 && !IsNoSignal(s.dbm)) {
            const double d = std::sqrt(d2);
            const double w = std::pow((r - d) / (r * d), o.power);
            sumW += w;
            sumWV += w * s.dbm;
        }
    }
    if (std::isnan(bestDbm) || o.method == FieldMethod::Nearest || best == 0.0 ||
        IsNoSignal(bestDbm) || sumW == 0.0) {
        return static_cast<float>(bestDbm);
    }
    return static_cast<float>(sumWV / sumW);
}

const FieldMethod kMethods[] = {FieldMethod::Idw, FieldMethod::Nearest};

TEST(CoverageField, NeverInventsValuesBeyondTheMeasuredOnes) {
    // A cluster of spots: the field near and around them stays within their range (no
    // overshoot, no glow that adds up where spots crowd) and is empty far away.
    std::vector<SpotValue> spots;
    for (int i = 0; i < 9; ++i) {
        spots.push_back(spot(30 + 3 * (i % 3), 30 + 3 * (i / 3), -70.0 + (i % 2)));
    }
    for (const FieldMethod method : kMethods) {
        const Plan plan = field(spots, 120, 120, options(method, 15.0));
        for (int y = 0; y < plan.height; ++y) {
            for (int x = 0; x < plan.width; ++x) {
                const float v = plan.At(x, y);
                if (HasValue(v)) {
                    ASSERT_GE(v, -70.0f) << x << "," << y;
                    ASSERT_LE(v, -69.0f) << x << "," << y;
                }
            }
        }
        EXPECT_FALSE(HasValue(plan.At(0, 0)));
        EXPECT_FALSE(HasValue(plan.At(119, 119)));
        EXPECT_FALSE(HasValue(plan.At(60, 33)));
    }
}

TEST(CoverageField, MatchesABruteForceSearchWhateverTheThreads) {
    std::mt19937 random(14);
    std::uniform_int_distribution<int> xs(-20, 330);
    std::uniform_int_distribution<int> ys(-10, 215);
    std::uniform_real_distribution<double> dbm(-110.0, -35.0);
    std::vector<SpotValue> spots;
    for (int i = 0; i < 150; ++i) {
        spots.push_back(spot(xs(random), ys(random), i % 12 == 5 ? kNoSignalDbm : dbm(random)));
    }
    spots.push_back(spot(100, 100, -50.0)); // a few on the grid's cell edges and a tie
    spots.push_back(spot(120, 100, -90.0));
    const struct {
        FieldMethod method;
        double radius;
        double power;
    } cases[] = {{FieldMethod::Idw, 17.5, 2.0},    {FieldMethod::Idw, 40.0, 1.0},
                 {FieldMethod::Idw, 9.0, 3.5},     {FieldMethod::Nearest, 17.5, 2.0},
                 {FieldMethod::Nearest, 0.5, 2.0}, {FieldMethod::Nearest, 500.0, 2.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.radius);
        FieldOptions o = options(c.method, c.radius, c.power);
        o.threads = 1;
        const Plan one = field(spots, 301, 203, o);
        o.threads = 3;
        const Plan three = field(spots, 301, 203, o);
        size_t covered = 0;
        size_t dead = 0;
        for (int y = 0; y < one.height; ++y) {
            for (int x = 0; x < one.width; ++x) {
                const float expected = bruteForce(spots, x, y, o);
                const float got = one.At(x, y);
                ASSERT_EQ(HasValue(got), HasValue(expected)) << x << "," << y;
                if (std::isinf(expected)) {
                    ASSERT_EQ(got, expected) << x << "," << y;
                    ++dead;
                } else if (HasValue(got)) {
                    ASSERT_NEAR(got, expected, 1e-4) << x << "," << y;
                    ++covered;
                }
                const float again = three.At(x, y);
                ASSERT_EQ(std::memcmp(&got, &again, sizeof got), 0) << "threads change nothing";
            }
        }
        EXPECT_GT(covered, 0u);
        EXPECT_GT(dead, 0u);
        // Any rectangle of it, computed alone, is the same to the bit: a part recomputed after a
        // change needs no full pass.
        for (const FieldRect rect : {FieldRect{0, 0, 301, 203}, FieldRect{37, 51, 70, 33},
                                     FieldRect{290, 190, 11, 13}, FieldRect{5, 0, 1, 203}}) {
            CoverageValues part;
            ASSERT_TRUE(ComputeCoverageRect(spots, rect, o, part));
            ASSERT_EQ(part.size(), static_cast<size_t>(rect.width) * rect.height);
            for (int y = 0; y < rect.height; ++y) {
                ASSERT_EQ(std::memcmp(&part[static_cast<size_t>(y) * rect.width],
                                      &three.values[static_cast<size_t>(rect.y + y) * 301 + rect.x],
                                      sizeof(float) * rect.width),
                          0)
                    << "row " << y << " of " << rect.x << "," << rect.y;
            }
        }
    }
}

TEST(CoverageField, RefusesSizesRadiiAndPowersThatMeanNothing) {
    const std::vector<SpotValue> spots = {spot(1, 1, -60.0)};
    CoverageValues out = {1.0f};
    EXPECT_FALSE(ComputeCoverageField(spots, 0, 5, options(FieldMethod::Idw, 5.0), out));
    EXPECT_TRUE(out.empty());
    out = {1.0f};
    EXPECT_FALSE(
        ComputeCoverageRect(spots, FieldRect{2, 2, 0, 5}, options(FieldMethod::Idw, 5.0), out));
    EXPECT_TRUE(out.empty());
    for (const double radius : {0.0, -3.0, double(NAN), double(INFINITY)}) {
        EXPECT_FALSE(ComputeCoverageField(spots, 5, 5, options(FieldMethod::Nearest, radius), out));
    }
    for (const double power : {0.0, -2.0}) {
        EXPECT_FALSE(ComputeCoverageField(spots, 5, 5, options(FieldMethod::Idw, 5.0, power), out));
    }
    EXPECT_TRUE(ComputeCoverageField({}, 3, 2, options(FieldMethod::Idw, 5.0), out));
    ASSERT_EQ(out.size(), 6u);
    EXPECT_FALSE(HasValue(out[0])) << "no spots, no coverage";
}

TEST(CoverageField, ReportsProgressOnTheCallingThread) {
    const std::vector<SpotValue> spots = {spot(100, 100, -60.0)};
    std::vector<double> reports;
    const std::thread::id caller = std::this_thread::get_id();
    bool elsewhere = false;
    CoverageValues out;
    ASSERT_TRUE(ComputeCoverageField(spots, 400, 300, options(FieldMethod::Idw, 20.0), out,
                                     [&](double done) {
                                         elsewhere |= std::this_thread::get_id() != caller;
                                         reports.push_back(done);
                                     }));
    ASSERT_FALSE(reports.empty());
    EXPECT_FALSE(elsewhere);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_EQ(reports.back(), 1.0);
}

TEST(CoverageField, ContoursMarkBothSidesOfEachCrossingAndNothingWithoutAValue) {
    const float n = NAN;
    const float dead = -INFINITY;
    // One row of five: -80, -90, -100, no value, -100; and a row below of dead places.
    const CoverageValues values = {-80.f, -90.f, -100.f, n, -100.f, dead, dead, dead, dead, dead};
    const struct {
        std::vector<double> levels;
        std::vector<uint8_t> marks;
    } cases[] = {
        {{-95.0}, {1, 1, 1, 0, 0, 1, 1, 0, 0, 0}}, // across -90 | -100, and down to no signal
        {{-85.0}, {1, 1, 0, 0, 0, 1, 0, 0, 0, 0}},
        {{-100.0}, {1, 1, 1, 0, 1, 1, 1, 1, 0, 1}}, // -100 is at the level: it is above it
        {{-120.0, -85.0}, {1, 1, 1, 0, 1, 1, 1, 1, 0, 1}},
        {{-60.0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> marks;
        ContoursOfField(values, 5, 2, c.levels, marks);
        EXPECT_EQ(marks, c.marks) << c.levels.front();
    }
}

} // namespace

// Bands are counted with float comparisons, a block of pixels at a time; every value must land
// where the set's own IndexOf puts its double, on the edges and a float step either side of them.
TEST(CoverageField, BandsOfAFieldAreTheSetsOwnBandsToTheLastStepOfAFloat) {
    CBandSet custom = CBandSet::Threshold();
    ASSERT_TRUE(CBandSet::Custom({-60.05, -90.3, -72.5, -101}, custom));
    // Edges out of order: no shortcut may assume them sorted.
    const CBandSet unsorted({-70, -50, -90},
                            {{1, 1, 1, 1}, {2, 2, 2, 1}, {3, 3, 3, 1}, {4, 4, 4, 1}}, false);
    const float inf = std::numeric_limits<float>::infinity();
    const CBandSet* const sets[] = {&CBandSet::Handheld(), &CBandSet::Threshold(), &custom,
                                    &unsorted};
    for (const CBandSet* set : sets) {
        CoverageValues values = {std::nanf(""), -inf, inf, 0.0f, -1e30f, 1e30f, -300.0f};
        for (const double edge : set->Edges()) {
            const float near = static_cast<float>(edge);
            for (const float v : {near, std::nextafter(near, inf), std::nextafter(near, -inf)}) {
                values.push_back(v);
            }
        }
        // Enough values for several blocks, so each block's start and end are crossed.
        std::mt19937 random(3);
        std::uniform_real_distribution<float> dbm(-130.0f, -20.0f);
        while (values.size() < 5000) {
            values.push_back(values.size() % 97 == 0 ? std::nanf("") : dbm(random));
        }
        std::vector<uint8_t> bands;
        BandsOfField(values, *set, bands);
        ASSERT_EQ(bands.size(), values.size());
        for (size_t i = 0; i < values.size(); ++i) {
            const uint8_t expected = std::isnan(values[i]) ? kNoBand
                                     : values[i] == -inf
                                         ? kNoSignalBand
                                         : static_cast<uint8_t>(set->IndexOf(values[i]));
            ASSERT_EQ(bands[i], expected) << "value " << values[i] << " at " << i;
        }
    }
}
