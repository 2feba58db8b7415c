// The coverage overlay: settings, the jobs the survey's changes start, and the results laid onto
// the picture the map shows.
#include "view/CoverageOverlay.h"

#include <QPainter>

#include "view/MapCanvas.h"

CCoverageOverlay::CCoverageOverlay(CMapCanvas& canvas, IMessageTarget& target, uint32_t messageId)
    : m_canvas(canvas), m_worker(target, messageId) {}

const CBandSet& CCoverageOverlay::LayerBands() const {
    return CoverageBands(m_bThreshold);
}

const CBandSet& CCoverageOverlay::CircleBands() const {
    return CoverageBands(CirclesUseThreshold());
}

void CCoverageOverlay::SetShown(bool shown) {
    if (shown == m_bShown) {
        return;
    }
    m_bShown = shown;
    Forget();
    Update(true);
}

void CCoverageOverlay::SetChoice(const LayerChoice& choice) {
    if (choice == m_choice) {
        return;
    }
    m_choice = choice;
    Update(false);
}

void CCoverageOverlay::SetThresholdBands(bool threshold) {
    if (threshold == m_bThreshold) {
        return;
    }
    const bool circlesBefore = CirclesUseThreshold();
    m_bThreshold = threshold;
    const bool circlesNow = CirclesUseThreshold();
    if (circlesNow != circlesBefore) {
        m_canvas.SetCircleBands(CircleBands());
    }
    Update(circlesNow != circlesBefore);
}

void CCoverageOverlay::SetCirclesInThreshold(bool threshold) {
    if (threshold == m_bThresholdCircles) {
        return;
    }
    m_bThresholdCircles = threshold;
    if (m_bThreshold) {
        m_canvas.SetCircleBands(CircleBands());
        Update(true);
    }
}

void CCoverageOverlay::OnPlanChanged() {
    ++m_planSerial;
    m_bSurveyKnown = false;
    Forget();
}

void CCoverageOverlay::OnSurveyChanged() {
    m_bSurveyKnown = true;
    Update(false);
}

void CCoverageOverlay::OnPointStored(int32_t x, int32_t y) {
    // While the layer is off nothing is kept: switched on, it is composed whole.
    if (!m_bShown || !m_bSurveyKnown) {
        return;
    }
    // The new circle shows at once; the colours under it follow when the worker is done.
    if (!m_picture.isNull()) {
        m_canvas.PaintCircles(m_picture, CCirclePens::Reach(x, y), m_canvas.LastSerial() - 1);
    }
    m_touched.emplace_back(x, y);
    Update(false);
}

void CCoverageOverlay::OnPointErased(int32_t x, int32_t y) {
    if (!m_bShown || !m_bSurveyKnown) {
        return;
    }
    m_touched.emplace_back(x, y);
    Update(false);
}

const QImage* CCoverageOverlay::Picture() const {
    return m_bShown && !m_picture.isNull() ? &m_picture : nullptr;
}

void CCoverageOverlay::Forget() {
    m_picture = QImage();
    m_bWholeAsked = false;
    m_touched.clear();
}

void CCoverageOverlay::Update(bool recompose) {
    if (!m_bShown || !m_bSurveyKnown || !m_canvas.Plan()) {
        return;
    }
    CoverageJob job;
    if (!m_source || !m_source(job.readings)) {
        return;
    }
    job.planSerial = m_planSerial;
    job.plan = m_canvas.Plan();
    job.choice = m_choice;
    job.thresholdBands = m_bThreshold;
    job.thresholdCircles = CirclesUseThreshold();
    job.circles = m_canvas.Circles();
    job.circleSerial = m_canvas.LastSerial();
    job.touched.swap(m_touched);
    // Without a picture to patch, or one coming, the worker composes a whole one.
    job.recompose = recompose || (m_picture.isNull() && !m_bWholeAsked);
    m_bWholeAsked = m_bWholeAsked || job.recompose;
    m_worker.Submit(std::move(job));
}

bool CCoverageOverlay::TakeResults() {
    bool changed = false;
    for (CoverageResult& result : m_worker.TakeResults()) {
        // Results for another plan, or for a layer since switched off, show nothing.
        if (!m_bShown || result.planSerial != m_planSerial) {
            continue;
        }
        std::vector<QRect> areas;
        if (result.whole) {
            m_picture = std::move(result.image);
            m_bWholeAsked = false;
            areas.push_back(m_picture.rect());
        } else if (!m_picture.isNull()) {
            QPainter painter(&m_picture);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            for (const CoveragePatch& patch : result.patches) {
                painter.drawImage(patch.rect.topLeft(), patch.image);
                areas.push_back(patch.rect);
            }
        } else {
            continue;
        }
        // Circles painted since the job was handed over stay on top of what it brought.
        for (const QRect& area : areas) {
            m_canvas.PaintCircles(m_picture, area, result.circleSerial);
        }
        m_radius = result.radius;
        m_spots = result.spots;
        changed = true;
    }
    return changed;
}
