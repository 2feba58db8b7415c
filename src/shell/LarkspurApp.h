// The application object: builds the frame, the view and the survey controller, brings up the
// receiver link (on the simulated board when asked) and carries out the command line. It owns the
// program's one receiver, so every application starts from a board it has not yet heard.
#pragma once

#include <memory>
#include <string>

#include "receiver/Receiver.h"
#include "shell/CommandLine.h"

class CBoardSimulator;
class CLarkspurView;
class CMainFrame;
class CQtMessageTarget;
class CQtPrompts;
class CQtSurveyUi;
class CSurveyController;

class CLarkspurApp {
public:
    // The view sized for the handheld's portrait screen.
    static constexpr int kViewWidth = 240;
    static constexpr int kViewHeight = 320;

    CLarkspurApp();
    virtual ~CLarkspurApp();

    CLarkspurApp(const CLarkspurApp&) = delete;
    CLarkspurApp& operator=(const CLarkspurApp&) = delete;

    // Shortens the link's start-up waits (tests); call before InitInstance.
    void SetStartUpWaits(int linkSettleMs, int identityWaitMs);

    // Start-up; false ends the program. useQtPrompts false leaves the installed prompts alone
    // (tests script them).
    bool InitInstance(const AppOptions& options, bool useQtPrompts = true);

    CMainFrame* Frame() const { return m_frame.get(); }
    CLarkspurView* View() const { return m_view; }
    CSurveyController& Controller() const { return *m_controller; }
    CQtSurveyUi& Ui() const { return *m_ui; }
    CReceiver& Receiver() { return m_receiver; }
    // The simulated board of --simulate, or null.
    CBoardSimulator* Simulator() const { return m_simulator.get(); }

private:
    bool StartSimulator(std::string& port);
    void RunDialog(int id);

    int m_linkSettleMs = -1;
    int m_identityWaitMs = -1;
    std::unique_ptr<CQtPrompts> m_prompts;
    std::unique_ptr<CBoardSimulator> m_simulator;
    CReceiver m_receiver;
    std::unique_ptr<CMainFrame> m_frame;
    CLarkspurView* m_view = nullptr; // owned by the frame
    std::unique_ptr<CQtMessageTarget> m_viewTarget;
    std::unique_ptr<CQtSurveyUi> m_ui;
    std::unique_ptr<CSurveyController> m_controller;
};
