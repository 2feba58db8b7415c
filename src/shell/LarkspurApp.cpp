// Application start-up. The handheld initialised a sockets layer first; nothing in this program
// uses sockets and POSIX needs no such step, so it is left out.
#include "shell/LarkspurApp.h"

#include "BoardSimulator.h"
#include "Calibration.h"
#include "InProcessBoard.h"
#include "SdrSignal.h"
#include "analysis/LayerColours.h"
#include "controller/SurveyController.h"
#include "controller/SurveyTexts.h"
#include "platform/Prompts.h"
#include "shell/AboutDlg.h"
#include "shell/ColorCodesDlg.h"
#include "shell/CoverageMenu.h"
#include "shell/HelpDlg.h"
#include "shell/MainFrame.h"
#include "shell/QtBoardStatus.h"
#include "shell/QtPrompts.h"
#include "shell/QtSurveyPrompts.h"
#include "shell/QtSurveyTimer.h"
#include "view/LarkspurView.h"
#include "view/QtMessageTarget.h"
#include "view/ViewCommands.h"
#include "view/ViewSurveyMap.h"

namespace {
const char* const kNoSimulatorText = "Could not start the simulated receiver board.";
const char* const kNoRadioText = "Could not open the software-defined radio: ";
// The board text the radio's board answers with; the start screen shows the radio instead.
const char* const kRadioFirmware = "SDR";
// A radio that failed is looked for again this often (it may have been unplugged a moment).
constexpr int kRadioRetryMs = 2000;
constexpr size_t kSerialTextMax = 31;
} // namespace

CLarkspurApp::CLarkspurApp() = default;

CLarkspurApp::~CLarkspurApp() {
    // The controller ends the receiver link, so nothing posts to the view from here on; then the
    // frame and the view go, before the simulated board they talked to and the prompts.
    m_controller.reset();
    m_receiver.SetViewWindow(nullptr);
    m_timer.reset();
    m_boardStatus.reset();
    m_surveyMap.reset();
    m_surveyPrompts.reset();
    m_frame.reset();
    m_viewTarget.reset();
    if (m_simulator) {
        m_simulator->Stop();
    }
    if (m_inProcess) {
        m_inProcess->Stop();
    }
    if (m_prompts && &ThePrompts() == m_prompts.get()) {
        SetPrompts(nullptr);
    }
}

void CLarkspurApp::SetStartUpWaits(int linkSettleMs, int identityWaitMs) {
    m_linkSettleMs = linkSettleMs;
    m_identityWaitMs = identityWaitMs;
}

void CLarkspurApp::UseInProcessBoard(const BoardSimOptions& options) {
    m_useInProcess = true;
    m_inProcessOptions = options;
}

bool CLarkspurApp::StartSimulator(std::string& port) {
    m_simulator = std::make_unique<CBoardSimulator>();
    BoardSimOptions options; // paced at the real line rate
    if (!m_simulator->Start(options)) {
        m_simulator.reset();
        ThePrompts().MessageBox(kNoSimulatorText, surveytext::kAppTitle, kMbOk | kMbIconError);
        return false;
    }
    port = m_simulator->SlavePath();
    return true;
}

bool CLarkspurApp::StartRadio(const std::string& deviceArgs) {
    std::string error;
    CCalibrationStore calibration;
    const std::string path = CCalibrationStore::DefaultPath();
    m_radio = std::make_unique<CSdrSignal>();
    if ((!path.empty() && !calibration.Load(path, error)) ||
        !m_radio->Open(deviceArgs, SdrOptions(), calibration, error)) {
        m_radio.reset();
        ThePrompts().MessageBox(kNoRadioText + error, surveytext::kAppTitle, kMbOk | kMbIconError);
        return false;
    }
    // The board the radio measures for: no line to pace, and back shortly after a failure.
    BoardSimOptions options = m_useInProcess ? m_inProcessOptions : CInProcessBoard::Instant();
    options.instant = true;
    options.firmware = kRadioFirmware;
    options.serial = m_radio->Identity().serial.substr(0, kSerialTextMax);
    options.reappearAfterMs = kRadioRetryMs;
    m_inProcess = std::make_unique<CInProcessBoard>();
    if (!m_inProcess->Start(options, m_radio.get())) {
        m_inProcess.reset();
        ThePrompts().MessageBox(kNoSimulatorText, surveytext::kAppTitle, kMbOk | kMbIconError);
        return false;
    }
    m_boardStatus->SetRadio(m_radio->Description());
    m_controller->StartLink(m_inProcess->Source());
    return true;
}

