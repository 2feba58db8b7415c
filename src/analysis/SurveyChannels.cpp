// Survey channels: identities to the kHz, bands by frequency, the list sorted once.
#include "analysis/SurveyChannels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <unordered_set>

namespace {

// The receiver's two plans: 800 MHz cellular (both link directions) and 1900 MHz PCS.
constexpr double kCellularLowMHz = 824.0;
constexpr double kCellularHighMHz = 894.0;
constexpr double kPcsLowMHz = 1850.0;
constexpr double kPcsHighMHz = 1990.0;
constexpr double kKHzPerMHz = 1000.0;
// Beyond any radio frequency: a value out there is a damaged record, not a carrier.
constexpr double kMaxMHz = 1.0e6;

} // namespace

ChannelId ChannelIdOf(const SiteReading& reading) {
    const double mhz = reading.frequencyMHz;
    const bool usable = std::isfinite(mhz) && mhz >= 0.0 && mhz < kMaxMHz;
    return {reading.channel, usable ? std::llround(mhz * kKHzPerMHz) : -1};
}

RadioBand BandOfFrequency(double mhz) {
    if (mhz >= kCellularLowMHz && mhz <= kCellularHighMHz) {
        return RadioBand::Cellular800;
    }
    if (mhz >= kPcsLowMHz && mhz <= kPcsHighMHz) {
        return RadioBand::Pcs1900;
    }
    return RadioBand::Other;
}

const char* BandName(RadioBand band) {
    switch (band) {
    case RadioBand::Cellular800:
        return "800 MHz cellular";
    case RadioBand::Pcs1900:
        return "1900 MHz PCS";
    case RadioBand::Other:
        break;
    }
    return "other band";
}

std::string MhzText(double mhz) {
    if (!std::isfinite(mhz)) {
        return "unknown";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", mhz);
    return text;
}

std::string ChannelText(const SurveyChannel& channel) {
    return std::to_string(channel.id.channel) + " (" + MhzText(channel.frequencyMHz) + " MHz, " +
           BandName(channel.band) + ")";
}

size_t ChannelIdHash::operator()(const ChannelId& id) const {
    return std::hash<int64_t>()(id.kHz * 65599 + id.channel);
}

std::vector<SurveyChannel> SurveyChannelsOf(const std::vector<SiteReading>& readings) {
    // A survey repeats a few dozen channels many times over: a set sees each once.
    std::unordered_set<ChannelId, ChannelIdHash> seen;
    std::vector<SurveyChannel> channels;
    for (const SiteReading& r : readings) {
        if (r.channel == 0) {
            continue;
        }
        const ChannelId id = ChannelIdOf(r);
        if (seen.insert(id).second) {
            channels.push_back({id, id.kHz < 0 ? r.frequencyMHz : id.kHz / kKHzPerMHz,
                                BandOfFrequency(r.frequencyMHz)});
        }
    }
    std::sort(channels.begin(), channels.end(),
              [](const SurveyChannel& a, const SurveyChannel& b) { return a.id < b.id; });
    return channels;
}
