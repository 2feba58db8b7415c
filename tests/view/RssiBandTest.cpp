// Colour bands at each threshold, including the wider outline of the weakest band.
#include <gtest/gtest.h>

#include "view/RssiBand.h"

namespace {

TEST(RssiBand, EdgesFallIntoTheRightBand) {
    EXPECT_EQ(RssiBandOf(0), RssiBand::Red);
    EXPECT_EQ(RssiBandOf(-39), RssiBand::Red);
    EXPECT_EQ(RssiBandOf(-40), RssiBand::Orange);
    EXPECT_EQ(RssiBandOf(-49), RssiBand::Orange);
    EXPECT_EQ(RssiBandOf(-50), RssiBand::Yellow);
    EXPECT_EQ(RssiBandOf(-59), RssiBand::Yellow);
    EXPECT_EQ(RssiBandOf(-60), RssiBand::Green);
    EXPECT_EQ(RssiBandOf(-69), RssiBand::Green);
    EXPECT_EQ(RssiBandOf(-70), RssiBand::Blue);
    EXPECT_EQ(RssiBandOf(-79), RssiBand::Blue);
    EXPECT_EQ(RssiBandOf(-80), RssiBand::Black);
    EXPECT_EQ(RssiBandOf(-120), RssiBand::Black);
    EXPECT_EQ(RssiBandOf(INT16_MIN), RssiBand::Black);
}

TEST(RssiBand, ColoursAndPenWidths) {
    const BandColour orange = ColourOfBand(RssiBand::Orange);
    EXPECT_EQ(orange.red, 255);
    EXPECT_EQ(orange.green, 128);
    EXPECT_EQ(orange.blue, 0);
    EXPECT_EQ(orange.penWidth, 1);
    const BandColour black = ColourOfBand(RssiBand::Black);
    EXPECT_EQ(black.red + black.green + black.blue, 0);
    EXPECT_EQ(black.penWidth, 2);
    const BandColour blue = ColourOfBand(RssiBand::Blue);
    EXPECT_EQ(blue.blue, 255);
    EXPECT_EQ(blue.red + blue.green, 0);
}

} // namespace
