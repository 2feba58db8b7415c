// The survey controller's side of the receiver board: the link's start-up, loading a channel
// table onto the board, and what the surveyor sees when the board goes and comes back.
#include "controller/SurveyController.h"

#include "controller/BusyScope.h"
#include "controller/SurveyTexts.h"
#include "files/ChannelTableFile.h"
#include "files/FileMessages.h"
#include "receiver/Receiver.h"
#include "receiver/SerialSource.h"

using namespace surveytext;

void CSurveyController::StartLink(const std::string& portName) {
    StartLink(std::make_unique<CSerialSource>(kLinkBaud, portName));
}

void CSurveyController::StartLink(std::unique_ptr<IStreamSource> source) {
    // Lifted when the start-up ends, whichever way it goes.
    m_prompts.SetBusy(true);
    if (m_link.Open(std::move(source))) {
        BeginWait(Wait::kLinkSettle, m_linkSettleMs);
        return;
    }
    m_link.StartThread();
    FinishStartUp();
}

void CSurveyController::FinishStartUp() {
    m_wait = Wait::kNone;
    m_prompts.SetBusy(false);
    CheckLink();
    m_board.ShowBoardIdentity(m_receiver.GetIdentity());
    m_map.Repaint();
}

void CSurveyController::CheckLink() {
    const CBoardLink& link = m_link.Link();
    const LinkState state = link.State();
    const uint64_t generation = link.Generation();
    const bool lost = generation != m_seenGeneration;
    // The receiver ends a scan the board cut off; a scan that completed first is whole, and is
    // stored as usual.
    if (m_scan != 0 && m_receiver.GetScanState(m_scan) == ScanState::kEnded) {
        m_scan = 0;
        m_scanDropped = true;
        if (SiteIsOpen()) {
            m_map.ShowScreen(ISurveyMap::kMapScreen);
        }
        m_map.Repaint();
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
                m_board.ShowNotice(text);
            } else {
                m_board.ReviseNotice(text);
            }
            m_scanDropped = false;
        }
    } else if (lost && (m_seenState == LinkState::kConnected || m_scanDropped)) {
        // Once per loss, however many taps follow.
        m_board.ShowNotice(kBoardLost + dropped);
    }
    if (state != m_seenState || !m_statusShown) {
        m_board.ShowBoardStatus(state);
        m_statusShown = true;
    }
    m_seenState = state;
    m_seenGeneration = generation;
}

void CSurveyController::OnChannelTable() {
    if (Defer({Request::kChannelTable, std::string(), {}})) {
        return;
    }
    FileDialogRequest request;
    request.filter = kTableFilter;
    request.defaultExtension = kTableExtension;
    request.initialName = kTableInitialName;
    std::string path;
    if (m_prompts.ChooseFileToOpen(request, path)) {
        LoadTableFile(path);
    }
}

bool CSurveyController::LoadTableFile(const std::string& path) {
    if (Defer({Request::kLoadTable, path, {}})) {
        return false;
    }
    CheckLink();
    CChannelTableFile table;
    // A table of frequencies only for a board that measures by frequency (a radio's).
    const ChannelTableLoad read = ReadChannelTable(path, table, m_link.Link().TakesFrequencies());
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
    TableLoad load = TableLoad::kNoBoard;
    const bool connected = m_link.Link().State() == LinkState::kConnected;
    if (connected) {
        // Programming the board takes a command and its reply per channel.
        CBusyScope busy(m_prompts);
        load = m_receiver.ProgramChannelTable();
    }
    const bool loaded = load == TableLoad::kLoaded;
    if (loaded) {
        m_receiver.SetTableLoaded(true);
    }
    CheckLink();
    switch (load) {
    case TableLoad::kLoaded:
        Message(read.message, kAppTitle, kMbOk);
        break;
    case TableLoad::kUnanswered:
        Message(kTableBoardSilent, kAppTitle, kMbOk);
        break;
    case TableLoad::kNoBoard:
        Message(connected ? kTableLostDuringLoad : kTableWaitsForBoard, kAppTitle, kMbOk);
        break;
    }
    m_map.Repaint();
    return loaded;
}
