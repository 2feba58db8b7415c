// Channel labels: the table parsed by the program's own parser first, then its entry lines read
// again for the text after the channel, which the parser skips.
#include "ChannelLabels.h"

#include <algorithm>

#include "files/ChannelTableFile.h"
#include "files/FileBytes.h"
#include "files/FileMessages.h"
#include "receiver/BandPlan.h"
#include "receiver/ChannelEntry.h"
#include "receiver/Receiver.h"

namespace lks {

namespace {

// The end of the line starting at pos as the program's first two lines end: at a carriage
// return or a line feed, a CR LF pair counting as one.
size_t headerLineEnd(const std::vector<uint8_t>& bytes, size_t pos) {
    while (pos < bytes.size() && bytes[pos] != '\r' && bytes[pos] != '\n') {
        ++pos;
    }
    if (pos < bytes.size() && bytes[pos] == '\r' && pos + 1 < bytes.size() &&
        bytes[pos + 1] == '\n') {
        ++pos;
    }
    return pos + 1;
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    const size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
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
    size_t pos = headerLineEnd(bytes, headerLineEnd(bytes, 0));
    for (int i = 0; i < table.Count(); ++i) {
        size_t end = pos;
        while (end < bytes.size() && bytes[end] != '\n') {
            ++end;
        }
        const std::string line(bytes.begin() + static_cast<long>(pos),
                               bytes.begin() + static_cast<long>(std::min(end, bytes.size())));
        const size_t first = line.find(',');
        const size_t second = first == std::string::npos ? first : line.find(',', first + 1);
        const std::string label =
            second == std::string::npos ? std::string() : trimmed(line.substr(second + 1));
        if (label.size() > CChannelTableFile::kMaxValueLength) {
            error = path + ": the label of entry " + std::to_string(i + 1) + " is longer than " +
                    std::to_string(CChannelTableFile::kMaxValueLength) + " characters";
            return false;
        }
        SiteReading entry;
        entry.channel = table.Entry(i).channel;
        entry.frequencyMHz = EntryFrequencyMHz(plans, table.Entry(i));
        out.push_back({ChannelIdOf(entry), label});
        pos = end + 1;
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
