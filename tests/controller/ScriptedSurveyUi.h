// The survey's user interface for tests: answers from a script, and a record of everything the
// controller showed, so that every flow runs without a window.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "controller/SurveyUi.h"

class CScriptedSurveyUi : public ISurveyUi {
public:
    struct Circle {
        int32_t x;
        int32_t y;
        int16_t strongest;
    };

    // Message box answers in order; once used up, the silent prompts' answers.
    std::deque<int> answers;
    // File dialog choices in order; once used up, dialogs are cancelled.
    std::deque<std::string> paths;
    // Sign-off: true signs (with ink on the diagonal) and presses save, false closes the dialog.
    std::deque<bool> signOffs;
    // Location dialog: true asks for the delete.
    std::deque<bool> deletes;
    // Runs inside every pause (the half second after a scan), as a window would handle a close
    // or a minimise meanwhile.
    std::function<void()> duringPause;

    std::vector<std::string> messages; // texts of every message box, in order
    std::vector<Circle> painted;       // circles of loaded or recovered points
    std::vector<Circle> stored;        // circles of points just measured
    std::vector<Circle> erased;
    std::vector<int> pauses;
    std::vector<LinkState> boardStates; // every state the status bar was given
    std::vector<std::string> notices;   // every text the notice was shown with
    std::vector<std::string> revisions; // texts the open notice was changed to
    bool noticeOpen = false;            // the surveyor closes it by clearing this
    Screen screen = kStartScreen;
    int busyDepth = 0;
    int maxBusyDepth = 0;
    bool pictureShown = false;

    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    bool ChooseFileToOpen(const FileDialogRequest& request, std::string& path) override;
    bool SignOff(SignOffSignature& signature) override;
    bool ShowPointInfo(const CSurveyData& survey) override;
    void SetBusy(bool busy) override;
    void Pause(int ms) override;
    bool ShowSitePicture(const SitePicture& picture) override;
    void ShowScreen(Screen s) override { screen = s; }
    void Repaint() override {}
    void PaintPoint(int32_t x, int32_t y, int16_t strongest) override;
    void PointStored(int32_t x, int32_t y, int16_t strongest) override;
    void PointErased(int32_t x, int32_t y) override;
    void ShowBoardStatus(LinkState state) override { boardStates.push_back(state); }
    void ShowNotice(const std::string& text) override;
    void ReviseNotice(const std::string& text) override;
};
