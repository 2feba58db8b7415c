// Judging journals: first whether the bytes are a journal at all, then whose, then how whole. A
// journal of another site is named for that even when it is also damaged: its state does not
// matter here.
#include "files/JournalCheck.h"

#include <cerrno>
#include <sys/stat.h>

#include "files/AtomicFile.h"
#include "files/FileBytes.h"
#include "files/Folders.h"
#include "files/SurveyJournal.h"

namespace {

// A journal is a few hundred bytes a point and one copy of its site; anything much larger is
// not read whole.
constexpr size_t kMaxJournalSize = size_t{1} << 31;

int16_t reasonForHeader(journal::HeaderState header) {
    switch (header) {
    case journal::kEmpty:
        return JR_EMPTY;
    case journal::kNotAJournal:
        return JR_NOT_A_JOURNAL;
    case journal::kOtherFormat:
        return JR_OTHER_FORMAT;
    default:
        return JR_DAMAGED;
    }
}

// The copy of the site is there and is the file the header names, byte for byte.
bool copyIsWhole(const journal::Contents& contents) {
    const std::vector<uint8_t>& copy = contents.siteCopy;
    return contents.header == journal::kHeaderOk && !copy.empty() &&
           FingerprintOf(copy.data(), copy.size()) == contents.site;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

} // namespace

const char* AsideWord(int16_t reason) {
    switch (reason) {
    case JR_DAMAGED:
        return "damaged";
    case JR_UNREADABLE:
        return "unreadable";
    case JR_OTHER_SITE:
        return "other-site";
    case JR_OTHER_VERSION:
        return "other-version";
    case JR_EMPTY:
        return "empty";
    case JR_NOT_A_JOURNAL:
        return "not-a-journal";
    case JR_NOT_A_FILE:
        return "not-a-file";
    case JR_OTHER_FORMAT:
        return "other-format";
    case JR_SUPERSEDED:
        return "superseded";
    default:
        return "declined";
    }
}

bool JournalCheck::Offerable() const {
    const bool readable = reason == JR_SOUND || reason == JR_DAMAGED || reason == JR_UNREADABLE;
    return bound && readable && contents.header == journal::kHeaderOk && contents.Changes() > 0;
}

bool JournalCheck::Disposable() const {
    return bound && Continuable() && contents.Changes() == 0 && contents.laterEntries.empty();
}

bool JournalCheck::CanRebuild() const {
    return copyIsWhole(contents);
}

JournalCheck CheckJournal(const std::string& path, const SiteFingerprint* site, IFileSystem& fs) {
    JournalCheck check;
    check.path = path;
    check.bound = site != nullptr;
    FileRead read;
    const bool whole = ReadFilePrefix(fs, path, kMaxJournalSize, read) && !read.truncated;
    if (!read.opened) {
        check.error = read.error;
        check.reason = read.error == EISDIR || read.error == EINVAL ? JR_NOT_A_FILE : JR_UNREADABLE;
        return check;
    }
    if (!journal::Parse(read.bytes.data(), read.bytes.size(), check.contents)) {
        check.reason = reasonForHeader(check.contents.header);
        // A journal that could not be read past its first bytes is unreadable, whatever they are.
        if (!whole && check.contents.header != journal::kNotAJournal) {
            check.reason = JR_UNREADABLE;
            check.error = read.error != 0 ? read.error : EFBIG;
        }
        return check;
    }
    if (site != nullptr && site->picture != check.contents.site.picture) {
        check.reason = JR_OTHER_SITE;
    } else if (site != nullptr && *site != check.contents.site) {
        check.reason = JR_OTHER_VERSION;
    } else if (!whole) {
        check.reason = JR_UNREADABLE;
        check.error = read.error != 0 ? read.error : EFBIG;
        // What stopped the read is not a torn write: never cut off.
        check.contents.tornTail = false;
    } else {
        check.reason = check.contents.Damaged() ? JR_DAMAGED : JR_SOUND;
    }
    return check;
}

JournalFinding FindJournals(const std::string& sitePath, const SiteFingerprint* site,
                            IFileSystem& fs) {
    JournalFinding finding;
    for (const std::string& path :
         {CSurveyJournal::PathBeside(sitePath), CSurveyJournal::PathInStateFolder(sitePath)}) {
        if (exists(path)) {
            finding.journals.push_back(CheckJournal(path, site, fs));
        }
    }
    int best = -1;
    for (size_t i = 0; i < finding.journals.size(); ++i) {
        const JournalCheck& check = finding.journals[i];
        const bool candidate = site != nullptr ? check.Offerable()
                                               : check.CanRebuild() && check.contents.Changes() > 0;
        if (candidate &&
            (best < 0 || check.contents.Changes() > finding.journals[best].contents.Changes())) {
            best = static_cast<int>(i);
        }
    }
    finding.offered = best;
    for (size_t i = 0; i < finding.journals.size(); ++i) {
        JournalCheck& check = finding.journals[i];
        if (static_cast<int>(i) != best && best >= 0 && check.Offerable()) {
            check.reason = JR_SUPERSEDED;
        }
    }
    return finding;
}

bool SetAsideJournal(const std::string& path, int16_t reason, std::string& asidePath,
                     IFileSystem& fs) {
    const std::string base = path + "." + AsideWord(reason);
    std::string candidate = base;
    for (int n = 2; fs.RenameNoReplace(path, candidate) != 0; ++n) {
        if (errno != EEXIST && errno != ENOTEMPTY) {
            return false;
        }
        candidate = base + "." + std::to_string(n);
    }
    fs.SyncFolder(FolderOf(candidate));
    asidePath = candidate;
    return true;
}

bool RemoveJournalFile(const std::string& path, IFileSystem& fs) {
    if (fs.Unlink(path) != 0 && errno != ENOENT) {
        return false;
    }
    fs.SyncFolder(FolderOf(path));
    return true;
}

int16_t RebuildSite(const journal::Contents& contents, const std::string& sitePath, int& error,
                    IFileSystem& fs) {
    error = 0;
    if (!copyIsWhole(contents)) {
        return RB_NO_COPY;
    }
    if (exists(sitePath)) {
        return RB_SITE_EXISTS;
    }
    CAtomicFile file(fs);
    const std::vector<uint8_t>& copy = contents.siteCopy;
    if (!file.Begin(sitePath) || !file.Write(copy.data(), copy.size()) || !file.Commit(false)) {
        error = file.Error();
        return error == EEXIST ? RB_SITE_EXISTS : RB_WRITE_FAILED;
    }
    return RB_OK;
}
