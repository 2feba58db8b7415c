// The survey journal on disk: every stored point and every delete is appended and flushed before
// the map shows it, so a crash, a kill or a flat battery costs nothing that was measured. It
// lives beside the site file ("site.lks.journal"), or under $XDG_STATE_HOME/larkspur/ when that
// folder cannot be written. A successful save removes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "files/JournalFormat.h"

class CSurveyJournal {
public:
    CSurveyJournal() = default;
    ~CSurveyJournal();
    CSurveyJournal(const CSurveyJournal&) = delete;
    CSurveyJournal& operator=(const CSurveyJournal&) = delete;

    // Where the journal of sitePath goes: beside it, or in the state folder.
    static std::string PathBeside(const std::string& sitePath);
    static std::string PathInStateFolder(const std::string& sitePath);
    // The journal of sitePath that exists now, beside the file first; false when there is none.
    static bool Find(const std::string& sitePath, std::string& journalPath);
    // False when the file cannot be read or its header is damaged.
    static bool Read(const std::string& journalPath, journal::Contents& contents);
    // Deletes a journal file and flushes its folder; true when it is gone.
    static bool RemoveFile(const std::string& journalPath);
    // Renames the journal to the first free name of "<journal>.old", "<journal>.old.2", ...
    // rather than deleting it; the name chosen goes to asidePath.
    static bool SetAside(const std::string& journalPath, std::string& asidePath);

    // Creates the journal of sitePath (beside it, else in the state folder) with the site's state
    // and the keep-points answer, flushed to disk with its folder. errno-style code in Error().
    bool Begin(const std::string& sitePath, const journal::SiteState& state, bool keep);
    // Continues an existing journal after a recovery; anything after validBytes (a torn last
    // entry) is cut off first, so new entries are never hidden behind it.
    bool Resume(const std::string& journalPath, size_t validBytes);
    // One entry, written whole and flushed before the call returns.
    bool Append(const journal::Entry& entry);
    // Closes and deletes the journal (after the site file itself is safely saved).
    bool Remove();
    // Closes the journal and sets it aside (the surveyor chose to discard its changes).
    bool CloseAndSetAside();
    void Close();

    bool IsOpen() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }
    int Error() const { return m_error; }

private:
    bool Create(const std::string& path, const std::vector<uint8_t>& header);
    bool WriteAndSync(const std::vector<uint8_t>& bytes);
    bool Fail(int error);

    int m_fd = -1;
    std::string m_path;
    int m_error = 0;
};
