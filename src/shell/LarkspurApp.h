// The application object: builds the document, the frame and the view, brings up the receiver
// link (on the simulated board when asked) and carries out the command line.
#pragma once

#include <memory>
#include <string>

#include "shell/CommandLine.h"

class CBoardSimulator;
class CLarkspurView;
class CMainFrame;
class CQtPrompts;

class CLarkspurApp {
public:
    // The view sized for the handheld's portrait screen.
    static constexpr int kViewWidth = 240;
    static constexpr int kViewHeight = 320;

    CLarkspurApp();
    virtual ~CLarkspurApp();

    CLarkspurApp(const CLarkspurApp&) = delete;
    CLarkspurApp& operator=(const CLarkspurApp&) = delete;

    // Start-up; false ends the program. useQtPrompts false leaves the installed prompts alone
    // (tests script them).
    bool InitInstance(const AppOptions& options, bool useQtPrompts = true);

    CMainFrame* Frame() const { return m_frame.get(); }
    CLarkspurView* View() const { return m_view; }
    // The simulated board of --simulate, or null.
    CBoardSimulator* Simulator() const { return m_simulator.get(); }

private:
    bool StartSimulator(std::string& port);

    std::unique_ptr<CQtPrompts> m_prompts;
    std::unique_ptr<CBoardSimulator> m_simulator;
    std::unique_ptr<CMainFrame> m_frame;
    CLarkspurView* m_view = nullptr; // owned by the frame
};
