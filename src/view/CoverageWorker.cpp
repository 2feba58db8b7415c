// The coverage worker's thread: one job at a time, the newest waiting one next, each result
// composed from the field it keeps between jobs.
#include "view/CoverageWorker.h"

#include <QPainter>
#include <QRegion>

#include <algorithm>

#include "analysis/LayerColours.h"
#include "platform/VectorState.h"
#include "platform/WindowMessages.h"

CCoverageWorker::CCoverageWorker(IMessageTarget& done, uint32_t messageId)
    : m_done(done), m_messageId(messageId) {
    // One core stays free for the surveyor's taps.
    const unsigned cores = std::thread::hardware_concurrency();
    m_layer.SetThreads(cores > 1 ? cores - 1 : 1);
}

CCoverageWorker::~CCoverageWorker() {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void CCoverageWorker::Submit(CoverageJob job) {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_pending) {
            job.touched.insert(job.touched.begin(), m_pending->touched.begin(),
                               m_pending->touched.end());
            job.recompose = job.recompose || m_pending->recompose;
        }
        m_pending = std::make_unique<CoverageJob>(std::move(job));
        if (!m_thread.joinable()) {
            m_thread = std::thread([this] { Run(); });
        }
    }
    m_wake.notify_all();
}

std::vector<CoverageResult> CCoverageWorker::TakeResults() {
    std::lock_guard<std::mutex> lock(m_lock);
    std::vector<CoverageResult> results(std::make_move_iterator(m_results.begin()),
                                        std::make_move_iterator(m_results.end()));
    m_results.clear();
    return results;
}

bool CCoverageWorker::Busy() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_working || m_pending != nullptr;
}

void CCoverageWorker::Hold(bool held) {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_held = held;
    }
    m_wake.notify_all();
}

bool CCoverageWorker::Holding() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_holding;
}

void CCoverageWorker::Run() {
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_pending != nullptr; });
        if (m_stop) {
            return;
        }
        const std::unique_ptr<CoverageJob> job = std::move(m_pending);
        m_working = true;
        m_holding = m_held;
        m_wake.wait(lock, [this] { return m_stop || !m_held; });
        m_holding = false;
        if (m_stop) {
            return;
        }
        lock.unlock();
        CoverageResult result = Work(*job);
        lock.lock();
        m_results.push_back(std::move(result));
        lock.unlock();
        // Announced before the worker counts as idle: once it is, the message is on its way.
        m_done.Post(m_messageId, 0, 0);
        lock.lock();
        m_working = false;
    }
}

CoverageResult CCoverageWorker::Work(const CoverageJob& job) {
    // The thread began as a copy of the user-interface thread's registers, and composing a
    // picture runs Qt's own code: either can leave the maths below several times slower.
    ClearVectorUpperHalves();
    if (job.planSerial != m_planSerial) {
        m_layer.Reset();
        m_planSerial = job.planSerial;
    }
    CoverageResult result;
    result.planSerial = job.planSerial;
    result.circleSerial = job.circleSerial;
    const PlanPixels& plan = *job.plan;
    LayerChange change;
    if (!m_layer.Update(job.readings.Readings(), plan.width, plan.height, job.choice,
                        CoverageBands(job.thresholdBands), change)) {
        return result;
    }
    result.radius = m_layer.Radius();
    result.spots = m_layer.SpotCount();
    const QRect planRect(0, 0, plan.width, plan.height);
    if (change.whole || job.recompose) {
        result.whole = true;
        result.image = Compose(job, planRect);
        return result;
    }
    QRegion changed;
    for (const FieldRect& r : change.rects) {
        changed += QRect(r.x, r.y, r.width, r.height);
    }
    for (const QPoint& p : job.touched) {
        changed += CCirclePens::Reach(p.x(), p.y()).intersected(planRect);
    }
    for (const QRect& rect : changed) {
        result.patches.push_back({rect, Compose(job, rect)});
    }
    return result;
}

QImage CCoverageWorker::Compose(const CoverageJob& job, const QRect& rect) const {
    const PlanPixels& plan = *job.plan;
    QImage image(rect.size(), QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    const CLayerColours colours(plan.palette, CoverageBands(job.thresholdBands), kCoverageOpacity);
    ComposeLayer(plan.indices.data(), m_layer.Bands().data(), plan.width, colours,
                 {rect.x(), rect.y(), rect.width(), rect.height()},
                 reinterpret_cast<uint32_t*>(image.bits()),
                 static_cast<size_t>(image.bytesPerLine()) / sizeof(uint32_t));
    // The circles over the colours, in the order they were painted, as on the plain map.
    const CCirclePens pens(CoverageBands(job.thresholdCircles));
    QPainter painter(&image);
    painter.translate(-rect.topLeft());
    painter.setClipRect(rect);
    pens.PaintReaching(painter, job.circles, rect);
    return image;
}
