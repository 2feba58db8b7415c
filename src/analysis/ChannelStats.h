// Per-channel statistics of a survey for the grid-test report: how each channel fared over the
// measured spots of the tested area.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/GridLayout.h"
#include "analysis/SpotTable.h"

struct ChannelStats {
    size_t channel = 0;     // index into the spot table's channels
    uint32_t points = 0;    // spots inside the area with a value of the channel
    uint32_t atOrAbove = 0; // of them, spots at or above the threshold
    uint32_t noSignal = 0;  // of them, spots where nothing was received
    double minDbm = 0.0;
    double medianDbm = 0.0; // the middle value, or the mean of the two middle values
    double maxDbm = 0.0;
};

// One entry per channel of the table with a value inside area, in the table's channel order.
std::vector<ChannelStats> ChannelStatistics(const CSpotTable& table, const PlanRect& area,
                                            double thresholdDbm);
