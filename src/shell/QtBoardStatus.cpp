// The board's state in the status bar, its identity on the start screen, and the notice.
#include "shell/QtBoardStatus.h"

#include <QTimer>

#include "receiver/Receiver.h"
#include "shell/MainFrame.h"
#include "view/LarkspurView.h"

void CQtBoardStatus::ShowBoardStatus(LinkState state) {
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

void CQtBoardStatus::ShowBoardIdentity(const BoardIdentity& identity) {
    BoardIdentity shown = identity;
    shown.radio = m_radio;
    m_view.SetBoardIdentity(shown);
}

void CQtBoardStatus::ShowUncalibrated(bool uncalibrated) {
    m_frame.SetUncalibratedMark(uncalibrated);
}

void CQtBoardStatus::ShowNotice(const std::string& text) {
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

void CQtBoardStatus::ReviseNotice(const std::string& text) {
    if (m_notice != nullptr && m_notice->isVisible()) {
        m_notice->setText(QString::fromStdString(text));
    }
}
