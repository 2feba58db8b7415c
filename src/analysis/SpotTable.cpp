// Spot table: channels listed first, then the readings sorted by spot and channel and summed in
// one pass, so that merging never costs more than a sort however many channels a spot holds.
#include "analysis/SpotTable.h"

#include <algorithm>
#include <unordered_map>

namespace {

uint64_t keyOf(int32_t x, int32_t y) {
    return uint64_t{static_cast<uint32_t>(x)} << 32 | static_cast<uint32_t>(y);
}

struct Entry {
    uint32_t spot;
    uint32_t channel;
    int16_t x16;
};

} // namespace

CSpotTable::CSpotTable(const std::vector<SiteReading>& readings)
    : m_channels(SurveyChannelsOf(readings)) {
    std::unordered_map<ChannelId, uint32_t, ChannelIdHash> channelIndex;
    for (size_t c = 0; c < m_channels.size(); ++c) {
        channelIndex.emplace(m_channels[c].id, static_cast<uint32_t>(c));
    }
    std::unordered_map<uint64_t, uint32_t> spotIndex;
    std::vector<Entry> entries;
    entries.reserve(readings.size());
    std::vector<uint32_t> perSpot;
    for (const SiteReading& r : readings) {
        const auto [it, added] = spotIndex.emplace(keyOf(r.x, r.y), uint32_t(m_spots.size()));
        if (added) {
            m_spots.push_back({r.x, r.y, 0, 0});
            perSpot.push_back(0);
        }
        if (r.channel == 0) {
            ++m_spots[it->second].noSignal;
            continue;
        }
        entries.push_back({it->second, channelIndex[ChannelIdOf(r)], r.rssiX16});
        ++perSpot[it->second];
    }
    // The entries bucketed by spot in one pass, then each spot's few sorted by channel.
    std::vector<uint32_t> start(m_spots.size() + 1, 0);
    for (size_t s = 0; s < m_spots.size(); ++s) {
        start[s + 1] = start[s] + perSpot[s];
    }
    std::vector<Entry> bySpot(entries.size());
    std::vector<uint32_t> fill(start.begin(), start.end() - 1);
    for (const Entry& e : entries) {
        bySpot[fill[e.spot]++] = e;
    }
    for (uint32_t s = 0; s < m_spots.size(); ++s) {
        const auto first = bySpot.begin() + start[s];
        const auto last = bySpot.begin() + start[s + 1];
        std::sort(first, last,
                  [](const Entry& a, const Entry& b) { return a.channel < b.channel; });
        m_spots[s].first = static_cast<uint32_t>(m_sums.size());
        for (auto e = first; e != last; ++e) {
            const double mw = DbmToMilliwatts(DbmOfX16(e->x16));
            if (m_sums.size() > m_spots[s].first && m_sums.back().channel == e->channel) {
                Sum& sum = m_sums.back();
                sum.milliwatts += mw;
                ++sum.count;
                sum.allEqual = sum.allEqual && e->x16 == sum.firstX16;
            } else {
                m_sums.push_back({e->channel, 1, mw, e->x16, true});
            }
        }
    }
}

bool CSpotTable::FindChannel(const ChannelId& id, size_t& index) const {
    const auto it = std::lower_bound(
        m_channels.begin(), m_channels.end(), id,
        [](const SurveyChannel& c, const ChannelId& wanted) { return c.id < wanted; });
    if (it == m_channels.end() || it->id != id) {
        return false;
    }
    index = static_cast<size_t>(it - m_channels.begin());
    return true;
}

size_t CSpotTable::NoSignalSpots() const {
    return static_cast<size_t>(std::count_if(m_spots.begin(), m_spots.end(),
                                             [](const Spot& s) { return s.noSignal > 0; }));
}

uint32_t CSpotTable::End(size_t spot) const {
    return spot + 1 < m_spots.size() ? m_spots[spot + 1].first
                                     : static_cast<uint32_t>(m_sums.size());
}

bool CSpotTable::ValueOfSum(const Spot& spot, const Sum* sum, double& dbm,
                            uint32_t& readings) const {
    if (sum == nullptr) {
        if (spot.noSignal == 0) {
            return false;
        }
        dbm = kNoSignalDbm;
        readings = spot.noSignal;
        return true;
    }
    readings = sum->count + spot.noSignal;
    // Equal readings give back exactly that reading, so that a reading on a threshold or a band
    // edge stays on it.
    dbm = spot.noSignal == 0 && sum->allEqual ? DbmOfX16(sum->firstX16)
                                              : MilliwattsToDbm(sum->milliwatts / readings);
    return true;
}

bool CSpotTable::Value(size_t spot, size_t channel, double& dbm, uint32_t& readings) const {
    const Sum* begin = m_sums.data() + m_spots[spot].first;
    const Sum* end = m_sums.data() + End(spot);
    const Sum* it = std::lower_bound(
        begin, end, channel, [](const Sum& s, size_t wanted) { return s.channel < wanted; });
    return ValueOfSum(m_spots[spot], it != end && it->channel == channel ? it : nullptr, dbm,
                      readings);
}

std::vector<SpotValue> CSpotTable::Values(const std::vector<size_t>& channels,
                                          SpotCombine combine) const {
    std::vector<size_t> chosen = channels;
    if (chosen.empty()) {
        for (size_t c = 0; c < m_channels.size(); ++c) {
            chosen.push_back(c);
        }
    }
    std::vector<SpotValue> values;
    values.reserve(m_spots.size());
    for (size_t s = 0; s < m_spots.size(); ++s) {
        SpotValue v;
        v.x = m_spots[s].x;
        v.y = m_spots[s].y;
        size_t found = 0;
        for (const size_t c : chosen) {
            double dbm = 0.0;
            uint32_t readings = 0;
            if (!Value(s, c, dbm, readings)) {
                continue;
            }
            const bool better = combine == SpotCombine::Strongest ? dbm > v.dbm : dbm < v.dbm;
            v.dbm = found == 0 || better ? dbm : v.dbm;
            v.readings += readings;
            ++found;
        }
        // A spot of a survey that read no channel at all still stands for the dead place it is.
        if (chosen.empty() && m_spots[s].noSignal > 0) {
            v.dbm = kNoSignalDbm;
            v.readings = m_spots[s].noSignal;
            found = 1;
        }
        const bool complete =
            combine == SpotCombine::Strongest ? found > 0 : found == chosen.size();
        if (complete && found > 0) {
            values.push_back(v);
        }
    }
    return values;
}
