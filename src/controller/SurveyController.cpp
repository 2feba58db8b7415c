// The survey controller's measurement steps and the points they store or delete.
#include "controller/SurveyController.h"

#include <algorithm>

#include "controller/BusyScope.h"
#include "controller/SurveyTexts.h"
#include "receiver/Receiver.h"
#include "survey/SurveyData.h"

using namespace surveytext;

CSurveyController::CSurveyController(CReceiver& receiver, ISurveyUi& ui)
    : m_receiver(receiver), m_ui(ui), m_link(receiver) {}

CSurveyController::~CSurveyController() {
    // The I/O thread stops before the store and the list it could outlive.
    m_link.Stop();
}

void CSurveyController::SetStartUpWaits(int linkSettleMs, int identityWaitMs) {
    m_linkSettleMs = linkSettleMs;
    m_identityWaitMs = identityWaitMs;
}

bool CSurveyController::ReadyToMeasure() {
    CheckLink();
    if (m_seenState != LinkState::kConnected) {
        // Said in the one notice, not a box per tap: the surveyor may be walking on.
        m_ui.ShowNotice(m_seenState == LinkState::kConnecting ? kBoardConnecting : kNoBoard);
        return false;
    }
    if (!m_receiver.TableLoaded()) {
        Message(kNoTableText, kAppTitle, kMbOk);
        return false;
    }
    // Before a site is open there is no survey to store into and no map to centre.
    return SiteIsOpen();
}

void CSurveyController::BeginMeasurement(int32_t x, int32_t y) {
    if (!SiteIsOpen()) {
        return;
    }
    {
        // The board acknowledges within a second; the wait must not look like a hang.
        CBusyScope busy(m_ui);
        m_measureGeneration = m_link.Link().Generation();
        m_receiver.m_measurementPending.store(true);
        m_receiver.StartMeasurement();
    }
    m_survey->SetLocation(x, y, kLocationName);
    m_ui.ShowScreen(ISurveyUi::kScanScreen);
    m_ui.Repaint();
}

void CSurveyController::OnProgress() {
    CheckLink();
    if (m_receiver.m_measurementPending.load() && m_receiver.m_measurementComplete.load()) {
        m_receiver.m_measurementPending.store(false);
        m_receiver.m_measurementComplete.store(false);
        if (SiteIsOpen()) {
            // Stored before the pause: a window closed or minimised meanwhile finds the point
            // in the survey, unsaved and journalled, and asks to save it.
            StorePoint();
            {
                CBusyScope busy(m_ui);
                m_ui.Pause(kScanEndPauseMs);
            }
            m_ui.ShowScreen(ISurveyUi::kMapScreen);
        }
    }
    m_ui.Repaint();
}

void CSurveyController::StorePoint() {
    std::vector<SurveyRecord> records = m_survey->ScanRecords();
    records.resize(m_survey->AppendPoint(records));
    m_bUnsavedChanges = true;
    journal::Entry entry;
    entry.type = journal::kPoint;
    entry.x = m_survey->m_nX;
    entry.y = m_survey->m_nY;
    entry.records = std::move(records);
    Journal(entry);
    int16_t strongest = 0;
    m_survey->GetStrongestRssi(strongest);
    // The point goes where it was stored, even if the map moved during the scan.
    m_ui.PointStored(m_survey->m_nX, m_survey->m_nY, strongest);
}

void CSurveyController::InspectPoint(int32_t x, int32_t y) {
    if (!SiteIsOpen() || !m_survey->FindNearest(x, y) || !m_ui.ShowPointInfo(*m_survey)) {
        return;
    }
    journal::Entry entry;
    entry.type = journal::kDelete;
    entry.position = m_survey->m_nNearestPos;
    entry.x = static_cast<int32_t>(m_survey->m_dNearestX);
    entry.y = static_cast<int32_t>(m_survey->m_dNearestY);
    entry.heldX = x;
    entry.heldY = y;
    m_survey->DeleteNearest();
    m_bUnsavedChanges = true;
    Journal(entry);
    m_ui.PointErased(x, y);
}

void CSurveyController::Message(const std::string& text, const char* caption, unsigned flags) {
    m_ui.MessageBox(text, caption, flags);
}
