// The survey journal being written: every stored point and every delete is appended and flushed
// before the map shows it, so a crash, a kill or a flat battery costs nothing that was measured.
// It lives beside the site file ("site.lks.journal"); when that place cannot be written, at the
// start or at any later write (a full or pulled stick, a read-only folder), everything it holds
// goes to a fresh journal under $XDG_STATE_HOME/larkspur/ and journalling goes on there. A
// successful save removes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "files/FileSystem.h"
#include "files/JournalFormat.h"
#include "files/SiteIdentity.h"

class CSurveyJournal {
public:
    explicit CSurveyJournal(IFileSystem& fs = ThePosixFileSystem());
    ~CSurveyJournal();
    CSurveyJournal(const CSurveyJournal&) = delete;
    CSurveyJournal& operator=(const CSurveyJournal&) = delete;

    // Where the journal of sitePath goes: beside it, or in the state folder.
    static std::string PathBeside(const std::string& sitePath);
    static std::string PathInStateFolder(const std::string& sitePath);

    // Starts the journal of sitePath: the site as opened (its fingerprint and, once, a copy of
    // the whole file) and the keep-points answer, flushed with its folder. errno in Error().
    bool Begin(const std::string& sitePath, const SiteSnapshot& site, bool keep);
    // Starts a fresh journal of sitePath with what was recovered from one that had to be set
    // aside (damaged, or not readable to the end): its header, its copy and entries.
    bool BeginFrom(const std::string& sitePath, const journal::Contents& recovered,
                   const std::vector<journal::Entry>& entries);
    // Continues the sound journal at journalPath, read into contents; a torn last entry is cut
    // off first, so new entries are never hidden behind it.
    bool Resume(const std::string& sitePath, const std::string& journalPath,
                const journal::Contents& contents);
    // One entry, written whole and flushed before the call returns. When the journal's place
    // fails, the entry and everything before it go to a fresh journal in the state folder
    // (MovedBecause then tells why); false only when no place could take them.
    bool Append(const journal::Entry& entry);
    // Closes and deletes the journal (after the site file itself is safely saved).
    bool Remove();
    void Close();

    bool IsOpen() const { return m_fd >= 0; }
    // Begun (or resumed) and not closed since: it holds changes, even while no place takes them.
    bool IsStarted() const { return !m_content.empty(); }
    const std::string& Path() const { return m_path; }
    int Error() const { return m_error; }
    // errno of the write that made the journal move to the state folder; 0 while it has not.
    int MovedBecause() const { return m_movedBecause; }

private:
    bool Start(const std::string& sitePath);
    // After the journal's place failed (m_error): everything to the state folder.
    bool MoveAfterFailure();
    // Starts a fresh journal in the state folder holding every change since the open, and
    // continues there.
    bool MoveToStateFolder();
    bool Create(const std::string& path);
    bool WriteAndSync(const std::vector<uint8_t>& bytes);
    bool Fail(int error);
    void CloseFile();

    IFileSystem& m_fs;
    int m_fd = -1;
    std::string m_sitePath;
    std::string m_path;
    // Every byte the journal holds: what a fresh journal elsewhere must hold to lose nothing.
    std::vector<uint8_t> m_content;
    // A journal left where writing failed, removed with this one when it can be.
    std::string m_leftBehind;
    int m_error = 0;
    int m_movedBecause = 0;
};
