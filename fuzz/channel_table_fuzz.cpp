// Fuzzes the channel table parser (both formats) and checks the table it promises: at most 30
// entries, a known spacing or none, frequencies within the format's limits, and a receiver
// changed exactly as the parsed table says.
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "files/ChannelTableFile.h"
#include "receiver/Receiver.h"

namespace {} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CChannelTableFile table;
    if (!table.Parse(data, size)) {
        return 0;
    }
    check(table.Count() >= 0 && table.Count() <= CChannelTableFile::kMaxEntries);
    // A frequency table gives the board nothing, and only entries within the format's limits.
    const bool frequencies = table.Format() == CChannelTableFile::kFrequencyFormat;
    check(frequencies || table.Format() == CChannelTableFile::kFormat);
    check(!frequencies || table.Count() == 0);
    check(frequencies || table.Frequencies().empty());
    check(table.Frequencies().size() <= static_cast<size_t>(CChannelTableFile::kMaxEntries));
    for (const FrequencyEntry& e : table.Frequencies()) {
        check(e.frequencyHz > 0 && e.frequencyHz <= CChannelTableFile::kMaxFrequencyHz);
        check(e.bandwidthHz >= CChannelTableFile::kMinBandwidthHz &&
              e.bandwidthHz <= CChannelTableFile::kMaxBandwidthHz);
        check(e.label.size() <= CChannelTableFile::kMaxValueLength);
        check(FrequencyEntryChannel(e.frequencyHz) > 0);
    }
    const uint32_t spacing = table.PcsSpacing();
    check(spacing == 0 || spacing == 30000 || spacing == 50000 || spacing == 200000);
    CReceiver receiver;
    table.ApplyTo(receiver);
    if (frequencies) {
        // A frequency table fills the receiver's table by frequency, for a radio's board.
        check(receiver.ChannelCount() == table.Frequencies().size());
        for (size_t i = 0; i < table.Frequencies().size(); ++i) {
            const ChannelEntry e = receiver.Channel(static_cast<int>(i));
            check(IsFrequencyPlan(e.plan));
            check(e.frequencyHz == table.Frequencies()[i].frequencyHz);
            check(e.bandwidthHz == table.Frequencies()[i].bandwidthHz);
        }
        return 0;
    }
    check(receiver.ChannelCount() == table.Count());
    for (int i = 0; i < table.Count(); ++i) {
        check(table.Entry(i).channel != CChannelTableFile::kEndOfTable);
        check(receiver.Channel(i).plan == table.Entry(i).plan);
        check(receiver.Channel(i).channel == table.Entry(i).channel);
        check(receiver.Channel(i).rssiX16 == 0);
    }
    return 0;
}
