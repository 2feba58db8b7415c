// The survey's flow, from opening a site to saving it: the open site and its bytes, the survey
// store, the unsaved state and the journal that keeps every change safe until the save, the
// channel table, the receiver link's start-up and the measurement steps. It reaches the surveyor
// only through the interfaces of SurveyUi, so every flow that could lose a survey is tested
// without a window.
//
// It never waits in place. The board's start-up and the half second a finished scan stays on
// screen are waits that its timer ends; while one lasts, the surveyor's requests (the commands,
// taps and the centre key) are kept in order and carried out when it ends, a tap replacing an
// earlier tap, and a press-and-hold is refused. Closing the window is answered at once.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "analysis/ReadingsSnapshot.h"
#include "controller/SurveyUi.h"
#include "files/FileSystem.h"
#include "files/JournalFormat.h"
#include "files/SiteIdentity.h"
#include "files/SiteLock.h"
#include "files/SurveyJournal.h"
#include "receiver/ReceiverLink.h"
#include "survey/RecordList.h"

class CReceiver;
class CSiteFile;
class CSurveyData;
struct ChannelReading;
struct JournalCheck;

class CSurveyController {
public:
    static constexpr unsigned kLinkBaud = 38400;
    // Start-up waits: for the board after the port opens, and for its identity replies.
    static constexpr int kLinkSettleMs = 3000;
    static constexpr int kIdentityWaitMs = 2000;
    // How long the finished scan stays on screen before the map returns.
    static constexpr int kScanEndPauseMs = 500;

    // The waits the timer ends.
    enum class Wait { kNone, kLinkSettle, kIdentity, kScanEnd };

    // fs: where the site's files are written (tests make it fail as a full or pulled disk).
    CSurveyController(CReceiver& receiver, const SurveyUi& ui,
                      IFileSystem& fs = ThePosixFileSystem());
    ~CSurveyController();
    CSurveyController(const CSurveyController&) = delete;
    CSurveyController& operator=(const CSurveyController&) = delete;

    // --- Receiver link ---
    // Opens portName ("" searches for the board) at 38400 baud under the busy cursor, lets the
    // board settle, starts the I/O thread, asks for the firmware and waits for the identity, each
    // wait ended by the timer. When the port cannot be opened there is nothing to wait for: the
    // I/O thread keeps trying it, and a board plugged in later is set up as one that came back.
    void StartLink(const std::string& portName);
    // The same on any source of the board's stream (an in-process board).
    void StartLink(std::unique_ptr<IStreamSource> source);
    // Sets the two start-up waits and the finished scan's time on screen (tests shorten them;
    // the program keeps its constants).
    void SetStartUpWaits(int linkSettleMs, int identityWaitMs);
    void SetScanEndPause(int ms) { m_scanEndPauseMs = ms; }
    CReceiverLink& Link() { return m_link; }
    // Where the board stands, as the surveyor was last shown.
    LinkState BoardState() const { return m_seenState; }
    Wait Waiting() const { return m_wait; }

    // --- Site ---
    // Open Site: offers to save first, asks for the file, then opens it.
    void OnOpenSite();
    // Opens path (already chosen: the command line): the site's lock (refused, touching nothing,
    // when another program has it open), a deleted site written again from its journal when the
    // surveyor wants it, the picture, then the keep-points question or the recovery of a
    // journal. False when it was not opened now (refused, or kept for the end of a wait).
    bool OpenSiteFile(const std::string& path);
    // The Save Site command: SaveSite, or kept for the end of a wait.
    void OnSaveSite();
    // Save Site with its sign-off into the file opened; when that cannot be done (another file
    // was put in its place, or the disk refuses) Save As is offered. False (told, or cancelled
    // by the surveyor) when nothing was written.
    bool SaveSite();
    // The Save As command (Ctrl+Shift+S): SaveSiteAs, or kept for the end of a wait.
    void OnSaveSiteAs();
    // The sign-off, then the survey with the picture and header read at open into a new file
    // the surveyor chooses, which becomes the survey's site (its journal and lock follow).
    bool SaveSiteAs();
    // Asks whether to save unsaved changes first; false when the user keeps things as they are.
    bool QueryDiscardChanges(const char* question);

    // --- Channel table ---
    void OnChannelTable();
    // Reads the table and, with a board connected, programs it onto the board; true when it is
    // loaded now. Without a board the table is kept and programmed when one connects.
    bool LoadTableFile(const std::string& path);

    // --- Measurement and points ---
    // A tap on map point p (or the centre key, with p the map's centre): the map centres on it
    // and the board scans there, when a board, a table and a site are there to take a point.
    void OnTap(MapPoint p);
    // A press-and-hold at map point p: the location dialog for the nearest point, and the
    // delete it may ask for.
    void OnHold(MapPoint p);
    // The receiver's progress message: first what became of the board (see CheckLink); then the
    // identity and readings for the screens; when the scan is complete, stores the point at once
    // (survey, unsaved state, journal), and keeps the scan on screen for the pause.
    void OnProgress();

