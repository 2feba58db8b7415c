// The journals found for a site: what each one is, whether its changes can be offered, and the
// name it is set aside under when they are not, so that nothing a surveyor measured is deleted
// unasked and every journal put aside says why. Also writes a deleted site file again from the
// copy its journal keeps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/FileSystem.h"
#include "files/JournalFormat.h"
#include "files/SiteIdentity.h"

// Why a journal is what it is. Every reason but JR_SOUND names the file it is set aside under
// (AsideWord).
enum : int16_t {
    JR_SOUND = 0,          // this site's, read whole (a torn last write aside)
    JR_DAMAGED = -1,       // entries that cannot be read with readable ones after them, or a
                           // broken header
    JR_UNREADABLE = -2,    // reading failed (error): what came before the failure is offered
    JR_OTHER_SITE = -3,    // it belongs to another plan at this path
    JR_OTHER_VERSION = -4, // this plan, but the file was saved or changed since it began
    JR_EMPTY = -5,         // no bytes at all
    JR_NOT_A_JOURNAL = -6, // bytes, but not a journal's
    JR_NOT_A_FILE = -7,    // a folder, a pipe or a device at the journal's place
    JR_OTHER_FORMAT = -8,  // a journal this version of the program cannot read
    JR_SUPERSEDED = -9,    // a shorter copy of the journal offered, left where writing failed
    JR_DECLINED = -10,     // the surveyor chose not to recover it
};

// The word a journal set aside for reason carries: "<journal>.<word>".
const char* AsideWord(int16_t reason);

struct JournalCheck {
    std::string path;
    int16_t reason = JR_EMPTY;
    int error = 0; // errno, for JR_UNREADABLE
    // What could be read (the header, the site copy, the entries).
    journal::Contents contents;
    // Whether it was judged against the site as opened (false when the site could not be read).
    bool bound = false;

    // Its changes can be offered: it belongs to the site as opened, and holds points or deletes.
    bool Offerable() const;
    // It can be continued where it is (CSurveyJournal::Resume): every byte read and sound.
    bool Continuable() const { return reason == JR_SOUND && !contents.Damaged(); }
    // It holds nothing to keep: sound, this site's, and without changes.
    bool Disposable() const;
    // It can write the site file again (RebuildSite): its copy is whole.
    bool CanRebuild() const;
};

// Reads and judges the journal at path against the site as opened; site null when the site could
// not be read (a deleted site), which judges only the journal itself.
JournalCheck CheckJournal(const std::string& path, const SiteFingerprint* site,
                          IFileSystem& fs = ThePosixFileSystem());

struct JournalFinding {
    // The journals at the two places a site's journal can be: beside it, in the state folder.
    std::vector<JournalCheck> journals;
    // The one to offer: the offerable journal with the most changes or, for a site that could
    // not be read, the one with a whole copy and the most changes. -1 for none. Another
    // offerable one is JR_SUPERSEDED.
    int offered = -1;

    const JournalCheck* Offered() const { return offered < 0 ? nullptr : &journals[offered]; }
};

JournalFinding FindJournals(const std::string& sitePath, const SiteFingerprint* site,
                            IFileSystem& fs = ThePosixFileSystem());

// Renames the journal to "<path>.<word>", or "<path>.<word>.N" with the first free N from 2,
// never over anything, and flushes the folder. False (and the journal where it was) on failure.
bool SetAsideJournal(const std::string& path, int16_t reason, std::string& asidePath,
                     IFileSystem& fs = ThePosixFileSystem());

// Deletes a journal file and flushes its folder; true when it is gone.
bool RemoveJournalFile(const std::string& path, IFileSystem& fs = ThePosixFileSystem());

enum : int16_t {
    RB_OK = 0,
    RB_NO_COPY = -1,      // the journal holds no whole copy of its site file
    RB_SITE_EXISTS = -2,  // something is at the site's path: it is never written over
    RB_WRITE_FAILED = -3, // errno in error
};

// Writes the site file at sitePath again from its journal's copy, byte for byte as it was when
// the journal began; the journal then matches it and its changes can be recovered as usual.
int16_t RebuildSite(const journal::Contents& contents, const std::string& sitePath, int& error,
                    IFileSystem& fs = ThePosixFileSystem());
