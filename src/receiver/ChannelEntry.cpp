// Derived values of a channel table entry.
#include "receiver/ChannelEntry.h"

#include "receiver/BandPlan.h"

uint32_t EntryFrequencyHz(const CBandPlan (&plans)[2], const ChannelEntry& entry) {
    if (IsPcsPlan(entry.plan)) {
        return plans[1].PcsChannelToFrequency(entry.channel);
    }
    return plans[0].ChannelToFrequency(entry.channel);
}

double EntryFrequencyMHz(const CBandPlan (&plans)[2], const ChannelEntry& entry) {
    return HzToMHz(EntryFrequencyHz(plans, entry));
}

uint16_t EntryBoardCode(const CBandPlan (&plans)[2], const ChannelEntry& entry) {
    if (IsPcsPlan(entry.plan)) {
        return static_cast<uint16_t>(plans[1].PcsChannelToStepIndex(entry.channel));
    }
    const CBandPlan& cellular = plans[0];
    return static_cast<uint16_t>(
        cellular.FrequencyToStepIndex(cellular.ChannelToFrequency(entry.channel)));
}
