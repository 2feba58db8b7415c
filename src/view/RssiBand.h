// The six colour bands of a survey point's strongest reading, shared by the map circles and the
// colour legend so the two can never disagree.
#pragma once

#include <cstdint>

enum class RssiBand { Red, Orange, Yellow, Green, Blue, Black };

struct BandColour {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    int penWidth; // outline width in pixels
};

// The first test that holds wins: above -40 dBm red, above -50 orange, above -60 yellow, above
// -70 green, above -80 blue, black otherwise.
RssiBand RssiBandOf(int16_t dbm);
BandColour ColourOfBand(RssiBand band);
