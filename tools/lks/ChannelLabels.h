// The labels of a channel table file ("plan,channel,label" or "MHz,kHz,label" lines), which the
// program itself ignores, for the report's list of channels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/SurveyChannels.h"

namespace lks {

struct ChannelLabel {
    ChannelId id;
    std::string label;
};

// Reads the table as the program would (a table it refuses is refused here too) and gives each
// entry's channel, frequency and label. False with a one-line reason.
bool ReadChannelLabels(const std::string& path, std::vector<ChannelLabel>& out, std::string& error);

// The label of a survey channel, or empty.
std::string LabelOf(const std::vector<ChannelLabel>& labels, const ChannelId& id);

} // namespace lks
