// Channel labels: the table parsed by the program's own parser, whose entries keep the text after
// the channel.
#include "ChannelLabels.h"

#include "files/ChannelTableFile.h"
#include "files/FileBytes.h"
#include "files/FileMessages.h"
#include "platform/TextFields.h"
#include "receiver/BandPlan.h"
#include "receiver/ChannelEntry.h"
#include "receiver/Receiver.h"

namespace lks {

namespace {

// The label of a channel as the report names it, refused when longer than a table value may be.
bool addLabel(const std::string& path, size_t entry, const SiteReading& channel,
              const std::string& label, std::vector<ChannelLabel>& out, std::string& error) {
    if (label.size() > CChannelTableFile::kMaxValueLength) {
        error = path + ": the label of entry " + std::to_string(entry + 1) + " is longer than " +
                std::to_string(CChannelTableFile::kMaxValueLength) + " characters";
        return false;
    }
    out.push_back({ChannelIdOf(channel), label});
    return true;
}

} // namespace

bool ReadChannelLabels(const std::string& path, std::vector<ChannelLabel>& out,
                       std::string& error) {
    out.clear();
    std::vector<uint8_t> bytes;
    int readError = 0;
    bool truncated = false;
    if (!ReadFileBytes(path, CChannelTableFile::kMaxFileSize, bytes, readError, truncated)) {
        error = "cannot open " + path + ": " + SystemErrorText(readError);
        return false;
    }
    CChannelTableFile table;
    if (truncated || !table.Parse(bytes.data(), bytes.size())) {
        error = path + ": " + filemsg::kInvalidChannelTable;
        return false;
    }
    CBandPlan plans[2];
    CReceiver::InitBandPlans(plans);
    plans[1].SetPcsSpacing(table.PcsSpacing());
    // A channel is named as the board's reading of it is stored, so that the label meets the
    // survey's channel: by number and frequency, or by a frequency's own channel number.
    for (int i = 0; i < table.Count(); ++i) {
        SiteReading channel;
        channel.channel = table.Entry(i).channel;
        channel.frequencyMHz = EntryFrequencyMHz(plans, table.Entry(i));
        if (!addLabel(path, static_cast<size_t>(i), channel, TrimBlanks(table.Label(i)), out,
                      error)) {
            return false;
        }
    }
    const std::vector<FrequencyEntry>& frequencies = table.Frequencies();
    for (size_t i = 0; i < frequencies.size(); ++i) {
        ChannelEntry entry;
        entry.plan = kFrequencyPlan;
        entry.frequencyHz = frequencies[i].frequencyHz;
        SiteReading channel;
        channel.channel = EntryRecordChannel(plans, entry);
        channel.frequencyMHz = EntryFrequencyMHz(plans, entry);
        if (!addLabel(path, i, channel, frequencies[i].label, out, error)) {
            return false;
        }
    }
    return true;
}

std::string LabelOf(const std::vector<ChannelLabel>& labels, const ChannelId& id) {
    for (const ChannelLabel& l : labels) {
        if (l.id == id) {
            return l.label;
        }
    }
    return std::string();
}

} // namespace lks
