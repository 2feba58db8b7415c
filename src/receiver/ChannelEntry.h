// One entry of the channel table the board scans, and the values derived from it. Every caller
// (survey store, table loader, scan screen) converts through these functions so that a channel
// is never shown at one frequency and stored at another.
#pragma once

#include <cstdint>

class CBandPlan;

struct ChannelEntry {
    uint8_t plan = 0;     // band plan index: 0 cellular 800 MHz, 1 PCS 1900 MHz
    uint16_t channel = 0; // channel number within that plan
    int16_t rssiX16 = 0;  // last RSSI in sixteenths of a dBm, as the board reports it
};

// The plan index used for conversions: only plans 0 and 1 exist, and every index other than 1
// converts as plan 0 (the board code has always done so; the frequency now does the same).
inline bool IsPcsPlan(uint8_t plan) {
    return plan == 1;
}

uint32_t EntryFrequencyHz(const CBandPlan (&plans)[2], const ChannelEntry& entry);
double EntryFrequencyMHz(const CBandPlan (&plans)[2], const ChannelEntry& entry);
uint16_t EntryBoardCode(const CBandPlan (&plans)[2], const ChannelEntry& entry);

// Whole dBm, truncating toward zero (-1601 gives -100, -15 gives 0).
inline int16_t RssiX16ToDbm(int16_t rssiX16) {
    return static_cast<int16_t>(rssiX16 / 16);
}

inline double HzToMHz(uint32_t hz) {
    return hz * 0.000001;
}
