// Derived values of a channel table entry.
#include "receiver/ChannelEntry.h"

#include "receiver/BandPlan.h"

#include <cstdint>

uint32_t EntryFrequencyHz(const CBandPlan (&plans)[2], const ChannelEntry& entry) {
    if (IsFrequencyPlan(entry.plan)) {
        return entry.frequencyHz <= UINT32_MAX ? static_cast<uint32_t>(entry.frequencyHz) : 0;
    }
    if (IsPcsPlan(entry.plan)) {
        return plans[1].PcsChannelToFrequency(entry.channel);
    }
    return plans[0].ChannelToFrequency(entry.channel);
}

double EntryFrequencyMHz(const CBandPlan (&plans)[2], const ChannelEntry& entry) {
    if (IsFrequencyPlan(entry.plan)) {
        return static_cast<double>(entry.frequencyHz) * 0.000001;
    }
    return HzToMHz(EntryFrequencyHz(plans, entry));
}

uint16_t EntryBoardCode(const CBandPlan (&plans)[2], const ChannelEntry& entry) {
    if (IsFrequencyPlan(entry.plan)) {
        return 0; // such a slot goes to the board by its frequency, never by a code
    }
    if (IsPcsPlan(entry.plan)) {
        return static_cast<uint16_t>(plans[1].PcsChannelToStepIndex(entry.channel));
    }
    const CBandPlan& cellular = plans[0];
    return static_cast<uint16_t>(
        cellular.FrequencyToStepIndex(cellular.ChannelToFrequency(entry.channel)));
}

int32_t FrequencyChannelNumber(const CBandPlan (&plans)[2], uint64_t frequencyHz) {
    constexpr uint64_t kHzPerKHz = 1000;
    const CBandPlan& cellular = plans[0];
    if (frequencyHz <= UINT32_MAX) {
        const auto hz = static_cast<uint32_t>(frequencyHz);
        const uint32_t channel = cellular.FrequencyToChannel(hz);
        if (channel != 0 && cellular.ChannelToFrequency(channel) == hz) {
            return static_cast<int32_t>(channel);
        }
    }
    const uint64_t kHz = (frequencyHz + kHzPerKHz / 2) / kHzPerKHz;
    return kHz == 0 ? 1 : static_cast<int32_t>(kHz);
}

int32_t EntryRecordChannel(const CBandPlan (&plans)[2], const ChannelEntry& entry) {
    return IsFrequencyPlan(entry.plan) ? FrequencyChannelNumber(plans, entry.frequencyHz)
                                       : entry.channel;
}
