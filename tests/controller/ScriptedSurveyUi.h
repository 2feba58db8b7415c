// The survey's user interface for tests: answers from a script, a record of everything the
// controller showed, and a timer the test fires itself, so every flow runs without a window and
// every wait lasts exactly as long as the test chooses.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "controller/SurveyUi.h"
#include "receiver/Receiver.h"

class CScriptedSurveyUi : public ISurveyPrompts,
                          public ISurveyMap,
                          public IBoardStatusUi,
                          public ISurveyTimer {
public:
    struct Circle {
        int32_t x;
        int32_t y;
        int16_t strongest;
    };

    // All four faces at once, as the controller takes them.
    operator SurveyUi() { return SurveyUi{*this, *this, *this, *this}; }

    // Message box answers in order; once used up, the silent prompts' answers.
    std::deque<int> answers;
    // File dialog choices in order; once used up, dialogs are cancelled.
    std::deque<std::string> paths;
    // Sign-off: true signs (with ink on the diagonal) and presses save, false closes the dialog.
    std::deque<bool> signOffs;
    // Location dialog: true asks for the delete.
    std::deque<bool> deletes;

    std::vector<std::string> messages; // texts of every message box, in order
    std::vector<std::string> statuses; // every text the status bar was given
    std::vector<FileDialogRequest> saveDialogs;
    std::vector<PointInfo> inspected; // every point the location dialog showed
    std::vector<Circle> painted;      // circles of loaded or recovered points
    std::vector<Circle> stored;       // circles of points just measured
    std::vector<Circle> erased;
    std::vector<MapPoint> centred;        // every centre the map was asked to take
    std::vector<int> timers;              // every wait's length, as started
    std::vector<LinkState> boardStates;   // every state the status bar was given
    std::vector<std::string> notices;     // every text the notice was shown with
    std::vector<std::string> revisions;   // texts the open notice was changed to
    std::vector<ChannelReading> readings; // the scan screen's rows, as last shown
    BoardIdentity identity;
    std::vector<bool> uncalibratedMarks; // the status bar's mark after each stored point
    bool noticeOpen = false;             // the surveyor closes it by clearing this
    Screen screen = kStartScreen;
    int surveyChanges = 0; // opens, recoveries and deletes told
    int busyDepth = 0;
    int maxBusyDepth = 0;
    // Called each time the map is told of a stored point or a changed survey, as the map reads
    // the survey then.
    std::function<void()> onSurveyTold;
    int32_t pictureWidth = 0;
    int32_t pictureHeight = 0;

    // Runs the timer's callback now, as if its time had come; false when none is running.
    bool FireTimer();

    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    bool ChooseFileToOpen(const FileDialogRequest& request, std::string& path) override;
    bool ChooseFileToSave(const FileDialogRequest& request, std::string& path) override;
    bool SignOff(SignOffSignature& signature) override;
    bool ShowPointInfo(const PointInfo& point) override;
    void SetBusy(bool busy) override;
    void ShowStatus(const std::string& text) override { statuses.push_back(text); }

    bool ShowSitePicture(const SitePicture& picture) override;
    void ShowScreen(Screen s) override { screen = s; }
    void Repaint() override {}
    void ShowReadings(const std::vector<ChannelReading>& rows) override { readings = rows; }
    MapPoint CentreOn(MapPoint point) override;
    void PaintPoint(int32_t x, int32_t y, int16_t strongest) override;
    void PointStored(int32_t x, int32_t y, int16_t strongest) override;
    void PointErased(int32_t x, int32_t y) override;
    void SurveyChanged() override;

    void ShowBoardStatus(LinkState state) override { boardStates.push_back(state); }
    void ShowBoardIdentity(const BoardIdentity& id) override { identity = id; }
    void ShowNotice(const std::string& text) override;
    void ReviseNotice(const std::string& text) override;
    void ShowUncalibrated(bool uncalibrated) override { uncalibratedMarks.push_back(uncalibrated); }

    void Start(int ms, std::function<void()> done) override;
    void Stop() override { m_timerDone = nullptr; }

private:
    std::function<void()> m_timerDone;
};
