// Band edges of the three kinds of band set, and the handheld's colours and outline widths.
#include <gtest/gtest.h>

#include "analysis/RssiBands.h"

namespace {

TEST(RssiBands, HandheldEdgesAreStrictlyAbove) {
    const struct {
        int16_t dbm;
        RssiBand band;
    } cases[] = {{0, RssiBand::Red},          {-39, RssiBand::Red},    {-40, RssiBand::Orange},
                 {-49, RssiBand::Orange},     {-50, RssiBand::Yellow}, {-59, RssiBand::Yellow},
                 {-60, RssiBand::Green},      {-69, RssiBand::Green},  {-70, RssiBand::Blue},
                 {-79, RssiBand::Blue},       {-80, RssiBand::Black},  {-120, RssiBand::Black},
                 {INT16_MIN, RssiBand::Black}};
    for (const auto& c : cases) {
        EXPECT_EQ(RssiBandOf(c.dbm), c.band) << c.dbm;
    }
    // Interpolated values between whole dBm fall on the same side as the handheld's readings.
    EXPECT_EQ(CBandSet::Handheld().IndexOf(-39.9), 0u);
    EXPECT_EQ(CBandSet::Handheld().IndexOf(-40.0), 1u);
}

TEST(RssiBands, ColoursAndPenWidths) {
    const BandColour orange = ColourOfBand(RssiBand::Orange);
    EXPECT_EQ(orange.red, 255);
    EXPECT_EQ(orange.green, 128);
    EXPECT_EQ(orange.blue, 0);
    EXPECT_EQ(orange.penWidth, 1);
    const BandColour black = ColourOfBand(RssiBand::Black);
    EXPECT_EQ(black.red + black.green + black.blue, 0);
    EXPECT_EQ(black.penWidth, 2);
}

TEST(RssiBands, ThresholdAndCustomSetsIncludeTheirLowerEdge) {
    const CBandSet& t = CBandSet::Threshold();
    ASSERT_EQ(t.Count(), 4u);
    EXPECT_EQ(t.IndexOf(-85), 0u);
    EXPECT_EQ(t.IndexOf(-85.01), 1u);
    EXPECT_EQ(t.IndexOf(-95), 1u);
    EXPECT_EQ(t.IndexOf(-105), 2u);
    EXPECT_EQ(t.IndexOf(-105.5), 3u);
    EXPECT_EQ(t.Label(0), ">= -85");
    EXPECT_EQ(t.Label(1), "-95 to -85");
    EXPECT_EQ(t.Label(3), "< -105");
    EXPECT_EQ(CBandSet::Handheld().Label(0), "> -40");
    EXPECT_EQ(CBandSet::Handheld().Label(5), "<= -80");

    CBandSet custom = CBandSet::Threshold();
    EXPECT_FALSE(CBandSet::Custom({-90, -70, -90, -80.5}, custom)) << "an edge named twice";
    ASSERT_TRUE(CBandSet::Custom({-90, -70, -80.5}, custom));
    ASSERT_EQ(custom.Edges(), (std::vector<double>{-70, -80.5, -90}));
    EXPECT_EQ(custom.Count(), 4u);
    EXPECT_EQ(custom.IndexOf(-80.5), 1u);
    EXPECT_EQ(custom.Label(1), "-80.5 to -70");
    EXPECT_FALSE(CBandSet::Custom({}, custom));
    std::vector<double> tooMany;
    for (size_t i = 0; i <= CBandSet::kMaxCustomEdges; ++i) {
        tooMany.push_back(-40.0 - 5.0 * static_cast<double>(i));
    }
    EXPECT_FALSE(CBandSet::Custom(tooMany, custom));
    tooMany.pop_back();
    EXPECT_TRUE(CBandSet::Custom(tooMany, custom));
}

} // namespace
