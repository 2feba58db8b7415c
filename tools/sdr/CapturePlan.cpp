// Greedy capture planning. Thirty channels make this a few thousand fit tests at most.
#include "CapturePlan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

double usableHalf(const CaptureLimits& limits) {
    return limits.usableFraction * limits.sampleRateHz / 2.0;
}

} // namespace

bool FitsCapture(const SdrChannel& channel, double centreHz, const CaptureLimits& limits) {
    const double low = channel.frequencyHz - channel.bandwidthHz / 2.0 - centreHz;
    const double high = channel.frequencyHz + channel.bandwidthHz / 2.0 - centreHz;
    const double half = usableHalf(limits);
    return (low >= -half && high <= -limits.dcGuardHz) || (low >= limits.dcGuardHz && high <= half);
}

bool PlanCaptures(const std::vector<SdrChannel>& channels, const CaptureLimits& limits,
                  std::vector<CaptureGroup>& groups, std::string& error) {
    groups.clear();
    const double room = usableHalf(limits) - limits.dcGuardHz;
    for (const SdrChannel& c : channels) {
        if (!(c.bandwidthHz > 0) || c.bandwidthHz > room) {
            char text[160];
            std::snprintf(text, sizeof text,
                          "a channel %.3f kHz wide does not fit this device's capture (at most "
                          "%.3f kHz at %.3f MS/s)",
                          c.bandwidthHz / 1e3, room / 1e3, limits.sampleRateHz / 1e6);
            error = text;
            return false;
        }
    }
    std::vector<size_t> remaining(channels.size());
    for (size_t i = 0; i < remaining.size(); ++i) {
        remaining[i] = i;
    }
    std::stable_sort(remaining.begin(), remaining.end(), [&](size_t a, size_t b) {
        return channels[a].frequencyHz < channels[b].frequencyHz;
    });

    while (!remaining.empty()) {
        const SdrChannel& first = channels[remaining.front()];
        // Centres worth trying: the lowest channel at the bottom edge, and each channel just
        // above or just below the DC guard; whole Hz, rounded towards the channel's side.
        std::vector<double> candidates = {
            std::floor(first.frequencyHz - first.bandwidthHz / 2.0 + usableHalf(limits))};
        for (const size_t j : remaining) {
            const SdrChannel& c = channels[j];
            candidates.push_back(
                std::floor(c.frequencyHz - c.bandwidthHz / 2.0 - limits.dcGuardHz));
            candidates.push_back(std::ceil(c.frequencyHz + c.bandwidthHz / 2.0 + limits.dcGuardHz));
        }
        CaptureGroup best;
        for (const double centre : candidates) {
            if (!FitsCapture(first, centre, limits)) {
                continue;
            }
            CaptureGroup group{centre, {}};
            for (const size_t j : remaining) {
                if (FitsCapture(channels[j], centre, limits)) {
                    group.channels.push_back(j);
                }
            }
            // Ties go to the higher centre, which reaches further into the channels left.
            if (group.channels.size() > best.channels.size() ||
                (group.channels.size() == best.channels.size() && centre > best.centreHz)) {
                best = group;
            }
        }
        remaining.erase(std::remove_if(remaining.begin(), remaining.end(),
                                       [&](size_t j) {
                                           return std::find(best.channels.begin(),
                                                            best.channels.end(),
                                                            j) != best.channels.end();
                                       }),
                        remaining.end());
        groups.push_back(best);
    }
    std::sort(groups.begin(), groups.end(),
              [](const CaptureGroup& a, const CaptureGroup& b) { return a.centreHz < b.centreHz; });
    return true;
}
