// The receiver board as the surveyor sees it: the board's pane of the status bar, its identity
// on the start screen, and the one notice that does not stop the surveyor.
#pragma once

#include <QMessageBox>
#include <QPointer>

#include "controller/BoardStatusUi.h"

class CLarkspurView;
class CMainFrame;

class CQtBoardStatus : public IBoardStatusUi {
public:
    // The status bar's texts for the board, and how long the news of its return stays.
    static constexpr const char* kNoBoardText = "NO BOARD";
    static constexpr const char* kBoardConnectingText = "NO BOARD: SETTING UP";
    static constexpr const char* kBoardBackText = "BOARD CONNECTED";
    static constexpr int kBoardBackShownMs = 4000;

    CQtBoardStatus(CLarkspurView& view, CMainFrame& frame) : m_view(view), m_frame(frame) {}

    void ShowBoardStatus(LinkState state) override;
    void ShowBoardIdentity(const BoardIdentity& identity) override;
    void ShowNotice(const std::string& text) override;
    void ReviseNotice(const std::string& text) override;
    void ShowUncalibrated(bool uncalibrated) override;

    // A software-defined radio measures: its driver and label stand on the start screen where
    // a board shows its firmware.
    void SetRadio(const std::string& description) { m_radio = description; }

    // The notice, while it exists (it is made the first time one is shown).
    QMessageBox* Notice() const { return m_notice; }

private:
    CLarkspurView& m_view;
    CMainFrame& m_frame;
    QPointer<QMessageBox> m_notice;
    LinkState m_shownState = LinkState::kNoBoard;
    bool m_stateShown = false;
    std::string m_radio;
};
