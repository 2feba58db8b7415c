// Channel table entries for lks table new: plan and channel checked against the band plans, the
// label against the file's separators.
#include "TableEntries.h"

#include <algorithm>

#include "LksOptions.h"
#include "files/ChannelTableFile.h"
#include "receiver/BandPlan.h"
#include "receiver/ChannelEntry.h"

namespace {

const char* planName(uint8_t plan) {
    return IsPcsPlan(plan) ? "PCS 1900 MHz" : "cellular 800 MHz";
}

bool checkLabel(const std::string& arg, const std::string& label, std::string& reason) {
    if (label.find_first_of(",\r\n") != std::string::npos) {
        reason = "'" + arg + "': a label may not hold a comma or a line break";
        return false;
    }
    if (label.size() > kMaxLabelLength) {
        reason = "'" + arg.substr(0, 24) + "...': a label holds at most " +
                 std::to_string(kMaxLabelLength) + " characters";
        return false;
    }
    return true;
}

// "12.5k" (kHz), "1.25M" (MHz) or "12500" (Hz), as whole Hz.
bool bandwidthHz(const std::string& text, uint64_t& hz) {
    if (text.empty()) {
        return false;
    }
    const char unit = text.back();
    if (unit == 'k' || unit == 'K') {
        return ParseFixedPoint(text.substr(0, text.size() - 1), 3, hz);
    }
    if (unit == 'M') {
        return ParseFixedPoint(text.substr(0, text.size() - 1), 6, hz);
    }
    return ParseFixedPoint(text, 0, hz);
}

} // namespace

bool PlanHoldsChannel(const CBandPlan (&plans)[2], uint8_t plan, uint16_t channel) {
    if (plan > 1) {
        return false;
    }
    const CBandPlan& p = plans[plan];
    if (IsPcsPlan(plan)) {
        if (p.GetPcsSpacing() == 0) {
            return false;
        }
        return p.StepIndexToPcsChannel(p.PcsChannelToStepIndex(channel)) == channel;
    }
    const uint32_t hz = p.ChannelToFrequency(channel);
    return hz != 0 && p.FrequencyToChannel(hz) == channel;
}

std::string ChannelRanges(const CBandPlan (&plans)[2], uint8_t plan) {
    struct Range {
        uint32_t hz;
        uint32_t first;
        uint32_t last;
    };
    std::vector<Range> ranges;
    for (uint32_t n = 0; n < CChannelTableFile::kEndOfTable; ++n) {
        const ChannelEntry entry{plan, static_cast<uint16_t>(n), 0};
        if (!PlanHoldsChannel(plans, plan, entry.channel)) {
            continue;
        }
        if (!ranges.empty() && ranges.back().last + 1 == n) {
            ranges.back().last = n;
        } else {
            ranges.push_back({EntryFrequencyHz(plans, entry), n, n});
        }
    }
    // In frequency order, so the cellular band reads 990-1023 before 1-799.
    std::sort(ranges.begin(), ranges.end(),
              [](const Range& a, const Range& b) { return a.hz < b.hz; });
    std::string text;
    for (const Range& r : ranges) {
        text += (text.empty() ? "" : ", ") + std::to_string(r.first);
        if (r.last != r.first) {
            text += "-" + std::to_string(r.last);
        }
    }
    return text.empty() ? "none" : text;
}

