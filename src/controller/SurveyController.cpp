// The survey controller's link start-up, channel table and measurement steps.
#include "controller/SurveyController.h"

#include <algorithm>

#include "controller/BusyScope.h"
#include "controller/SurveyTexts.h"
#include "files/ChannelTableFile.h"
#include "files/FileMessages.h"
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

void CSurveyController::StartLink(const std::string& portName) {
    CBusyScope busy(m_ui);
    m_link.Open(portName, kLinkBaud);
    m_ui.Pause(m_linkSettleMs);
    m_link.StartThread();
    m_receiver.RequestFirmwareVersion();
    m_ui.Pause(m_identityWaitMs);
    m_ui.Repaint();
}

void CSurveyController::OnChannelTable() {
    FileDialogRequest request;
    request.filter = kTableFilter;
    request.defaultExtension = kTableExtension;
    request.initialName = kTableInitialName;
    std::string path;
    if (m_ui.ChooseFileToOpen(request, path)) {
        LoadTableFile(path);
    }
}

bool CSurveyController::LoadTableFile(const std::string& path) {
    ChannelTableLoad result;
    {
        // Programming the board takes a command and its reply per channel.
        CBusyScope busy(m_ui);
        result = LoadChannelTable(path, m_receiver);
    }
    if (result.status == CT_OPEN_FAILED) {
        Message(result.message, filemsg::kFileOpenErrorCaption, kMbOk | kMbIconError);
        return false;
    }
    Message(result.message, kAppTitle, kMbOk);
    m_ui.Repaint();
    return result.status == CT_LOADED;
}

bool CSurveyController::ReadyToMeasure() {
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
        m_receiver.m_measurementPending.store(true);
        m_receiver.StartMeasurement();
    }
    m_survey->SetLocation(x, y, kLocationName);
    m_ui.ShowScreen(ISurveyUi::kScanScreen);
    m_ui.Repaint();
}

void CSurveyController::OnProgress() {
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
