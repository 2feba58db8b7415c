// The map view's input: command routing, taps, press-and-hold, the centre key and the receiver's
// progress message, each turned into a call on the survey controller.
#include "view/LarkspurView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimerEvent>

#include "controller/SurveyController.h"
#include "platform/PlayWaveResource.h"
#include "platform/WindowMessages.h"
#include "view/ViewCommands.h"
#include "view/WindowMessageEvent.h"

// Registered once at start-up; the receiver registers the same name when it posts.
static const uint32_t kDrawMessage = RegisterWindowMessage("LKSS_DRAW");
static const uint32_t kCoverageMessage = RegisterWindowMessage("LKSS_COVERAGE");

namespace {

// The joystick's centre press on keypads that send the handheld's key code.
constexpr int kCentreKeyCode = 0x86;

bool isCentreKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
           event->key() == kCentreKeyCode || event->nativeVirtualKey() == kCentreKeyCode;
}

} // namespace

uint32_t CLarkspurView::CoverageMessage() {
    return kCoverageMessage;
}

void CLarkspurView::SetController(CSurveyController* controller) {
    m_controller = controller;
    m_coverage.SetReadingsSource([this](CReadingsSnapshot& readings) {
        if (m_controller == nullptr || !m_controller->SiteIsOpen()) {
            return false;
        }
        readings = m_controller->Readings();
        return true;
    });
}

std::vector<ChannelReading> CLarkspurView::TableChannels() const {
    return m_controller != nullptr ? m_controller->TableChannels() : std::vector<ChannelReading>();
}

bool CLarkspurView::OnCommand(int id) {
    switch (id) {
    case kCmdOpenSite:
        OnOpenSite();
        return true;
    case kCmdSaveSite:
        OnSaveSite();
        return true;
    case kCmdSaveSiteAs:
        OnSaveSiteAs();
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
    case kCmdCoverage:
        SetCoverageShown(!m_coverage.Shown());
        return true;
    case kCmdHelp:
    case kCmdAbout:
    case kCmdColorCodes:
        emit dialogRequested(id);
        return true;
    default:
        return false;
    }
}

void CLarkspurView::OnOpenSite() {
    if (m_controller != nullptr) {
        m_controller->OnOpenSite();
    }
}

void CLarkspurView::OnSaveSite() {
    if (m_controller != nullptr) {
        m_controller->OnSaveSite();
    }
}

void CLarkspurView::OnSaveSiteAs() {
    if (m_controller != nullptr) {
        m_controller->OnSaveSiteAs();
    }
}

void CLarkspurView::OnChannelTable() {
    if (m_controller != nullptr) {
        m_controller->OnChannelTable();
    }
}

void CLarkspurView::OnTap(const QPoint& p) {
    // The controller centres the map on the point once it takes it.
    if (m_controller != nullptr) {
        const ViewPoint map = MapPointAt(p);
        m_controller->OnTap({map.x, map.y});
    }
}

void CLarkspurView::OnCentreKey() {
    PlayWaveResource("PING");
    // The centre press takes a point where the marker stands, exactly as a tap there would.
    if (m_controller != nullptr) {
        m_controller->OnTap({Viewport().GetCentreX(), Viewport().GetCentreY()});
    }
}

void CLarkspurView::OnHold(const QPoint& p) {
    if (m_controller == nullptr || !HasSitePicture()) {
        return;
    }
    const ViewPoint map = MapPointAt(p);
    m_controller->OnHold({map.x, map.y});
}

void CLarkspurView::OnDraw() {
    if (m_controller != nullptr) {
        m_controller->OnProgress();
    } else {
        RequestRepaint();
    }
}

bool CLarkspurView::event(QEvent* event) {
    if (event->type() == CWindowMessageEvent::EventType()) {
        const uint32_t id = static_cast<CWindowMessageEvent*>(event)->Id();
        if (id == kDrawMessage) {
            OnDraw();
        } else if (id == kCoverageMessage && m_coverage.TakeResults()) {
            RequestRepaint();
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
