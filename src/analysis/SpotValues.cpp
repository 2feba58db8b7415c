// Spot values: merge by position, average each channel in power, then strongest or weakest.
#include "analysis/SpotValues.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

struct ChannelSum {
    int32_t channel = 0;
    double milliwatts = 0.0;
    uint32_t count = 0;
    double firstDbm = 0.0;
    bool allEqual = true;

    // Equal readings give back exactly that reading: the round trip through milliwatts could
    // land a hair beside it and push a reading of -60 across the band edge at -60.
    double MeanDbm() const { return allEqual ? firstDbm : MilliwattsToDbm(milliwatts / count); }
};

struct Spot {
    int32_t x = 0;
    int32_t y = 0;
    std::vector<ChannelSum> channels; // a survey scans at most a few dozen channels
};

uint64_t keyOf(int32_t x, int32_t y) {
    return uint64_t{static_cast<uint32_t>(x)} << 32 | static_cast<uint32_t>(y);
}

void add(Spot& spot, int32_t channel, double dbm) {
    for (ChannelSum& sum : spot.channels) {
        if (sum.channel == channel) {
            sum.milliwatts += DbmToMilliwatts(dbm);
            ++sum.count;
            sum.allEqual = sum.allEqual && dbm == sum.firstDbm;
            return;
        }
    }
    spot.channels.push_back({channel, DbmToMilliwatts(dbm), 1, dbm, true});
}

// False when the spot has no value under the channel rule.
bool valueOf(const Spot& spot, const std::vector<int32_t>& channels, SpotValue& out) {
    out.x = spot.x;
    out.y = spot.y;
    out.readings = 0;
    if (channels.empty()) {
        double best = 0.0;
        for (const ChannelSum& sum : spot.channels) {
            const double mean = sum.MeanDbm();
            best = out.readings == 0 ? mean : std::max(best, mean);
            out.readings += sum.count;
        }
        out.dbm = best;
        return out.readings > 0;
    }
    double weakest = 0.0;
    for (size_t i = 0; i < channels.size(); ++i) {
        const auto it = std::find_if(spot.channels.begin(), spot.channels.end(),
                                     [&](const ChannelSum& s) { return s.channel == channels[i]; });
        if (it == spot.channels.end()) {
            return false;
        }
        const double mean = it->MeanDbm();
        weakest = i == 0 ? mean : std::min(weakest, mean);
        out.readings += it->count;
    }
    out.dbm = weakest;
    return true;
}

} // namespace

double DbmToMilliwatts(double dbm) {
    return std::pow(10.0, dbm / 10.0);
}

double MilliwattsToDbm(double milliwatts) {
    return 10.0 * std::log10(milliwatts);
}

double PowerMeanDbm(const double* dbm, size_t count) {
    double sum = 0.0;
    for (size_t i = 0; i < count; ++i) {
        sum += DbmToMilliwatts(dbm[i]);
    }
    return MilliwattsToDbm(sum / static_cast<double>(count));
}

std::vector<SpotValue> SpotValues(const std::vector<SurveyRecord>& records,
                                  const std::vector<int32_t>& channels) {
    std::vector<Spot> spots;
    std::unordered_map<uint64_t, size_t> index;
    for (const SurveyRecord& r : records) {
        if (r.channel == 0) {
            continue;
        }
        const auto [it, added] = index.emplace(keyOf(r.x, r.y), spots.size());
        if (added) {
            spots.push_back({r.x, r.y, {}});
        }
        add(spots[it->second], r.channel, r.rssi);
    }
    std::vector<SpotValue> values;
    values.reserve(spots.size());
    for (const Spot& spot : spots) {
        SpotValue v;
        if (valueOf(spot, channels, v)) {
            values.push_back(v);
        }
    }
    return values;
}

bool AllChannelsRead(const std::vector<SurveyRecord>& records, const std::vector<int32_t>& channels,
                     int32_t& missing) {
    for (const int32_t channel : channels) {
        const bool read = channel != 0 &&
                          std::any_of(records.begin(), records.end(),
                                      [&](const SurveyRecord& r) { return r.channel == channel; });
        if (!read) {
            missing = channel;
            return false;
        }
    }
    return true;
}
