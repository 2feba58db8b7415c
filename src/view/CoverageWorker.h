// The coverage layer's worker: a thread of its own that brings the layer's field up to date with
// the survey and composes the plan coloured by it, with the survey's circles over it, while the
// surveyor goes on tapping. It touches no widget: a job carries copies (or shared, unchanging
// pieces) of all it reads, and results wait under its lock until the user-interface thread takes
// them, after a message says they are there.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "analysis/CoverageLayer.h"
#include "analysis/ReadingsSnapshot.h"
#include "view/MapCanvas.h"

class IMessageTarget;

// The layer's (or the circles') bands: the pass line's when threshold, the handheld's otherwise.
inline const CBandSet& CoverageBands(bool threshold) {
    return threshold ? CBandSet::Threshold() : CBandSet::Handheld();
}

struct CoverageJob {
    uint64_t planSerial = 0; // the plan it is for; a new plan starts the layer afresh
    std::shared_ptr<const PlanPixels> plan;
    CReadingsSnapshot readings;
    LayerChoice choice;
    bool thresholdBands = false;   // the layer in the pass-line bands, not the handheld's
    bool thresholdCircles = false; // the circles too
    std::vector<MapCircle> circles;
    uint64_t circleSerial = 0; // the newest circle among circles
    // Places whose circles came or went since the job before: their circles are composed again.
    std::vector<QPoint> touched;
    // Compose the whole picture, not only what changed (there is no picture to patch).
    bool recompose = false;
};

struct CoveragePatch {
    QRect rect;
    QImage image;
};

struct CoverageResult {
    uint64_t planSerial = 0;
    uint64_t circleSerial = 0; // circles up to this one are in the picture
    bool whole = false;
    QImage image;                       // whole: the plan coloured, with the circles
    std::vector<CoveragePatch> patches; // otherwise: the parts that changed
    double radius = 0.0;
    size_t spots = 0;
};

class CCoverageWorker {
public:
    // done is posted, from the worker's thread, each time a result is ready; it must outlive
    // the worker.
    CCoverageWorker(IMessageTarget& done, uint32_t messageId);
    ~CCoverageWorker();
    CCoverageWorker(const CCoverageWorker&) = delete;
    CCoverageWorker& operator=(const CCoverageWorker&) = delete;

    // Hands over a job. One still waiting is replaced by it: only the newest state of the survey
    // is worth computing, but the places it touched are kept.
    void Submit(CoverageJob job);
    // The results ready so far, oldest first.
    std::vector<CoverageResult> TakeResults();
    // A job running or waiting, or a result not yet announced.
    bool Busy();

    // Tests: while held, the worker takes a job and then waits before computing it.
    void Hold(bool held);
    // A job taken and waiting at the hold.
    bool Holding();

private:
    void Run();
    CoverageResult Work(const CoverageJob& job);
    QImage Compose(const CoverageJob& job, const QRect& rect) const;

    IMessageTarget& m_done;
    uint32_t m_messageId;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::unique_ptr<CoverageJob> m_pending;
    std::deque<CoverageResult> m_results;
    bool m_working = false;
    bool m_held = false;
    bool m_holding = false;
    bool m_stop = false;
    std::thread m_thread;
    // The worker thread's own.
    CCoverageLayer m_layer;
    uint64_t m_planSerial = 0;
};
