// The whole program under test: the application with scripted prompts on the simulated board (in
// the same process and instant, or on a pseudo-terminal at line rate where the serial path is
// what a test proves), plus helpers to write site and table files and to drive modal dialogs.
#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ScriptedPrompts.h"
#include "WhenModal.h"
#include "receiver/Receiver.h"
#include "shell/LarkspurApp.h"

class CBoardHost;
class CRecordList;
class CReceiver;
class CSurveyController;
class CLarkspurView;
class CMainFrame;
class CQtBoardStatus;
class QTimer;

class SurveyHarness {
public:
    SurveyHarness();
    ~SurveyHarness();

    // Starts the program on the simulated board in its own process, with shortened start-up
    // waits; returns once the start-up is over.
    bool Start();
    // Starts the program with the given command line (and the same short waits): --simulate puts
    // the board on a pseudo-terminal.
    bool Start(const AppOptions& options);
    // Starts the program on the in-process board, as Start() does, with options' other choices.
    bool StartInProcess(const AppOptions& options);

    CLarkspurView& View() const;
    CMainFrame& Frame() const;
    // The simulated board the program runs on (in process, or --simulate's).
    CBoardHost& Board() const;
    CSurveyController& Controller() const;
    CReceiver& Receiver() const;
    CQtBoardStatus& BoardStatus() const;
    CLarkspurApp& App() const { return *m_app; }
    CScriptedPrompts& Prompts() { return m_prompts; }
    // How long the program's receiver waits (set before Start).
    ReceiverTimings timings;

    // A width x height site file with no points, in the temporary folder.
    std::string WriteSite(const QString& name, int width, int height);
    // A channel table file of (plan, channel) entries with 30 kHz PCS spacing.
    std::string WriteTable(const QString& name, const std::vector<std::pair<int, int>>& entries);
    std::string PathOf(const QString& name) const;

    // Open Site and the channel table command through their file dialogs.
    void OpenSite(const std::string& path, bool keepPoints);
    void LoadTable(const std::string& path);

    // A tap (press and immediate release) on the view's client area.
    void Tap(const QPoint& client);
    // A press held for holdMs before the release.
    void Hold(const QPoint& client, int holdMs);
    // Waits until the view is back on the map screen; false after ms.
    bool WaitForMapScreen(int ms);
    // The frames the board received of one command type, in order.
    std::vector<std::vector<uint8_t>> FramesOfType(uint8_t type) const;

    QImage Screen() const;

private:
    bool Launch(const AppOptions& options, bool inProcess);

    QTemporaryDir m_dir;
    CScriptedPrompts m_prompts;
    std::unique_ptr<CScopedPrompts> m_scope;
    std::unique_ptr<CLarkspurApp> m_app;
};

// The records a list holds.
size_t RecordCount(const CRecordList& list);

// Spins the event loop until done() or ms passed; returns done().
bool WaitUntil(const std::function<bool()>& done, int ms);
