// The survey's questions through the installed prompts, its dialogs parented on the map view,
// the view's reactions to stored and deleted points, and the board's state and notice.
#include "shell/QtSurveyUi.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>

#include "files/SitePicture.h"
#include "platform/WindowMessages.h"
#include "shell/LocationInfoDlg.h"
#include "shell/MainFrame.h"
#include "shell/SignOffDlg.h"
#include "view/LarkspurView.h"
#include "view/WindowMessageEvent.h"

int CQtSurveyUi::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    return ThePrompts().MessageBox(text, caption, flags);
}

bool CQtSurveyUi::ChooseFileToOpen(const FileDialogRequest& request, std::string& path) {
    return ThePrompts().GetOpenFileName(request, path);
}

bool CQtSurveyUi::SignOff(SignOffSignature& signature) {
    CSignOffDlg dialog(&m_view);
    if (dialog.DoModal() != CSignOffDlg::kSaveResult) {
        return false;
    }
    for (int y = 0; y < SignOffSignature::kHeight; ++y) {
        for (int x = 0; x < SignOffSignature::kWidth; ++x) {
            signature.pixels[size_t(y) * SignOffSignature::kWidth + x] =
                dialog.GetSignaturePixel(x, y) == site::kInk ? site::kInk : site::kPaper;
        }
    }
    return true;
}

bool CQtSurveyUi::ShowPointInfo(const CSurveyData& survey) {
    CLocationInfoDlg dialog(&survey, &m_view);
    return dialog.DoModal() == CLocationInfoDlg::kDeletedResult;
}

void CQtSurveyUi::SetBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void CQtSurveyUi::Pause(int ms) {
    if (ms <= 0) {
        return;
    }
    // The window keeps painting and the receiver's progress is handled; the user's input waits,
    // as on the handheld, whose fixed waits blocked it.
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

bool CQtSurveyUi::ShowSitePicture(const SitePicture& picture) {
    return m_view.SetSitePicture(picture.width, picture.height, picture.palette,
                                 picture.pixels.data(), picture.pixels.size(),
                                 static_cast<int32_t>(picture.stride), true);
}

void CQtSurveyUi::ShowScreen(Screen screen) {
    m_view.SetScreenMode(screen);
}

void CQtSurveyUi::Repaint() {
    m_view.RequestRepaint();
}

void CQtSurveyUi::PaintPoint(int32_t x, int32_t y, int16_t strongest) {
    m_view.ImprintPoint(x, y, strongest);
}

void CQtSurveyUi::PointStored(int32_t x, int32_t y, int16_t strongest) {
    m_view.ImprintPoint(x, y, strongest);
    static const uint32_t statusUpdate = RegisterWindowMessage("LKSS_STATUS_UPDATE");
    QCoreApplication::postEvent(
        m_view.window(),
        new CWindowMessageEvent(statusUpdate, static_cast<uintptr_t>(x), static_cast<intptr_t>(y)));
}

void CQtSurveyUi::PointErased(int32_t x, int32_t y) {
    m_view.ErasePointAt(x, y);
    // Show the erased disc now rather than whenever the window next happens to paint.
    m_view.RequestRepaint();
}

void CQtSurveyUi::ShowBoardStatus(LinkState state) {
    switch (state) {
    case LinkState::kConnected: {
        // A board there from the start needs no word; one that came back is announced for a
        // moment, unless it goes again meanwhile.
        const bool back = m_shownState != LinkState::kConnected && m_stateShown;
        m_frame.SetBoardText(back ? QString::fromLatin1(kBoardBackText) : QString(), false);
        if (back) {
            QTimer::singleShot(kBoardBackShownMs, &m_frame, [frame = &m_frame] {
                if (frame->BoardText() == QLatin1String(kBoardBackText)) {
                    frame->SetBoardText(QString(), false);
                }
            });
        }
        break;
    }
    case LinkState::kConnecting:
        m_frame.SetBoardText(QString::fromLatin1(kBoardConnectingText), true);
        break;
    case LinkState::kNoBoard:
        m_frame.SetBoardText(QString::fromLatin1(kNoBoardText), true);
        break;
    }
    m_shownState = state;
    m_stateShown = true;
}

void CQtSurveyUi::ShowNotice(const std::string& text) {
    if (m_notice == nullptr) {
        // Not modal: the surveyor keeps working with it open, and closes it when they like.
        m_notice = new QMessageBox(QMessageBox::Warning, QStringLiteral("Larkspur"), QString(),
                                   QMessageBox::Ok, &m_frame);
        m_notice->setObjectName(QStringLiteral("boardNotice"));
        m_notice->setWindowModality(Qt::NonModal);
    }
    m_notice->setText(QString::fromStdString(text));
    m_notice->show();
    m_notice->raise();
}

void CQtSurveyUi::ReviseNotice(const std::string& text) {
    if (m_notice != nullptr && m_notice->isVisible()) {
        m_notice->setText(QString::fromStdString(text));
    }
}
