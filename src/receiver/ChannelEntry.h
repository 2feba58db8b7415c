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
    // A channel by frequency (plan kFrequencyPlan), which only a board measuring with a
    // software-defined radio takes: its centre and the bandwidth its power is measured over.
    uint64_t frequencyHz = 0;
    uint32_t bandwidthHz = 0;
};

// The plan index of a channel named by its frequency rather than by a band plan's number.
constexpr uint8_t kFrequencyPlan = 0xFF;

inline bool IsFrequencyPlan(uint8_t plan) {
    return plan == kFrequencyPlan;
}

// The plan index used for conversions: only plans 0 and 1 exist, and every index other than 1
// converts as plan 0 (the board code has always done so; the frequency now does the same).
inline bool IsPcsPlan(uint8_t plan) {
    return plan == 1;
}

// Hz in 32 bits: a channel by frequency above 4.29 GHz gives 0 here; EntryFrequencyMHz has it.
uint32_t EntryFrequencyHz(const CBandPlan (&plans)[2], const ChannelEntry& entry);
double EntryFrequencyMHz(const CBandPlan (&plans)[2], const ChannelEntry& entry);
uint16_t EntryBoardCode(const CBandPlan (&plans)[2], const ChannelEntry& entry);

// The channel number a reading of a frequency stores: its channel in the 800 MHz cellular plan
// when the frequency is exactly one of that plan's channels, otherwise the frequency in kHz,
// rounded to the nearest kHz (851.0125 MHz stores 851013). PCS frequencies take the kHz rule too,
// as their channel numbers depend on a spacing a frequency does not name. Never 0.
int32_t FrequencyChannelNumber(const CBandPlan (&plans)[2], uint64_t frequencyHz);
// The channel number a reading of entry stores: a band plan's channel as it stands.
int32_t EntryRecordChannel(const CBandPlan (&plans)[2], const ChannelEntry& entry);

// Whole dBm, truncating toward zero (-1601 gives -100, -15 gives 0).
inline int16_t RssiX16ToDbm(int16_t rssiX16) {
    return static_cast<int16_t>(rssiX16 / 16);
}

inline double HzToMHz(uint32_t hz) {
    return hz * 0.000001;
}
