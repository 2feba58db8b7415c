// The survey controller's side of the receiver board: the link's start-up, loading a channel
// table onto the board, and what the surveyor sees when the board goes and comes back.
#include "controller/SurveyController.h"

#include "controller/BusyScope.h"
#include "controller/SurveyTexts.h"
#include "files/ChannelTableFile.h"
#include "files/FileMessages.h"
#include "receiver/Receiver.h"

using namespace surveytext;

void CSurveyController::StartLink(const std::string& portName) {
    CBusyScope busy(m_ui);
    const bool open = m_link.Open(portName, kLinkBaud);
    if (open) {
        m_ui.Pause(m_linkSettleMs);
    }
    m_link.StartThread();
    if (open) {
        m_receiver.RequestFirmwareVersion();
        m_ui.Pause(m_identityWaitMs);
    }
    CheckLink();
    m_ui.Repaint();
}

void CSurveyController::CheckLink() {
    const CBoardLink& link = m_link.Link();
    const LinkState state = link.State();
    const uint64_t generation = link.Generation();
    const bool lost = generation != m_seenGeneration;
    if (lost && DropInterruptedScan(generation)) {
        m_scanDropped = true;
    }
    const std::string dropped = m_scanDropped ? kScanNotStored : "";
    if (state == LinkState::kConnected) {
        if (lost || m_seenState != LinkState::kConnected) {
            // Back (or up for the first time): a notice still open says so; a notice the
            // surveyor closed is not raised again, the status bar tells. A point that was not
            // stored is always told.
            const bool table = m_receiver.TableWanted() && m_receiver.TableLoaded();
            const std::string text = (table ? kBoardConnectedWithTable : kBoardConnected) + dropped;
            if (m_scanDropped) {
                m_ui.ShowNotice(text);
            } else {
                m_ui.ReviseNotice(text);
            }
            m_scanDropped = false;
        }
    } else if (lost && (m_seenState == LinkState::kConnected || m_scanDropped)) {
        // Once per loss, however many taps follow.
        m_ui.ShowNotice(kBoardLost + dropped);
    }
    if (state != m_seenState || !m_statusShown) {
        m_ui.ShowBoardStatus(state);
        m_statusShown = true;
    }
    m_seenState = state;
    m_seenGeneration = generation;
}

bool CSurveyController::DropInterruptedScan(uint64_t generation) {
    // A scan that completed before the board went is whole, and is stored as usual.
    if (!m_receiver.m_measurementPending.load() || m_receiver.m_measurementComplete.load() ||
        m_measureGeneration == generation) {
        return false;
    }
    m_receiver.m_measurementPending.store(false);
    if (SiteIsOpen()) {
        m_ui.ShowScreen(ISurveyUi::kMapScreen);
    }
    m_ui.Repaint();
    return true;
}

void CSurveyController::OnChannelTable() {
    FileDialogRequest request;
    request.filter = kTableFilter;
    request.defaultExtension = kTableExtension;
    request.initialName = kTableInitialName;
    std::string path;
    if (m_ui.ChooseFileToOpen(request, path)) {
        LoadTableFile(path);
    }
}

bool CSurveyController::LoadTableFile(const std::string& path) {
    CheckLink();
    CChannelTableFile table;
    const ChannelTableLoad read = ReadChannelTable(path, table);
    if (read.status == CT_OPEN_FAILED) {
        Message(read.message, filemsg::kFileOpenErrorCaption, kMbOk | kMbIconError);
        return false;
    }
    if (read.status != CT_LOADED) {
        Message(read.message, kAppTitle, kMbOk);
        return false;
    }
    // Wanted first, then the table, then the board's state: a board coming up meanwhile either
    // sees the new table or is up by the time the state is read (see CReceiver).
    m_receiver.SetTableWanted(true);
    table.ApplyTo(m_receiver);
    const bool connected = m_link.Link().State() == LinkState::kConnected;
    bool loaded = false;
    if (connected) {
        // Programming the board takes a command and its reply per channel.
        CBusyScope busy(m_ui);
        loaded = m_receiver.ProgramChannelTable();
    }
    if (loaded) {
        m_receiver.SetTableLoaded(true);
    }
    CheckLink();
    Message(loaded      ? read.message
            : connected ? kTableLostDuringLoad
                        : kTableWaitsForBoard,
            kAppTitle, kMbOk);
    m_ui.Repaint();
    return loaded;
}
