// The entries of a channel table given on the lks command line ("PLAN:CHANNEL[:LABEL]", checked
// against the receiver's band plans, or "MHZ:BANDWIDTH[:LABEL]" by frequency), and the table file
// text the program loads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CBandPlan;
struct FrequencyEntry;

// Long enough for "Fire dispatch 1 (county, north)"; a longer one is surely a slip.
constexpr size_t kMaxLabelLength = 64;

struct TableEntry {
    uint8_t plan = 0;
    uint16_t channel = 0;
    std::string label; // free text after the channel; the program ignores it
};

// A channel the plan holds: one whose frequency converts back to the same channel, so the board
// is sent the code of the channel that was asked for (the PCS conversions would otherwise clamp
// an out-of-range channel to the nearest end of the band). Plans other than 0 and 1 hold none.
bool PlanHoldsChannel(const CBandPlan (&plans)[2], uint8_t plan, uint16_t channel);

// The channels a plan holds, as ranges for a message: "990-1023, 1-799".
std::string ChannelRanges(const CBandPlan (&plans)[2], uint8_t plan);

// Parses one "PLAN:CHANNEL[:LABEL]" argument against plans (PCS spacing already set); false
// with the reason.
bool ParseTableEntry(const std::string& arg, const CBandPlan (&plans)[2], TableEntry& out,
                     std::string& reason);

// The file: format 2, the PCS spacing in kHz, "plan,channel,label" per entry and the
// terminating entry, each line ended by CR LF.
std::string ChannelTableText(unsigned spacingKHz, const std::vector<TableEntry>& entries);

// Parses one "MHZ:BANDWIDTH[:LABEL]" argument of --freq: the frequency in MHz to the Hz, the
// bandwidth with its unit ("12.5k", "1.25M") or in Hz; false with the reason.
bool ParseFrequencyEntry(const std::string& arg, FrequencyEntry& out, std::string& reason);

// The file: format 3, then "MHz,kHz,label" per entry, each line ended by CR LF.
std::string FrequencyTableText(const std::vector<FrequencyEntry>& entries);
