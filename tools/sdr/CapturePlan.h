// Which channels share one capture: each capture is a tune to a centre frequency, and a channel
// belongs to it when its whole bandwidth lies in the flat part of the receiver's filter and clear
// of the DC spike at the centre.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "SdrTypes.h"

struct CaptureLimits {
    double sampleRateHz = 2.4e6;
    // The share of the sample rate, centred, that is flat enough to measure in; the rest is the
    // filter's roll-off at both edges.
    double usableFraction = 0.75;
    // Half-width of the band around the centre left alone for the DC spike.
    double dcGuardHz = 10000;
};

struct CaptureGroup {
    double centreHz = 0;
    std::vector<size_t> channels; // indices into the channel list
};

// Few tunes for the channels: from the lowest channel not yet placed, the centre that takes the
// most remaining channels. Groups come in rising centre order. False with the reason when a
// channel is too wide to fit on one side of the centre.
bool PlanCaptures(const std::vector<SdrChannel>& channels, const CaptureLimits& limits,
                  std::vector<CaptureGroup>& groups, std::string& error);

// Whether a channel fits a capture at centreHz.
bool FitsCapture(const SdrChannel& channel, double centreHz, const CaptureLimits& limits);
