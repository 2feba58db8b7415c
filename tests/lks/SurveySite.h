// Surveyed site files for the lks tests, built byte by byte with readings in sixteenths of a dB
// (as a file may hold them, finer than the whole dBm of the survey records), so that the tool is
// tested on exactly the values the file keeps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TestFiles.h"

struct TestChannel {
    int32_t channel;
    double mhz;
};

constexpr TestChannel kCell1{1, 870.03};
constexpr TestChannel kPcs25{25, 1930.77};  // at the 30 kHz PCS spacing
constexpr uint32_t kSaveTime = 1700000000u; // 2023-11-14 22:13:20 UTC

struct TestReading {
    TestChannel channel;
    int16_t x16; // dBm x 16
};

// A location: its readings, or none for a location stored without readings.
struct TestPoint {
    int32_t x;
    int32_t y;
    std::vector<TestReading> readings;
};

inline int16_t X16(double dbm) {
    return static_cast<int16_t>(dbm * 16.0);
}

// A point reading dbm on channel 1 and five dB less on PCS channel 25.
TestPoint TwoChannelPoint(int32_t x, int32_t y, double dbm);

// A width x height white plan with a grey wall across its middle, the points as survey data,
// saved at kSaveTime, with two blocks of ink in the signature when signedByHand. Returns the
// path of dir/name.
std::string MakeSurveySite(const CTempDir& dir, const std::string& name, int32_t width,
                           int32_t height, const std::vector<TestPoint>& points,
                           bool signedByHand = true);

// Ink at the top left and the bottom right of the pad, so that a signature drawn upside down or
// mirrored shows.
bool TestInkAt(int x, int y);
