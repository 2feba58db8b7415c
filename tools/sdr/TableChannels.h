// The channels of a channel table file as a software-defined radio measures them: a frequency
// table's entries as they stand; a band-plan table's entries at their plans' frequencies, each
// over its plan's channel spacing (30 kHz cellular, the table's PCS spacing).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "SdrTypes.h"

class CChannelTableFile;

struct SdrTableChannel {
    SdrChannel channel;
    uint64_t frequencyHz = 0; // exact, for display
    std::string label;
    int32_t recordChannel = 0; // the channel number its readings store
};

// False with the reason for an entry no radio can measure (a band-plan channel its plan lacks).
bool SdrChannelsOfTable(const CChannelTableFile& table, std::vector<SdrTableChannel>& out,
                        std::string& error);

// Just the channels, in table order, for CSdrScanner::Scan.
std::vector<SdrChannel> ScanList(const std::vector<SdrTableChannel>& channels);
