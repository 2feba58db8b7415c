// The application object: builds the frame, the view and the survey controller, brings up the
// receiver link (on the simulated board when asked) and carries out the command line. It owns the
// program's one receiver, so every application starts from a board it has not yet heard.
#pragma once

#include <memory>
#include <string>

#include "BoardOptions.h"
#include "receiver/Receiver.h"
#include "shell/CommandLine.h"

class CBoardSimulator;
class CCoverageMenu;
class CInProcessBoard;
class CSdrSignal;
class CLarkspurView;
class CMainFrame;
class CQtBoardStatus;
class CQtMessageTarget;
class CQtPrompts;
class CQtSurveyPrompts;
class CQtSurveyTimer;
class CSurveyController;
class CViewSurveyMap;

class CLarkspurApp {
public:
    // The view sized for the handheld's portrait screen.
    static constexpr int kViewWidth = 240;
    static constexpr int kViewHeight = 320;

    CLarkspurApp();
    virtual ~CLarkspurApp();

    CLarkspurApp(const CLarkspurApp&) = delete;
    CLarkspurApp& operator=(const CLarkspurApp&) = delete;

    // Shortens the link's start-up waits and the finished scan's time on screen (tests); call
    // before InitInstance.
    void SetStartUpWaits(int linkSettleMs, int identityWaitMs);
    void SetScanEndPause(int ms) { m_scanEndPauseMs = ms; }
    // Runs the program on a simulated board in its own process instead of a port (tests); call
    // before InitInstance.
    void UseInProcessBoard(const BoardSimOptions& options);

    // Start-up; false ends the program. useQtPrompts false leaves the installed prompts alone
    // (tests script them).
    bool InitInstance(const AppOptions& options, bool useQtPrompts = true);

    CMainFrame* Frame() const { return m_frame.get(); }
    CLarkspurView* View() const { return m_view; }
    CSurveyController& Controller() const { return *m_controller; }
    CQtBoardStatus& BoardStatus() const { return *m_boardStatus; }
    CCoverageMenu& CoverageMenu() const { return *m_coverageMenu; }
    CReceiver& Receiver() { return m_receiver; }
    // The simulated board of --simulate, or null.
    CBoardSimulator* Simulator() const { return m_simulator.get(); }
    // The in-process board, or null.
    CInProcessBoard* InProcessBoard() const { return m_inProcess.get(); }
    // The software-defined radio of --sdr, or null.
    CSdrSignal* Radio() const { return m_radio.get(); }

private:
    bool StartSimulator(std::string& port);
    // --sdr: the radio behind an in-process board; false (the surveyor told why) when it cannot
    // be opened.
    bool StartRadio(const std::string& deviceArgs);
    void RunDialog(int id);

    int m_linkSettleMs = -1;
    int m_identityWaitMs = -1;
    int m_scanEndPauseMs = -1;
    bool m_useInProcess = false;
    BoardSimOptions m_inProcessOptions;
    std::unique_ptr<CQtPrompts> m_prompts;
    std::unique_ptr<CBoardSimulator> m_simulator;
    // Before the board that measures with it, so that it outlives the board's thread.
    std::unique_ptr<CSdrSignal> m_radio;
    std::unique_ptr<CInProcessBoard> m_inProcess;
    CReceiver m_receiver;
    std::unique_ptr<CMainFrame> m_frame;
    CLarkspurView* m_view = nullptr; // owned by the frame
    std::unique_ptr<CQtMessageTarget> m_viewTarget;
    std::unique_ptr<CQtSurveyPrompts> m_surveyPrompts;
    std::unique_ptr<CViewSurveyMap> m_surveyMap;
    std::unique_ptr<CQtBoardStatus> m_boardStatus;
    std::unique_ptr<CQtSurveyTimer> m_timer;
    std::unique_ptr<CSurveyController> m_controller;
    CCoverageMenu* m_coverageMenu = nullptr; // owned by the frame's command bar
};
