// The live coverage layer's field: the same values, radius rule, field and bands as a coverage
// map made on the desktop, kept for the whole plan as one band per pixel and brought up to date
// after a change of the survey by computing again only the part of the plan the change can reach.
// Whatever the order of changes, the bands are those a computation from scratch would give.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/CoverageField.h"
#include "analysis/RssiBands.h"
#include "analysis/SiteReadings.h"
#include "analysis/SpotTable.h"
#include "analysis/SurveyChannels.h"

// What the layer shows at each spot: the strongest channel (best server), or one channel, where
// spots that never read it count for nothing.
struct LayerChoice {
    bool bestServer = true;
    ChannelId channel; // when not bestServer

    bool operator==(const LayerChoice& o) const {
        return bestServer == o.bestServer && (bestServer || channel == o.channel);
    }
    bool operator!=(const LayerChoice& o) const { return !(*this == o); }
};

// The spots of a survey as the layer values them (and as a desktop map of the same choice does).
std::vector<SpotValue> LayerSpots(const CSpotTable& table, const LayerChoice& choice);

// What an update changed: the whole plan, or these rectangles of it (none when nothing did).
struct LayerChange {
    bool whole = false;
    std::vector<FieldRect> rects;
};

class CCoverageLayer {
public:
    // Threads the field may use (0: one per core).
    void SetThreads(unsigned threads) { m_threads = threads; }

    // Brings the bands up to date with the survey's readings on a width x height plan, valued by
    // choice and banded by bands; change says which pixels may now differ. The whole plan is
    // computed again after Reset, or when the plan, the choice, the bands or the radius (which
    // follows the spots' spacing) changed; otherwise only around the spots that changed. False,
    // with the layer reset, when the plan has no size.
    bool Update(const std::vector<SiteReading>& readings, int width, int height,
                const LayerChoice& choice, const CBandSet& bands, LayerChange& change);
    // Forgets everything: the next update computes the whole plan.
    void Reset();

    // One band index per plan pixel, row by row from the top: the band of the field there,
    // kNoBand where no spot lies within the radius, kNoSignalBand where nothing was received.
    const std::vector<uint8_t>& Bands() const { return m_bands; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    double Radius() const { return m_radius; }
    size_t SpotCount() const { return m_spots.size(); }

private:
    // The rectangles around the spots that differ from the last update's; false when the spots
    // kept in both changed their order, which can change a tie or a sum anywhere they reach.
    bool ChangedRects(const std::vector<SpotValue>& spots, double radius,
                      std::vector<FieldRect>& rects) const;
    void ComputeWhole(const std::vector<SpotValue>& spots, const FieldOptions& options,
                      const CBandSet& bands);
    void ComputeRect(const std::vector<SpotValue>& spots, const FieldOptions& options,
                     const CBandSet& bands, const FieldRect& rect);

    unsigned m_threads = 0;
    bool m_valid = false;
    int m_width = 0;
    int m_height = 0;
    LayerChoice m_choice;
    std::vector<double> m_bandEdges;
    bool m_bandsStrict = true;
    double m_radius = 0.0;
    std::vector<SpotValue> m_spots;
    std::vector<uint8_t> m_bands;
};
