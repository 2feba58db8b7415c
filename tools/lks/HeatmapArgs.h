// The options of lks heatmap, parsed strictly: numbers that mean nothing for a map (a power of
// 1e308, a band edge named twice) are refused with a line saying why.
#pragma once

#include <string>
#include <vector>

#include "HeatmapImage.h"
#include "LksOptions.h"
#include "analysis/CoverageField.h"
#include "analysis/RssiBands.h"

namespace lks {

struct HeatmapArgs {
    std::string site;
    std::string output;
    std::vector<ChannelRequest> channels;
    FieldOptions field;
    bool radiusGiven = false;
    bool powerGiven = false;
    CBandSet bands = CBandSet::Threshold();
    std::string bandsName = "threshold";
    HeatmapStyle style;
    std::string scaleText;
};

// 0 to go on; -1 after printing the usage; otherwise the exit code after the message.
int ParseHeatmapArgs(int argc, char** argv, HeatmapArgs& a);

} // namespace lks