bool ParseTableEntry(const std::string& arg, const CBandPlan (&plans)[2], TableEntry& out,
                     std::string& reason) {
    const size_t colon = arg.find(':');
    if (colon == std::string::npos) {
        reason = "'" + arg + "' is not PLAN:CHANNEL[:LABEL]";
        return false;
    }
    const size_t second = arg.find(':', colon + 1);
    const std::string planText = arg.substr(0, colon);
    const std::string channelText =
        arg.substr(colon + 1, second == std::string::npos ? std::string::npos : second - colon - 1);
    out.label = second == std::string::npos ? std::string() : arg.substr(second + 1);

    unsigned long plan = 0;
    if (!lks::ParseWhole(planText, 1, plan)) {
        reason = "'" + arg + "': the plan must be 0 (cellular 800 MHz) or 1 (PCS 1900 MHz)";
        return false;
    }
    out.plan = static_cast<uint8_t>(plan);
    unsigned long channel = 0;
    if (!lks::ParseWhole(channelText, CChannelTableFile::kEndOfTable, channel)) {
        reason = "'" + arg + "': the channel must be a whole number from 0 to 65534";
        return false;
    }
    if (channel == CChannelTableFile::kEndOfTable) {
        reason = "'" + arg + "': 65535 ends a channel table; it is not a channel";
        return false;
    }
    out.channel = static_cast<uint16_t>(channel);
    if (!PlanHoldsChannel(plans, out.plan, out.channel)) {
        reason = "'" + arg + "': the " + planName(out.plan) + " plan has no channel " +
                 std::to_string(channel) + " (its channels: " + ChannelRanges(plans, out.plan) +
                 ")";
        return false;
    }
    return checkLabel(arg, out.label, reason);
}

std::string ChannelTableText(unsigned spacingKHz, const std::vector<TableEntry>& entries) {
    const char* const kLineEnd = "\r\n";
    std::string text = std::to_string(CChannelTableFile::kFormat) + kLineEnd +
                       std::to_string(spacingKHz) + kLineEnd;
    // The loader wants the second comma even when no label follows.
    for (const TableEntry& e : entries) {
        text += std::to_string(e.plan) + "," + std::to_string(e.channel) + "," + e.label + kLineEnd;
    }
    return text + "0," + std::to_string(CChannelTableFile::kEndOfTable) + "," + kLineEnd;
}

bool ParseFrequencyEntry(const std::string& arg, FrequencyEntry& out, std::string& reason) {
    const size_t colon = arg.find(':');
    const size_t second = colon == std::string::npos ? colon : arg.find(':', colon + 1);
    if (colon == std::string::npos) {
        reason = "--freq '" + arg + "' is not MHZ:BANDWIDTH[:LABEL] (for example 851.0125:12.5k)";
        return false;
    }
    const std::string bandwidthText =
        arg.substr(colon + 1, second == std::string::npos ? std::string::npos : second - colon - 1);
    out.label = second == std::string::npos ? std::string() : arg.substr(second + 1);
    if (!ParseFixedPoint(arg.substr(0, colon), CChannelTableFile::kMHzDecimals, out.frequencyHz) ||
        out.frequencyHz == 0 || out.frequencyHz > CChannelTableFile::kMaxFrequencyHz) {
        reason = "--freq '" + arg +
                 "': the frequency must be in MHz, above 0 and up to 10000, to the Hz at most "
                 "(6 decimals)";
        return false;
    }
    uint64_t hz = 0;
    if (!bandwidthHz(bandwidthText, hz) || hz < CChannelTableFile::kMinBandwidthHz ||
        hz > CChannelTableFile::kMaxBandwidthHz) {
        reason = "--freq '" + arg +
                 "': the bandwidth must be 1k to 10M, with its unit (12.5k, 1.25M) or in Hz";
        return false;
    }
    out.bandwidthHz = static_cast<uint32_t>(hz);
    return checkLabel(arg, out.label, reason);
}

std::string FrequencyTableText(const std::vector<FrequencyEntry>& entries) {
    const char* const kLineEnd = "\r\n";
    std::string text = std::to_string(CChannelTableFile::kFrequencyFormat) + kLineEnd;
    for (const FrequencyEntry& e : entries) {
        text += FixedPointText(e.frequencyHz, CChannelTableFile::kMHzDecimals) + "," +
                FixedPointText(e.bandwidthHz, CChannelTableFile::kKHzDecimals) + "," + e.label +
                kLineEnd;
    }
    return text;
}
