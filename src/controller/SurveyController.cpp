// The survey controller's waits and the requests kept during them, and the measurement steps and
// the points they store or delete.
#include "controller/SurveyController.h"

#include <algorithm>

#include "controller/BusyScope.h"
#include "controller/SurveyTexts.h"
#include "receiver/Receiver.h"
#include "survey/SurveyData.h"

using namespace surveytext;

CSurveyController::CSurveyController(CReceiver& receiver, const SurveyUi& ui, IFileSystem& fs)
    : m_receiver(receiver), m_prompts(ui.prompts), m_map(ui.map), m_board(ui.board),
      m_timer(ui.timer), m_fs(fs), m_link(receiver), m_journal(fs) {}

CSurveyController::~CSurveyController() {
    m_timer.Stop();
    // The I/O thread stops before the store and the list it could outlive.
    m_link.Stop();
}

void CSurveyController::SetStartUpWaits(int linkSettleMs, int identityWaitMs) {
    m_linkSettleMs = linkSettleMs;
    m_identityWaitMs = identityWaitMs;
}

void CSurveyController::BeginWait(Wait wait, int ms) {
    m_wait = wait;
    m_timer.Start(ms, [this] { OnTimer(); });
}

void CSurveyController::OnTimer() {
    switch (m_wait) {
    case Wait::kNone:
        return;
    case Wait::kLinkSettle:
        m_link.StartThread();
        m_receiver.RequestFirmwareVersion();
        BeginWait(Wait::kIdentity, m_identityWaitMs);
        return;
    case Wait::kIdentity:
        FinishStartUp();
        break;
    case Wait::kScanEnd:
        m_wait = Wait::kNone;
        m_prompts.SetBusy(false);
        m_map.ShowScreen(ISurveyMap::kMapScreen);
        m_map.Repaint();
        break;
    }
    RunDeferred();
}

bool CSurveyController::Defer(const Request& request) {
    if (m_wait == Wait::kNone) {
        return false;
    }
    if (request.kind == Request::kTap) {
        // Taps made while the scan stayed on screen mean one place: the last one.
        m_deferred.erase(std::remove_if(m_deferred.begin(), m_deferred.end(),
                                        [](const Request& r) { return r.kind == Request::kTap; }),
                         m_deferred.end());
    }
    m_deferred.push_back(request);
    return true;
}

void CSurveyController::RunDeferred() {
    // A request may start a wait of its own (a tap's scan ends in one); the rest keep for it.
    while (m_wait == Wait::kNone && !m_deferred.empty()) {
        const Request request = m_deferred.front();
        m_deferred.pop_front();
        Run(request);
    }
}

void CSurveyController::Run(const Request& request) {
    switch (request.kind) {
    case Request::kOpenSite:
        OnOpenSite();
        break;
    case Request::kOpenSiteFile:
        OpenSiteFile(request.path);
        break;
    case Request::kSaveSite:
        OnSaveSite();
        break;
    case Request::kSaveSiteAs:
        OnSaveSiteAs();
        break;
    case Request::kChannelTable:
        OnChannelTable();
        break;
    case Request::kLoadTable:
        LoadTableFile(request.path);
        break;
    case Request::kTap:
        OnTap(request.point);
        break;
    }
}

bool CSurveyController::ReadyToMeasure() {
    CheckLink();
    if (m_seenState != LinkState::kConnected) {
        // Said in the one notice, not a box per tap: the surveyor may be walking on.
        m_board.ShowNotice(m_seenState == LinkState::kConnecting ? kBoardConnecting : kNoBoard);
        return false;
    }
    if (!m_receiver.TableLoaded()) {
        Message(kNoTableText, kAppTitle, kMbOk);
        return false;
    }
    // Before a site is open there is no survey to store into and no map to centre.
    return SiteIsOpen();
}

