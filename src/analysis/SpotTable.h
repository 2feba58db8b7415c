// The survey's readings merged per spot and channel, once, so that each channel, the strongest
// channel or the weakest of several can be valued at every spot without going back to the
// readings. Readings at the same map position are averaged in power and never added, so taking a
// spot twice makes it no stronger; a location stored without readings adds no power to every
// channel there, so a dead spot can only pull a place down.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/SiteReadings.h"
#include "analysis/SpotValues.h"
#include "analysis/SurveyChannels.h"

// How a spot's value comes from the channels chosen: the strongest (best server) or the weakest
// (every channel must reach a level).
enum class SpotCombine { Strongest, Weakest };

class CSpotTable {
public:
    explicit CSpotTable(const std::vector<SiteReading>& readings);

    const std::vector<SurveyChannel>& Channels() const { return m_channels; }
    // The index of a channel in Channels(); false when the survey never read it.
    bool FindChannel(const ChannelId& id, size_t& index) const;

    // Spots in the order each position first appears in the survey.
    size_t SpotCount() const { return m_spots.size(); }
    int32_t X(size_t spot) const { return m_spots[spot].x; }
    int32_t Y(size_t spot) const { return m_spots[spot].y; }
    // Spots where a location without readings was stored.
    size_t NoSignalSpots() const;

    // The merged value of one channel at one spot; false when it was not read there.
    bool Value(size_t spot, size_t channel, double& dbm, uint32_t& readings) const;

    // Every spot's value from the channels (indexes into Channels(); empty: all of them).
    // Strongest: spots where none of them was read are left out. Weakest: spots where any of
    // them was not read are left out.
    std::vector<SpotValue> Values(const std::vector<size_t>& channels, SpotCombine combine) const;

private:
    struct Spot {
        int32_t x;
        int32_t y;
        uint32_t noSignal; // locations without readings stored here
        uint32_t first;    // its merged channels: m_sums[first, next spot's first)
    };
    // One channel's readings at one spot.
    struct Sum {
        uint32_t channel;
        uint32_t count;
        double milliwatts;
        int16_t firstX16;
        bool allEqual;
    };

    uint32_t End(size_t spot) const;
    bool ValueOfSum(const Spot& spot, const Sum* sum, double& dbm, uint32_t& readings) const;

    std::vector<SurveyChannel> m_channels;
    std::vector<Spot> m_spots;
    std::vector<Sum> m_sums; // spot by spot, each spot's by channel index
};
