// The main window: the map view on top, the receiver board's pane (shown while the board is away)
// and the four-pane status bar directly above the bottom command bar with its eight buttons.
// Commands go to the view; the frame only shows counts and the board's state.
#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>

#include "shell/LarkspurDoc.h"
#include "view/QtMessageTarget.h"

class CSurveyData;
class QAction;
class QLabel;
class QStatusBar;
class QToolBar;
class QVBoxLayout;

class CMainFrame : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPaneCount = 4;
    static constexpr int kPaneWidth = 50;
    static constexpr const char* kUncalibratedText = "UNCAL";
    // Smaller than the counters, to fit the 40 pixels they leave.
    static constexpr double kUncalibratedFontShare = 0.8;
    // The handheld's eight buttons, then the coverage layer's.
    static constexpr int kButtonCount = 8;

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Puts the map view above the status bar and sizes the frame so the view gets viewSize.
    void SetView(QWidget* view, const QSize& viewSize);
    QWidget* View() const { return m_view; }

    // Shows the survey store's counters and the point's position; only the low 16 bits of each
    // parameter count, read as signed.
    void OnStatusUpdate(uintptr_t wParam, intptr_t lParam);

    // Where the view posts "LKSS_STATUS_UPDATE".
    IMessageTarget& MessageTarget() { return m_messageTarget; }

    // Where the counters come from: the current survey store, or null before a site is open.
    // Shows the open survey's points and readings in the L: and P: panes.
    void RefreshCounts();
    void SetSurveySource(std::function<const CSurveyData*()> source) {
        m_surveySource = std::move(source);
    }

    // Asked before the window closes (close button, Ctrl+Q, minimise); false keeps it open.
    void SetCloseGuard(std::function<bool()> guard) { m_closeGuard = std::move(guard); }

    QString PaneText(int pane) const;
    // The receiver board's pane right above the four counters: "NO BOARD" and the like, in red
    // when alarm is set; an empty text hides it. BoardText is empty while it is hidden.
    void SetBoardText(const QString& text, bool alarm);
    QString BoardText() const;
    // "UNCAL" at the status bar's right end while the last point holds readings no calibration
    // covered (a software-defined radio's).
    void SetUncalibratedMark(bool shown);
    bool UncalibratedMarkShown() const;
    QStatusBar* StatusBar() const { return m_statusBar; }
    QToolBar* CommandBar() const { return m_commandBar; }
    QAction* CoverageAction() const { return m_coverageAction; }
    CLarkspurDoc& Document() { return m_document; }

signals:
    // A command bar button or accelerator that the view handles.
    void commandRequested(int id);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void CreateCommandBar();
    void CreateStatusBar();
    void CreateAccelerators();
    void OnFrameCommand(int id);
    void SetPane(int pane, const char* format, int value);

    CLarkspurDoc m_document;
    CQtMessageTarget m_messageTarget{this};
    QVBoxLayout* m_layout = nullptr;
    QWidget* m_view = nullptr;
    QToolBar* m_commandBar = nullptr;
    QAction* m_coverageAction = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_panes[kPaneCount] = {};
    QLabel* m_boardPane = nullptr;
    QLabel* m_calibrationPane = nullptr;
    std::function<bool()> m_closeGuard;
    std::function<const CSurveyData*()> m_surveySource;
    bool m_closingFromMinimise = false;
};