void CSurveyController::OnTap(MapPoint p) {
    if (Defer({Request::kTap, std::string(), p})) {
        return;
    }
    // A scan that completed before this tap was handled is stored first, where it was taken;
    // the tap then waits for the end of its pause.
    if (m_scan != 0 && m_receiver.GetScanState(m_scan) == ScanState::kComplete) {
        FinishScan();
        if (Defer({Request::kTap, std::string(), p})) {
            return;
        }
    }
    if (ReadyToMeasure()) {
        BeginMeasurement(m_map.CentreOn(p));
    }
}

void CSurveyController::BeginMeasurement(MapPoint p) {
    {
        // The board acknowledges within a second; the wait must not look like a hang.
        CBusyScope busy(m_prompts);
        m_scan = m_receiver.BeginScan();
    }
    m_survey->SetLocation(p.x, p.y, kLocationName);
    m_map.ShowReadings(m_receiver.CurrentReadings());
    m_map.ShowScreen(ISurveyMap::kScanScreen);
    m_map.Repaint();
}

void CSurveyController::OnProgress() {
    CheckLink();
    m_board.ShowBoardIdentity(m_receiver.GetIdentity());
    m_map.ShowReadings(m_receiver.CurrentReadings());
    if (m_scan != 0 && m_receiver.GetScanState(m_scan) == ScanState::kComplete) {
        FinishScan();
    }
    m_map.Repaint();
}

void CSurveyController::FinishScan() {
    std::vector<ChannelReading> readings;
    const bool taken = m_receiver.TakeScan(m_scan, readings);
    m_scan = 0;
    if (!taken || !SiteIsOpen()) {
        return;
    }
    // Stored before the pause: a window closed or minimised meanwhile finds the point in the
    // survey, unsaved and journalled, and asks to save it.
    StorePoint(readings);
    m_prompts.SetBusy(true);
    BeginWait(Wait::kScanEnd, m_scanEndPauseMs);
}

void CSurveyController::StorePoint(const std::vector<ChannelReading>& readings) {
    std::vector<SurveyRecord> records = m_survey->ScanRecords(readings);
    records.resize(m_survey->AppendPoint(records));
    m_readings.Append(records);
    m_bUnsavedChanges = true;
    m_board.ShowUncalibrated(std::any_of(records.begin(), records.end(),
                                         [](const SurveyRecord& r) { return r.uncalibrated; }));
    journal::Entry entry;
    entry.type = journal::kPoint;
    entry.x = m_survey->m_nX;
    entry.y = m_survey->m_nY;
    entry.records = std::move(records);
    Journal(entry);
    int16_t strongest = 0;
    m_survey->GetStrongestRssi(strongest);
    // The point goes where it was stored, even if the map moved during the scan.
    m_map.PointStored(m_survey->m_nX, m_survey->m_nY, strongest);
}

void CSurveyController::OnHold(MapPoint p) {
    // The location dialog speaks of the map as the surveyor sees it, not of a scan on screen.
    if (m_wait != Wait::kNone || !SiteIsOpen() || !m_survey->FindNearest(p.x, p.y)) {
        return;
    }
    PointInfo info;
    info.x = m_survey->m_dNearestX;
    info.y = m_survey->m_dNearestY;
    info.channel = m_survey->m_nNearestChannel;
    info.rssi = m_survey->m_nNearestRssi;
    if (!m_prompts.ShowPointInfo(info)) {
        return;
    }
    journal::Entry entry;
    entry.type = journal::kDelete;
    entry.position = m_survey->m_nNearestPos;
    entry.x = static_cast<int32_t>(m_survey->m_dNearestX);
    entry.y = static_cast<int32_t>(m_survey->m_dNearestY);
    entry.heldX = p.x;
    entry.heldY = p.y;
    m_survey->DeleteNearest();
    m_readings.EraseRunAt(static_cast<size_t>(entry.position) - 1);
    m_bUnsavedChanges = true;
    Journal(entry);
    m_map.PointErased(entry.x, entry.y);
    m_map.SurveyChanged();
}

std::vector<ChannelReading> CSurveyController::TableChannels() const {
    return m_receiver.CurrentReadings();
}

void CSurveyController::Message(const std::string& text, const char* caption, unsigned flags) {
    m_prompts.MessageBox(text, caption, flags);
}