    bool SiteIsOpen() const { return m_survey != nullptr; }
    bool HasUnsavedChanges() const { return m_bUnsavedChanges; }
    const std::string& SitePath() const { return m_strSitePath; }
    // The current survey store, null before a site has been opened.
    CSurveyData* Survey() const { return m_survey.get(); }
    const CRecordList& Records() const { return m_list; }
    // The survey's readings as they stand after the last open, recovery, stored point or
    // delete, for work off the user-interface thread: a copy costs a few pointers.
    const CReadingsSnapshot& Readings() const { return m_readings; }
    // The channels of the table on the receiver, with their frequencies.
    std::vector<ChannelReading> TableChannels() const;
    // The journal in use, for tests and figures; closed until the first change after an open.
    const CSurveyJournal& Journal() const { return m_journal; }

private:
    // A request kept while a wait lasts.
    struct Request {
        enum Kind {
            kOpenSite,
            kOpenSiteFile,
            kSaveSite,
            kSaveSiteAs,
            kChannelTable,
            kLoadTable,
            kTap
        } kind;
        std::string path;
        MapPoint point;
    };

    // Starts a wait that the timer ends after ms.
    void BeginWait(Wait wait, int ms);
    void OnTimer();
    void FinishStartUp();
    // Keeps request for the end of the wait; false when there is no wait and it is to run now.
    bool Defer(const Request& request);
    void RunDeferred();
    void Run(const Request& request);

    // Shows what became of the board since it was last looked at: its state in the status bar;
    // after a loss, a scan it cut off dropped (never stored half-filled) and the notice; once it
    // is back, the notice revised.
    void CheckLink();
    // Whether a tap can start a measurement: a board is connected (the notice says so when not),
    // a table is loaded ("No Channel Table Loaded." when not) and a site is open (silently false
    // when not).
    bool ReadyToMeasure();
    // Starts a measurement at map point p: scan, location, scan screen.
    void BeginMeasurement(MapPoint p);
    // The scan is complete: its point is stored and stays on screen for the pause.
    void FinishScan();
    bool ReadSite(const std::string& path, CSiteFile& site);
    // Replaces the open site by site (read from path): picture, store, path, state, and its lock
    // (when lock holds one).
    bool TakeSite(const std::string& path, CSiteFile& site, CSiteLock& lock);
    // Takes path's lock into lock, unless this survey holds it already; false (told) when another
    // program has the site open.
    bool LockSite(const std::string& path, CSiteLock& lock);
    // Offers to write the missing site at path again from its journal; true when it was.
    bool OfferRebuild(const std::string& path);
    // Offers the journal left for path; true when the survey was recovered from it. Every other
    // journal found is put aside.
    bool OfferRecovery(const std::string& path, const CSiteFile& site);
    // A journal found at an open and not recovered: removed when it holds nothing, otherwise set
    // aside under its reason and told.
    void PutAside(const JournalCheck& journal);
    void Replay(const std::vector<journal::Entry>& entries, const CSiteFile& site);
    void LoadPoints(const CSiteFile& site);
    void StorePoint(const std::vector<ChannelReading>& readings);
    // The journal is done with: removed (its changes are saved for good) or closed and left on
    // disk; the next journal starts with nothing told of it.
    void EndJournal(bool remove);
    // No place took the journal: told once until the journal ends.
    void JournalFailed();
    // Appends a change to the journal, starting one first if needed; a move to the state folder
    // and the first failure are told once.
    void Journal(const journal::Entry& entry);
    // The sign-off before a save, when there is a site to save; false when nothing is to be
    // written.
    bool SignOff(SignOffSignature& signature);
    // Asks for the new file and writes the survey there with signature.
    bool SaveAs(const SignOffSignature& signature);
    // Writes the survey into path (the site opened, or a new file); on SF_OK the survey's site is
    // path, saved, and the status bar says so.
    int16_t WriteSite(const std::string& path, const SignOffSignature& signature, bool asNewFile);
    void Message(const std::string& text, const char* caption, unsigned flags);

    CReceiver& m_receiver;
    ISurveyPrompts& m_prompts;
    ISurveyMap& m_map;
    IBoardStatusUi& m_board;
    ISurveyTimer& m_timer;
    IFileSystem& m_fs;
    CReceiverLink m_link;
    int m_linkSettleMs = kLinkSettleMs;
    int m_identityWaitMs = kIdentityWaitMs;
    int m_scanEndPauseMs = kScanEndPauseMs;
    Wait m_wait = Wait::kNone;
    std::deque<Request> m_deferred;
    // The board as the surveyor was last shown it.
    LinkState m_seenState = LinkState::kNoBoard;
    uint64_t m_seenGeneration = 0;
    bool m_statusShown = false;
    bool m_scanDropped = false;
    // The scan this controller began and has not yet stored or dropped (0: none).
    uint64_t m_scan = 0;

    CRecordList m_list;
    CReadingsSnapshot m_readings; // follows m_list
    std::unique_ptr<CSurveyData> m_survey;
    std::string m_strSitePath;
    // The site file as the open read it (or the last save wrote it): a save can always write a
    // whole file from it, and the journal's changes apply to it. Whether they start from its
    // points.
    SiteSnapshot m_site;
    bool m_bKeptPoints = true;
    // One program per site: held from the open until another site (or a new file) replaces it.
    CSiteLock m_lock;
    CSurveyJournal m_journal;
    bool m_bJournalFailed = false;
    bool m_bJournalMoveTold = false;
    bool m_bUnsavedChanges = false;
};
