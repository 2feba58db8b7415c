// The main frame: command bar, status panes, accelerators and the close rules.
#include "shell/MainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>

#include <algorithm>
#include <cstdio>

#include "platform/WindowMessages.h"
#include "survey/SurveyData.h"
#include "view/ViewCommands.h"
#include "view/WindowMessageEvent.h"

// Registered once at start-up; the view registers the same name when it posts.
const uint32_t kStatusUpdateMessage = RegisterWindowMessage("LKSS_STATUS_UPDATE");

namespace {

struct ButtonSpec {
    int id;
    const char* image;
    const char* tip;
};

// Bar order is fixed: the help screen describes the buttons by their place.
constexpr ButtonSpec kButtons[CMainFrame::kButtonCount] = {
    {kCmdOpenSite, ":/shell/open.xpm", "Open a site file"},
    {kCmdSaveSite, ":/shell/save.xpm", "Save a site file"},
    {kCmdChannelTable, ":/shell/table.xpm", "Choose a channel table"},
    {kCmdColorCodes, ":/shell/colors.xpm", "Colour codes"},
    {kCmdZoomIn, ":/shell/zoomin.xpm", "Zoom into the site"},
    {kCmdZoomOut, ":/shell/zoomout.xpm", "Zoom away from the site"},
    {kCmdHelp, ":/shell/help.xpm", "Help information"},
    {kCmdAbout, ":/shell/about.xpm", "About Box"},
};

struct AcceleratorSpec {
    QKeyCombination keys;
    int id;
};

const AcceleratorSpec kAccelerators[] = {
    {Qt::CTRL | Qt::Key_N, kCmdFileNew},   {Qt::CTRL | Qt::Key_O, kCmdFileOpen},
    {Qt::CTRL | Qt::Key_S, kCmdFileSave},  {Qt::CTRL | Qt::SHIFT | Qt::Key_S, kCmdSaveSiteAs},
    {Qt::CTRL | Qt::Key_Q, kCmdAppExit},   {Qt::CTRL | Qt::Key_Z, kCmdEditUndo},
    {Qt::CTRL | Qt::Key_X, kCmdEditCut},   {Qt::CTRL | Qt::Key_C, kCmdEditCopy},
    {Qt::CTRL | Qt::Key_V, kCmdEditPaste},
};

// The status panes carry signed 16-bit coordinates in the low half of each parameter.
int low16Signed(uintptr_t value) {
    return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFFu));
}

} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Larkspur"));
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    CreateStatusBar();
    CreateCommandBar();
    CreateAccelerators();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::CreateCommandBar() {
    m_commandBar = new QToolBar(this);
    m_commandBar->setObjectName(QStringLiteral("commandBar"));
    m_commandBar->setIconSize(QSize(16, 16));
    m_commandBar->setMovable(false);
    m_commandBar->setFloatable(false);
    for (const ButtonSpec& button : kButtons) {
        QAction* action = m_commandBar->addAction(QIcon(QString::fromLatin1(button.image)),
                                                  QString::fromLatin1(button.tip));
        action->setToolTip(QString::fromLatin1(button.tip));
        action->setData(button.id);
        const int id = button.id;
        connect(action, &QAction::triggered, this, [this, id] { emit commandRequested(id); });
    }
    // After the eight the help screen describes by their places.
    const QString coverageTip = QStringLiteral("Coverage layer (C)");
    m_coverageAction =
        m_commandBar->addAction(QIcon(QStringLiteral(":/shell/coverage.xpm")), coverageTip);
    m_coverageAction->setToolTip(coverageTip);
    m_coverageAction->setData(kCmdCoverage);
    m_coverageAction->setCheckable(true);
    connect(m_coverageAction, &QAction::triggered, this,
            [this] { emit commandRequested(kCmdCoverage); });
    m_layout->addWidget(m_commandBar);
}

void CMainFrame::CreateStatusBar() {
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("statusBar"));
    m_statusBar->setSizeGripEnabled(false);
    static const char* const kInitial[kPaneCount] = {"L: 0", "P: 0", "X: 0", "Y: 0"};
    for (int i = 0; i < kPaneCount; ++i) {
        m_panes[i] = new QLabel(QString::fromLatin1(kInitial[i]), m_statusBar);
        m_panes[i]->setFixedWidth(kPaneWidth);
        m_statusBar->addWidget(m_panes[i]);
    }
    // The four 50-pixel panes fill the handheld's 240-pixel status bar; the board's state gets
    // a strip of its own right above them, shown only while there is something to say.
    m_boardPane = new QLabel(this);
    m_boardPane->setObjectName(QStringLiteral("boardPane"));
    m_boardPane->setAlignment(Qt::AlignCenter);
    m_boardPane->hide();
    m_layout->addWidget(m_boardPane);
    m_layout->addWidget(m_statusBar);
    // In the 40 pixels the counters leave.
    m_calibrationPane = new QLabel(QString::fromLatin1(kUncalibratedText), m_statusBar);
    m_calibrationPane->setObjectName(QStringLiteral("calibrationPane"));
    m_calibrationPane->setStyleSheet(QStringLiteral("background: #e0a000; color: black;"));
    QFont small = m_calibrationPane->font();
    small.setPointSizeF(small.pointSizeF() * kUncalibratedFontShare);
    m_calibrationPane->setFont(small);
    m_calibrationPane->hide();
    m_statusBar->addPermanentWidget(m_calibrationPane);
}

