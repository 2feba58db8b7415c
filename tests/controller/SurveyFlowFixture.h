// The survey controller on the simulated board in the same process (instant replies) with a
// scripted interface whose timer the test fires: sites and tables in a temporary folder, points
// taken as a tap takes them, and "a new program" on the same files to stand for a restart after a
// crash.
#pragma once

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "InProcessBoard.h"
#include "ScriptedSurveyUi.h"
#include "TestFiles.h"
#include "controller/SurveyController.h"
#include "files/PosixFileSystem.h"
#include "files/SiteFile.h"
#include "platform/WindowMessages.h"
#include "receiver/Receiver.h"
#include "survey/SurveyRecord.h"

// The receiver's posts, handed to the controller on the test's own thread as the window would.
class CPostQueue : public IMessageTarget {
public:
    void Post(uint32_t id, uintptr_t, intptr_t) override;
    bool Take(int ms, uint32_t& id);

private:
    std::mutex m_lock;
    std::condition_variable m_posted;
    std::deque<uint32_t> m_ids;
};

struct Reading {
    int32_t x, y, channel;
    int16_t rssi;
    bool operator==(const Reading& o) const {
        return x == o.x && y == o.y && channel == o.channel && rssi == o.rssi;
    }
};

std::vector<Reading> ReadingsOf(const std::vector<SurveyRecord>& records);
std::vector<Reading> ReadingsOf(const CRecordList& list);

class SurveyFlow : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A program starting up on the board: receiver, controller and link, with a fresh interface;
    // its start-up waits are over when this returns.
    void StartProgram();
    // Ends whatever wait the controller is in, as its time would.
    void EndWaits();
    // The program ends without saving, as a crash or a kill would leave things.
    void EndProgram();

    // A width x height site file with points at the given places (three readings each).
    std::string MakeSite(const std::string& name, int width = 480, int height = 640,
                         const std::vector<std::pair<int, int>>& points = {});
    // The three-channel table file (two cellular channels, one PCS), and its loading through
    // the table command.
    std::string TableFile();
    void LoadTable();
    // Open Site through its dialog with the keep-points answer.
    void Open(const std::string& path, bool keep);
    // A tap's measurement at (x, y), waited for until the point is stored and the finished scan's
    // pause is over; false when no scan began or nothing was stored.
    bool TakePoint(int32_t x, int32_t y);
    // A tap at (x, y) that begins a scan; false when none began (refused, or kept for a wait).
    bool Tap(int32_t x, int32_t y);
    // Hands the receiver's posts to the controller, as the window does, until done() holds;
    // false after ms.
    bool PumpUntil(const std::function<bool()>& done, int ms = 5000);
    CSiteFile ReadSite(const std::string& path);
    std::string JournalOf(const std::string& site) const;

    CTempDir dir;
    // How the board starts (instant replies) and how long the receiver waits for it; a fixture
    // may change both before SetUp.
    BoardSimOptions boardOptions = CInProcessBoard::Instant();
    // Where the board's readings come from (null: its simulated signal); set before SetUp.
    ISignalSource* signalSource = nullptr;
    ReceiverTimings timings;
    CInProcessBoard board;
    // Where the program's files go; a test may put a failing disk here before StartProgram.
    IFileSystem* fileSystem = &ThePosixFileSystem();
    CPostQueue posts;
    std::unique_ptr<CReceiver> receiver;
    std::unique_ptr<CScriptedSurveyUi> ui;
    std::unique_ptr<CSurveyController> controller;
};
