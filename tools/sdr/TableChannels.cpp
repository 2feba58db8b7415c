// Table entries to measured channels, through the receiver's own band plans.
#include "TableChannels.h"

#include "files/ChannelTableFile.h"
#include "receiver/BandPlan.h"
#include "receiver/ChannelEntry.h"
#include "receiver/Receiver.h"

bool SdrChannelsOfTable(const CChannelTableFile& table, std::vector<SdrTableChannel>& out,
                        std::string& error) {
    out.clear();
    if (table.Format() == CChannelTableFile::kFrequencyFormat) {
        for (const FrequencyEntry& e : table.Frequencies()) {
            out.push_back({{static_cast<double>(e.frequencyHz), static_cast<double>(e.bandwidthHz)},
                           e.frequencyHz,
                           e.label,
                           FrequencyEntryChannel(e.frequencyHz)});
        }
        return true;
    }
    CBandPlan plans[2];
    CReceiver::InitBandPlans(plans);
    plans[1].SetPcsSpacing(table.PcsSpacing());
    for (int i = 0; i < table.Count(); ++i) {
        const ChannelEntry& e = table.Entry(i);
        const uint32_t hz = EntryFrequencyHz(plans, e);
        if (hz == 0) {
            error = "slot " + std::to_string(i) + ": channel " + std::to_string(e.channel) +
                    " is not a channel of its band plan, so it has no frequency to measure";
            return false;
        }
        const uint32_t spacing = IsPcsPlan(e.plan) && table.PcsSpacing() != 0
                                     ? table.PcsSpacing()
                                     : CReceiver::kCellularSpacingHz;
        out.push_back({{static_cast<double>(hz), static_cast<double>(spacing)},
                       hz,
                       table.Label(i),
                       e.channel});
    }
    return true;
}

std::vector<SdrChannel> ScanList(const std::vector<SdrTableChannel>& channels) {
    std::vector<SdrChannel> list;
    for (const SdrTableChannel& c : channels) {
        list.push_back(c.channel);
    }
    return list;
}
