// Per-channel statistics of a survey for the grid-test report: how each channel fared over the
// measured points of the tested area.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/GridLayout.h"
#include "survey/SurveyRecord.h"

struct ChannelStats {
    int32_t channel = 0;
    uint32_t points = 0;    // points inside the area where the channel was read
    uint32_t atOrAbove = 0; // of them, points at or above the threshold
    double minDbm = 0.0;
    double medianDbm = 0.0; // the middle value, or the mean of the two middle values
    double maxDbm = 0.0;
};

// One entry per channel read inside area, by channel number. A channel read more than once at a
// point counts once there, with its readings averaged in power as the point values do.
std::vector<ChannelStats> ChannelStatistics(const std::vector<SurveyRecord>& records,
                                            const PlanRect& area, double thresholdDbm);
