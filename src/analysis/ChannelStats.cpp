// Channel statistics: each channel's spot values inside the area, sorted once.
#include "analysis/ChannelStats.h"

#include <algorithm>

#include "analysis/SiteReadings.h"

std::vector<ChannelStats> ChannelStatistics(const CSpotTable& table, const PlanRect& area,
                                            double thresholdDbm) {
    std::vector<ChannelStats> stats;
    std::vector<double> values;
    for (size_t c = 0; c < table.Channels().size(); ++c) {
        values.clear();
        ChannelStats s;
        s.channel = c;
        for (size_t spot = 0; spot < table.SpotCount(); ++spot) {
            double dbm = 0.0;
            uint32_t readings = 0;
            if (!area.Contains(table.X(spot), table.Y(spot)) ||
                !table.Value(spot, c, dbm, readings)) {
                continue;
            }
            values.push_back(dbm);
            s.atOrAbove += dbm >= thresholdDbm ? 1 : 0;
            s.noSignal += IsNoSignal(dbm) ? 1 : 0;
        }
        if (values.empty()) {
            continue;
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