void CMainFrame::SetUncalibratedMark(bool shown) {
    m_calibrationPane->setVisible(shown);
}

bool CMainFrame::UncalibratedMarkShown() const {
    return !m_calibrationPane->isHidden();
}

void CMainFrame::CreateAccelerators() {
    for (const AcceleratorSpec& accelerator : kAccelerators) {
        auto* shortcut = new QShortcut(QKeySequence(accelerator.keys), this);
        shortcut->setContext(Qt::WindowShortcut);
        const int id = accelerator.id;
        connect(shortcut, &QShortcut::activated, this, [this, id] { OnFrameCommand(id); });
    }
}

void CMainFrame::OnFrameCommand(int id) {
    switch (id) {
    case kCmdFileNew:
        m_document.OnNewDocument();
        break;
    case kCmdFileOpen:
        // The document holds nothing, so its own open and save would act on an empty file (a
        // save would destroy a site file picked in its dialog). The keys run the site commands
        // exactly as their bar buttons do.
        emit commandRequested(kCmdOpenSite);
        break;
    case kCmdFileSave:
        emit commandRequested(kCmdSaveSite);
        break;
    case kCmdSaveSiteAs:
        emit commandRequested(kCmdSaveSiteAs);
        break;
    case kCmdAppExit:
        close();
        break;
    default:
        // Undo, cut, copy and paste have nothing to act on; the shortcut only keeps the keys
        // from reaching the map.
        break;
    }
}

void CMainFrame::SetView(QWidget* view, const QSize& viewSize) {
    m_view = view;
    m_layout->insertWidget(0, view, 1);
    view->setFocus();
    const int chrome = m_statusBar->sizeHint().height() + m_commandBar->sizeHint().height();
    const int width = std::max(viewSize.width(), m_commandBar->sizeHint().width());
    resize(width, viewSize.height() + chrome);
}

void CMainFrame::SetPane(int pane, const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    m_panes[pane]->setText(QString::fromLatin1(text));
    m_panes[pane]->repaint();
}

void CMainFrame::RefreshCounts() {
    // The open survey as it stands: a delete, a recovery or a reopen changes it as a scan does.
    if (const CSurveyData* survey = m_surveySource ? m_surveySource() : nullptr) {
        SetPane(0, "L: %d", survey->PointCount());
        SetPane(1, "P: %d", survey->ReadingCount());
    }
}

void CMainFrame::OnStatusUpdate(uintptr_t wParam, intptr_t lParam) {
    RefreshCounts();
    SetPane(2, "X: %d", low16Signed(wParam));
    SetPane(3, "Y: %d", low16Signed(static_cast<uintptr_t>(lParam)));
}

QString CMainFrame::PaneText(int pane) const {
    return (pane >= 0 && pane < kPaneCount) ? m_panes[pane]->text() : QString();
}

void CMainFrame::SetBoardText(const QString& text, bool alarm) {
    m_boardPane->setText(text);
    m_boardPane->setStyleSheet(alarm ? QStringLiteral("background: #c00000; color: white;")
                                     : QStringLiteral("background: #006000; color: white;"));
    m_boardPane->setVisible(!text.isEmpty());
}

QString CMainFrame::BoardText() const {
    return m_boardPane->isVisible() ? m_boardPane->text() : QString();
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == CWindowMessageEvent::EventType()) {
        const auto* message = static_cast<CWindowMessageEvent*>(event);
        if (message->Id() == kStatusUpdateMessage) {
            OnStatusUpdate(message->WParam(), message->LParam());
        }
        return true;
    }
    return QWidget::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_closeGuard && !m_closeGuard()) {
        event->ignore();
        return;
    }
    event->accept();
}

void CMainFrame::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized() || m_closingFromMinimise) {
        return;
    }
    // Minimising ends the program. Close once the state change has been handled; if the user
    // keeps the window (unsaved survey, Cancel), bring it back as it was before (maximised, full
    // screen or its own size) rather than leave it hidden. The window system may still report
    // the minimise it is carrying out, so further reports are ignored until the window is back.
    m_closingFromMinimise = true;
    const Qt::WindowStates before =
        static_cast<QWindowStateChangeEvent*>(event)->oldState() & ~Qt::WindowMinimized;
    QTimer::singleShot(0, this, [this, before] {
        if (close()) {
            m_closingFromMinimise = false;
            return;
        }
        QTimer::singleShot(0, this, [this, before] {
            setWindowState(before | Qt::WindowActive);
            show();
            m_closingFromMinimise = false;
        });
    });
}
