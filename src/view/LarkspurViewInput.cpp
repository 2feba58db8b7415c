// The survey interaction of the map view: start-up of the receiver link, command routing, taps,
// press-and-hold, the centre key and the receiver's progress message that ends a measurement.
#include "view/LarkspurView.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QTimerEvent>

#include "platform/Prompts.h"
#include "platform/WindowMessages.h"
#include "receiver/Receiver.h"
#include "receiver/ReceiverLink.h"
#include "shell/AboutDlg.h"
#include "shell/ColorCodesDlg.h"
#include "shell/HelpDlg.h"
#include "shell/LocationInfoDlg.h"
#include "shell/PlayWaveResource.h"
#include "shell/QtMessageTarget.h"
#include "shell/WindowMessageEvent.h"
#include "survey/SurveyData.h"
#include "view/ViewCommands.h"
#include "view/WaitCursor.h"

// Registered once at start-up; the receiver registers the same name when it posts.
static const uint32_t kDrawMessage = RegisterWindowMessage("LKSS_DRAW");

namespace {

const char* const kLocationName = "TEST";
const char* const kAppTitle = "Larkspur";
const char* const kNoTableText = "No Channel Table Loaded.";
// The joystick's centre press on keypads that send the handheld's key code.
constexpr int kCentreKeyCode = 0x86;

int s_linkSettleMs = CLarkspurView::kLinkSettleMs;
int s_identityWaitMs = CLarkspurView::kIdentityWaitMs;

// Blocks the user's input for ms while the window keeps painting and posted messages (the
// receiver's progress) are handled, as the handheld's fixed waits did under the busy cursor.
void waitShowing(int ms) {
    if (ms <= 0) {
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

bool isCentreKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
           event->key() == kCentreKeyCode || event->nativeVirtualKey() == kCentreKeyCode;
}

} // namespace

CLarkspurView::LinkBinding::~LinkBinding() {
    if (receiver != nullptr && receiver->m_viewWnd.load() == target.get()) {
        // The I/O thread must not post to a target that is about to go.
        StopReceiverLink();
        receiver->m_viewWnd.store(nullptr);
    }
}

void CLarkspurView::SetStartUpWaitsForTesting(int linkSettleMs, int identityWaitMs) {
    s_linkSettleMs = linkSettleMs;
    s_identityWaitMs = identityWaitMs;
}

void CLarkspurView::StartUp(const std::string& portName) {
    m_link.target = std::make_unique<CQtMessageTarget>(this);
    m_link.receiver = &m_receiver;
    m_receiver.m_viewWnd.store(m_link.target.get());

    CWaitCursor wait;
    OpenReceiverLink(portName, kLinkBaud);
    waitShowing(s_linkSettleMs);
    StartReceiverThread();
    m_receiver.RequestFirmwareVersion();
    waitShowing(s_identityWaitMs);
    RequestRepaint();
}

bool CLarkspurView::OnCommand(int id) {
    switch (id) {
    case kCmdOpenSite:
        OnOpenSite();
        return true;
    case kCmdSaveSite:
        OnSaveSite();
        return true;
    case kCmdChannelTable:
        OnChannelTable();
        return true;
    case kCmdZoomIn:
        OnZoomIn();
        return true;
    case kCmdZoomOut:
        OnZoomOut();
        return true;
    case kCmdHelp: {
        CHelpDlg dialog(this);
        dialog.DoModal();
        return true;
    }
    case kCmdAbout: {
        CAboutDlg dialog(this);
        dialog.DoModal();
        return true;
    }
    case kCmdColorCodes: {
        CColorCodesDlg dialog(this);
        dialog.DoModal();
        return true;
    }
    default:
        return false;
    }
}

bool CLarkspurView::SiteIsOpen() const {
    return CurrentSurvey() != nullptr && HasSitePicture();
}

void CLarkspurView::BeginMeasurement() {
    {
        // The board acknowledges within a second; the wait must not look like a hang.
        CWaitCursor wait;
        m_receiver.m_measurementPending.store(true);
        m_receiver.StartMeasurement();
    }
    CurrentSurvey()->SetLocation(Viewport().GetCentreX(), Viewport().GetCentreY(), kLocationName);
    SetScreenMode(kScanScreen);
    RequestRepaint();
}

void CLarkspurView::OnTap(const QPoint& p) {
    if (!m_receiver.m_tableLoaded) {
        ThePrompts().MessageBox(kNoTableText, kAppTitle, kMbOk);
        return;
    }
    // Before a site is open there is no survey to store into and no map to centre.
    if (!SiteIsOpen()) {
        return;
    }
    CentreOnTap(p);
    BeginMeasurement();
}

void CLarkspurView::OnCentreKey() {
    PlayWaveResource("PING");
    // The centre press takes a point where the marker stands, exactly as a tap there would.
    if (!m_receiver.m_tableLoaded) {
        ThePrompts().MessageBox(kNoTableText, kAppTitle, kMbOk);
        return;
    }
    if (!SiteIsOpen()) {
        return;
    }
    BeginMeasurement();
}

void CLarkspurView::OnHold(const QPoint& p) {
    CSurveyData* survey = CurrentSurvey();
    if (survey == nullptr || !HasSitePicture()) {
        return;
    }
    const ViewPoint map = HoldAt(p);
    if (!survey->FindNearest(map.x, map.y)) {
        return;
    }
    CLocationInfoDlg dialog(this);
    if (dialog.DoModal() == CLocationInfoDlg::kDeletedResult) {
        EraseHeldPoint();
        m_bUnsavedChanges = true;
        // Show the erased disc now rather than whenever the window next happens to paint.
        RequestRepaint();
    }
}

void CLarkspurView::OnDraw() {
    if (m_receiver.m_measurementPending.load() && m_receiver.m_measurementComplete.load()) {
        m_receiver.m_measurementPending.store(false);
        m_receiver.m_measurementComplete.store(false);
        {
            CWaitCursor wait;
            waitShowing(kScanEndPauseMs);
        }
        CSurveyData* survey = CurrentSurvey();
        if (survey != nullptr && HasSitePicture()) {
            SetScreenMode(kMapScreen);
            survey->TakeScan();
            int16_t strongest = 0;
            survey->GetStrongestRssi(strongest);
            // The point goes where it was stored, even if the map moved during the scan.
            ImprintPoint(survey->m_nX, survey->m_nY, strongest);
            m_bUnsavedChanges = true;
            const uint32_t statusUpdate = RegisterWindowMessage("LKSS_STATUS_UPDATE");
            QCoreApplication::postEvent(
                window(),
                new CWindowMessageEvent(statusUpdate, static_cast<uintptr_t>(survey->m_nX),
                                        static_cast<intptr_t>(survey->m_nY)));
        }
    }
    RequestRepaint();
}

bool CLarkspurView::QueryDiscardChanges(const char* question) {
    if (!m_bUnsavedChanges) {
        return true;
    }
    switch (ThePrompts().MessageBox(question, kAppTitle, kMbYesNoCancel | kMbIconQuestion)) {
    case kIdYes:
        return SaveSite();
    case kIdNo:
        return true;
    default:
        return false;
    }
}

bool CLarkspurView::event(QEvent* event) {
    if (event->type() == CWindowMessageEvent::EventType()) {
        if (static_cast<CWindowMessageEvent*>(event)->Id() == kDrawMessage) {
            OnDraw();
        }
        return true;
    }
    if (event->type() == QEvent::KeyPress && isCentreKey(static_cast<QKeyEvent*>(event))) {
        OnCentreKey();
        return true;
    }
    return QAbstractScrollArea::event(event);
}

void CLarkspurView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    // Whether this is a tap or a hold is known only when the stylus lifts or the hold time
    // passes, so that a hold never also takes a point.
    m_pressPos = event->position().toPoint();
    m_bPressActive = true;
    m_holdTimer.start(kHoldTimeMs, this);
    event->accept();
}

void CLarkspurView::mouseMoveEvent(QMouseEvent* event) {
    // A stylus that slides away is neither a tap nor a hold.
    if (m_bPressActive && (event->position().toPoint() - m_pressPos).manhattanLength() >
                              QApplication::startDragDistance()) {
        m_bPressActive = false;
        m_holdTimer.stop();
    }
    event->accept();
}

void CLarkspurView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_bPressActive) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    m_bPressActive = false;
    m_holdTimer.stop();
    event->accept();
    OnTap(m_pressPos);
}

void CLarkspurView::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_holdTimer.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    m_holdTimer.stop();
    if (m_bPressActive) {
        m_bPressActive = false;
        OnHold(m_pressPos);
    }
}
