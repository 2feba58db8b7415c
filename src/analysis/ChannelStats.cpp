// Channel statistics: records split by channel, then each channel's point values through the
// same merge as the spot values, so that a point counts once however often it was scanned.
#include "analysis/ChannelStats.h"

#include <algorithm>
#include <map>

#include "analysis/SpotValues.h"

std::vector<ChannelStats> ChannelStatistics(const std::vector<SurveyRecord>& records,
                                            const PlanRect& area, double thresholdDbm) {
    std::map<int32_t, std::vector<SurveyRecord>> byChannel;
    for (const SurveyRecord& r : records) {
        if (r.channel != 0 && area.Contains(r.x, r.y)) {
            byChannel[r.channel].push_back(r);
        }
    }
    std::vector<ChannelStats> stats;
    stats.reserve(byChannel.size());
    for (const auto& [channel, readings] : byChannel) {
        // With one channel in the records, a spot's strongest channel is that channel.
        const std::vector<SpotValue> spots = SpotValues(readings, {});
        std::vector<double> values;
        values.reserve(spots.size());
        ChannelStats s;
        s.channel = channel;
        for (const SpotValue& spot : spots) {
            values.push_back(spot.dbm);
            s.atOrAbove += spot.dbm >= thresholdDbm ? 1 : 0;
        }
        std::sort(values.begin(), values.end());
        s.points = static_cast<uint32_t>(values.size());
        s.minDbm = values.front();
        s.maxDbm = values.back();
        const size_t middle = values.size() / 2;
        s.medianDbm =
            values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
        stats.push_back(s);
    }
    return stats;
}
