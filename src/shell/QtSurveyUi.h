// The survey controller's user interface on Qt: the program's prompts, the sign-off and location
// dialogs, the busy cursor, the map view that shows each change, the board's pane of the status
// bar and the one notice that does not stop the surveyor.
#pragma once

#include <QMessageBox>
#include <QPointer>

#include "controller/SurveyUi.h"

class CLarkspurView;
class CMainFrame;

class CQtSurveyUi : public ISurveyUi {
public:
    // The status bar's texts for the board, and how long the news of its return stays.
    static constexpr const char* kNoBoardText = "NO BOARD";
    static constexpr const char* kBoardConnectingText = "NO BOARD: SETTING UP";
    static constexpr const char* kBoardBackText = "BOARD CONNECTED";
    static constexpr int kBoardBackShownMs = 4000;

    CQtSurveyUi(CLarkspurView& view, CMainFrame& frame) : m_view(view), m_frame(frame) {}

    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    bool ChooseFileToOpen(const FileDialogRequest& request, std::string& path) override;
    bool SignOff(SignOffSignature& signature) override;
    bool ShowPointInfo(const CSurveyData& survey) override;
    void SetBusy(bool busy) override;
    void Pause(int ms) override;
    bool ShowSitePicture(const SitePicture& picture) override;
    void ShowScreen(Screen screen) override;
    void Repaint() override;
    void PaintPoint(int32_t x, int32_t y, int16_t strongest) override;
    void PointStored(int32_t x, int32_t y, int16_t strongest) override;
    void PointErased(int32_t x, int32_t y) override;
    void ShowBoardStatus(LinkState state) override;
    void ShowNotice(const std::string& text) override;
    void ReviseNotice(const std::string& text) override;

    // The notice, while it exists (it is made the first time one is shown).
    QMessageBox* Notice() const { return m_notice; }

private:
    CLarkspurView& m_view;
    CMainFrame& m_frame;
    QPointer<QMessageBox> m_notice;
    LinkState m_shownState = LinkState::kNoBoard;
    bool m_stateShown = false;
};
