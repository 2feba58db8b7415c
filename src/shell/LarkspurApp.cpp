// Application start-up. The handheld initialised a sockets layer first; nothing in this program
// uses sockets and POSIX needs no such step, so it is left out.
#include "shell/LarkspurApp.h"

#include "BoardSimulator.h"
#include "platform/Prompts.h"
#include "shell/MainFrame.h"
#include "shell/QtPrompts.h"
#include "view/LarkspurView.h"

namespace {
const char* const kAppTitle = "Larkspur";
const char* const kNoSimulatorText = "Could not start the simulated receiver board.";
} // namespace

CLarkspurApp::CLarkspurApp() = default;

CLarkspurApp::~CLarkspurApp() {
    // The frame (and with it the view, which ends the receiver link) goes before the simulated
    // board it talks to, and both before the prompts they may use.
    m_frame.reset();
    if (m_simulator) {
        m_simulator->Stop();
    }
    if (m_prompts && &ThePrompts() == m_prompts.get()) {
        SetPrompts(nullptr);
    }
}

bool CLarkspurApp::StartSimulator(std::string& port) {
    m_simulator = std::make_unique<CBoardSimulator>();
    BoardSimOptions options; // paced at the real line rate
    if (!m_simulator->Start(options)) {
        m_simulator.reset();
        ThePrompts().MessageBox(kNoSimulatorText, kAppTitle, kMbOk | kMbIconError);
        return false;
    }
    port = m_simulator->SlavePath();
    return true;
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
    CLarkspurView* view = m_view;
    QObject::connect(m_frame.get(), &CMainFrame::commandRequested, view,
                     [view](int id) { view->OnCommand(id); });
    m_frame->SetCloseGuard(
        [view] { return view->QueryDiscardChanges("Save the survey before closing?"); });

    // The window shows first, so the start screen and the busy cursor are there while the link
    // comes up, rather than nothing at all for five seconds.
    m_frame->show();

    std::string port = options.port;
    if (options.simulate && !StartSimulator(port)) {
        port.clear(); // carry on as without the option: search for a real board
    }
    m_view->StartUp(port);

    // A site and a table named on the command line are opened as if picked in their dialogs.
    if (!options.site.empty()) {
        m_view->OpenSiteFile(options.site);
    }
    if (!options.table.empty()) {
        m_view->LoadChannelTableFile(options.table);
    }
    return true;
}
