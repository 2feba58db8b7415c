// The radio channels of a survey. A channel is its number and its frequency together: the same
// number names different carriers in the two bands, and a PCS number moves with the spacing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/SiteReadings.h"

struct ChannelId {
    int32_t channel = 0;
    int64_t kHz = 0; // the frequency to the kHz; -1 when the file holds no usable frequency

    bool operator==(const ChannelId& o) const { return channel == o.channel && kHz == o.kHz; }
    bool operator!=(const ChannelId& o) const { return !(*this == o); }
    // By frequency, then number, so that lists run up each band.
    bool operator<(const ChannelId& o) const {
        return kHz != o.kHz ? kHz < o.kHz : channel < o.channel;
    }
};

struct ChannelIdHash {
    size_t operator()(const ChannelId& id) const;
};

ChannelId ChannelIdOf(const SiteReading& reading);

enum class RadioBand { Cellular800, Pcs1900, Other };

RadioBand BandOfFrequency(double mhz);
// "800 MHz cellular", "1900 MHz PCS" or "other band".
const char* BandName(RadioBand band);

struct SurveyChannel {
    ChannelId id;
    double frequencyMHz = 0.0;
    RadioBand band = RadioBand::Other;
};

// "333 (879.990 MHz, 800 MHz cellular)"
std::string ChannelText(const SurveyChannel& channel);
// "879.990" (three decimals: the kHz that tell channels apart)
std::string MhzText(double mhz);

// Every channel read in the survey, by frequency; locations without readings name none.
std::vector<SurveyChannel> SurveyChannelsOf(const std::vector<SiteReading>& readings);
