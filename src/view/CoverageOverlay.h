// The coverage layer as the map view shows it: whether it is on and what it shows, the picture of
// the plan coloured by it with the survey's circles over it, and the requests that keep that
// picture up to date as points are stored, deleted and recovered. The worker does the computing;
// until its picture is ready the one before stays on the map. User-interface thread only.
#pragma once

#include <QImage>
#include <QPoint>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "analysis/CoverageLayer.h"
#include "analysis/ReadingsSnapshot.h"
#include "view/CoverageWorker.h"

class CMapCanvas;
class IMessageTarget;

class CCoverageOverlay {
public:
    // The survey's readings as they stand; false while there is no survey.
    using ReadingsSource = std::function<bool(CReadingsSnapshot&)>;

    // The worker's results are announced by posting messageId to target.
    CCoverageOverlay(CMapCanvas& canvas, IMessageTarget& target, uint32_t messageId);

    void SetReadingsSource(ReadingsSource source) { m_source = std::move(source); }

    // --- What the layer shows (kept as long as the program runs) ---
    bool Shown() const { return m_bShown; }
    void SetShown(bool shown);
    const LayerChoice& Choice() const { return m_choice; }
    void SetChoice(const LayerChoice& choice);
    // The pass-line bands instead of the handheld's, for the layer and, when asked, the circles.
    bool ThresholdBands() const { return m_bThreshold; }
    void SetThresholdBands(bool threshold);
    bool CirclesInThreshold() const { return m_bThresholdCircles; }
    void SetCirclesInThreshold(bool threshold);
    const CBandSet& LayerBands() const;
    const CBandSet& CircleBands() const;

    // --- The survey as the map is told of it ---
    // A new picture: nothing to colour until its survey is complete.
    void OnPlanChanged();
    // The survey's points changed (opened, recovered, deleted): the layer follows.
    void OnSurveyChanged();
    // A point's circle was just painted on the canvas or taken off it.
    void OnPointStored(int32_t x, int32_t y);
    void OnPointErased(int32_t x, int32_t y);

    // The picture the map shows instead of the plain canvas; null while the layer is off or
    // nothing has been computed for this plan yet.
    const QImage* Picture() const;
    // The worker said results are ready: they go onto the picture. True when it changed.
    bool TakeResults();

    // The radius and number of spots of the layer on the map.
    double Radius() const { return m_radius; }
    size_t Spots() const { return m_spots; }
    CCoverageWorker& Worker() { return m_worker; }

private:
    bool CirclesUseThreshold() const { return m_bThreshold && m_bThresholdCircles; }
    void Update(bool recompose);
    void Forget();

    CMapCanvas& m_canvas;
    ReadingsSource m_source;
    bool m_bShown = false;
    bool m_bThreshold = false;
    bool m_bThresholdCircles = false;
    LayerChoice m_choice;
    // The plan the picture is for, and whether its survey has been told yet.
    uint64_t m_planSerial = 0;
    bool m_bSurveyKnown = false;
    QImage m_picture;
    // A whole picture has been asked for and has not come back yet.
    bool m_bWholeAsked = false;
    std::vector<QPoint> m_touched;
    double m_radius = 0.0;
    size_t m_spots = 0;
    CCoverageWorker m_worker;
};