void CLarkspurApp::RunDialog(int id) {
    switch (id) {
    case kCmdHelp: {
        CHelpDlg dialog(m_view);
        dialog.DoModal();
        break;
    }
    case kCmdAbout: {
        CAboutDlg dialog(m_view);
        dialog.DoModal();
        break;
    }
    case kCmdColorCodes: {
        // The bands in use: the circles', and the layer's while it shows.
        const CCoverageOverlay& layer = m_view->Coverage();
        LegendBands bands;
        bands.circles = &layer.CircleBands();
        bands.layer = layer.Shown() ? &layer.LayerBands() : nullptr;
        bands.layerOpacity = kCoverageOpacity;
        CColorCodesDlg dialog(m_view, bands);
        dialog.DoModal();
        break;
    }
    default:
        break;
    }
}

bool CLarkspurApp::InitInstance(const AppOptions& options, bool useQtPrompts) {
    m_frame = std::make_unique<CMainFrame>();
    if (useQtPrompts) {
        m_prompts = std::make_unique<CQtPrompts>();
        m_prompts->SetParent(m_frame.get());
        SetPrompts(m_prompts.get());
    }

    m_view = new CLarkspurView(m_frame.get());
    m_frame->SetView(m_view, m_view->SizeForClient(QSize(kViewWidth, kViewHeight)));
    m_surveyPrompts = std::make_unique<CQtSurveyPrompts>(*m_view);
    m_surveyPrompts->SetStatusBar(m_frame->StatusBar());
    m_surveyMap = std::make_unique<CViewSurveyMap>(*m_view);
    m_boardStatus = std::make_unique<CQtBoardStatus>(*m_view, *m_frame);
    m_timer = std::make_unique<CQtSurveyTimer>();
    m_controller = std::make_unique<CSurveyController>(
        m_receiver, SurveyUi{*m_surveyPrompts, *m_surveyMap, *m_boardStatus, *m_timer});
    if (m_linkSettleMs >= 0) {
        m_controller->SetStartUpWaits(m_linkSettleMs, m_identityWaitMs);
    }
    if (m_scanEndPauseMs >= 0) {
        m_controller->SetScanEndPause(m_scanEndPauseMs);
    }
    m_view->SetController(m_controller.get());
    m_view->SetCoverageShown(options.coverageLayer);
    m_coverageMenu = new CCoverageMenu(*m_view, *m_frame->CommandBar(), *m_frame->CoverageAction());

    CSurveyController* controller = m_controller.get();
    CLarkspurView* view = m_view;
    QObject::connect(m_frame.get(), &CMainFrame::commandRequested, view,
                     [view](int id) { view->OnCommand(id); });
    QObject::connect(view, &CLarkspurView::dialogRequested, view,
                     [this](int id) { RunDialog(id); });
    CMainFrame* frame = m_frame.get();
    QObject::connect(view, &CLarkspurView::surveyChanged, frame,
                     [frame] { frame->RefreshCounts(); });
    m_frame->SetSurveySource([controller] { return controller->Survey(); });
    m_frame->SetCloseGuard([controller] {
        return controller->QueryDiscardChanges(surveytext::kSaveBeforeCloseQuestion);
    });

    // The window shows first, so the start screen and the busy cursor are there while the link
    // comes up, rather than nothing at all for five seconds.
    m_frame->show();

    std::string port = options.port;
    if (options.simulate && !StartSimulator(port)) {
        port.clear(); // carry on as without the option: search for a real board
    }
    m_viewTarget = std::make_unique<CQtMessageTarget>(m_view);
    m_receiver.SetViewWindow(m_viewTarget.get());
    if (options.sdr) {
        if (!StartRadio(options.sdrArgs)) {
            return false;
        }
    } else if (m_useInProcess) {
        m_inProcess = std::make_unique<CInProcessBoard>();
        if (m_inProcess->Start(m_inProcessOptions)) {
            m_controller->StartLink(m_inProcess->Source());
        } else {
            m_controller->StartLink(port);
        }
    } else {
        m_controller->StartLink(port);
    }

    // A site and a table named on the command line are opened as if picked in their dialogs.
    if (!options.site.empty()) {
        m_controller->OpenSiteFile(options.site);
    }
    if (!options.table.empty()) {
        m_controller->LoadTableFile(options.table);
    }
    return true;
}
