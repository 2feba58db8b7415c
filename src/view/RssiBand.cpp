// Colour band thresholds and colours of survey points.
#include "view/RssiBand.h"

RssiBand RssiBandOf(int16_t dbm) {
    if (dbm > -40) {
        return RssiBand::Red;
    }
    if (dbm > -50) {
        return RssiBand::Orange;
    }
    if (dbm > -60) {
        return RssiBand::Yellow;
    }
    if (dbm > -70) {
        return RssiBand::Green;
    }
    if (dbm > -80) {
        return RssiBand::Blue;
    }
    return RssiBand::Black;
}

BandColour ColourOfBand(RssiBand band) {
    switch (band) {
    case RssiBand::Red:
        return {255, 0, 0, 1};
    case RssiBand::Orange:
        return {255, 128, 0, 1};
    case RssiBand::Yellow:
        return {255, 255, 0, 1};
    case RssiBand::Green:
        return {0, 255, 0, 1};
    case RssiBand::Blue:
        return {0, 0, 255, 1};
    case RssiBand::Black:
        break;
    }
    return {0, 0, 0, 2};
}
