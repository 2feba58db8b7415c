// Journal files: creation with the folder flushed, appends with fdatasync, the move to the state
// folder when the journal's place fails, and its removal after a save.
#include "files/SurveyJournal.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/AtomicFile.h"
#include "files/FileBytes.h"
#include "files/Folders.h"
#include "files/JournalCheck.h"

namespace {

constexpr const char* kSuffix = ".journal";
constexpr mode_t kFileMode = 0644;

// A journal's bytes: its header, the copy of its site when there is one, and entries.
void appendJournal(const SiteFingerprint& site, const std::vector<uint8_t>& siteCopy,
                   const std::vector<journal::Entry>& entries, std::vector<uint8_t>& out) {
    journal::AppendHeader(site, out);
    if (!siteCopy.empty()) {
        journal::AppendSiteCopy(siteCopy, out);
    }
    for (const journal::Entry& entry : entries) {
        journal::AppendEntry(entry, out);
    }
}

} // namespace

CSurveyJournal::CSurveyJournal(IFileSystem& fs) : m_fs(fs) {}

CSurveyJournal::~CSurveyJournal() {
    CloseFile();
}

std::string CSurveyJournal::PathBeside(const std::string& sitePath) {
    return sitePath + kSuffix;
}

std::string CSurveyJournal::PathInStateFolder(const std::string& sitePath) {
    return StatePathFor(sitePath, kSuffix);
}

bool CSurveyJournal::Begin(const std::string& sitePath, const SiteSnapshot& site, bool keep) {
    Close();
    journal::Entry entry;
    entry.type = journal::kKeep;
    entry.keep = keep;
    appendJournal(site.identity.print, site.WholeFile(), {entry}, m_content);
    return Start(sitePath);
}

bool CSurveyJournal::BeginFrom(const std::string& sitePath, const journal::Contents& recovered,
                               const std::vector<journal::Entry>& entries) {
    Close();
    appendJournal(recovered.site, recovered.siteCopy, entries, m_content);
    return Start(sitePath);
}

bool CSurveyJournal::Start(const std::string& sitePath) {
    m_sitePath = sitePath;
    if (Create(PathBeside(sitePath))) {
        return true;
    }
    // Whatever stops the journal beside the site (a read-only folder, a full or pulled stick,
    // something else at its name), the user's own state folder takes it.
    return MoveAfterFailure();
}

bool CSurveyJournal::Create(const std::string& path) {
    m_error = 0;
    // Never over a journal already there: one left by an earlier session is recovered or set
    // aside when the site opens, and one that could not be set aside must not be lost now.
    m_fd = m_fs.Open(path, O_WRONLY | O_CREAT | O_EXCL | O_APPEND, kFileMode);
    if (m_fd < 0) {
        return Fail(errno);
    }
    m_path = path;
    if (!WriteAndSync(m_content)) {
        return false;
    }
    m_fs.SyncFolder(FolderOf(path));
    return true;
}

bool CSurveyJournal::Resume(const std::string& sitePath, const std::string& journalPath,
                            const journal::Contents& contents) {
    Close();
    m_sitePath = sitePath;
    appendJournal(contents.site, contents.siteCopy, contents.entries, m_content);
    m_fd = OpenRegularFile(m_fs, journalPath, O_WRONLY | O_APPEND, m_error);
    if (m_fd < 0) {
        return Fail(m_error);
    }
    m_path = journalPath;
    if (m_fs.Truncate(m_fd, static_cast<off_t>(contents.validBytes)) != 0 ||
        m_fs.SyncData(m_fd) != 0) {
        return Fail(errno);
    }
    return true;
}

bool CSurveyJournal::Append(const journal::Entry& entry) {
    if (m_content.empty()) {
        return Fail(EBADF);
    }
    std::vector<uint8_t> bytes;
    journal::AppendEntry(entry, bytes);
    m_content.insert(m_content.end(), bytes.begin(), bytes.end());
    return (m_fd >= 0 && WriteAndSync(bytes)) || MoveAfterFailure();
}

bool CSurveyJournal::MoveAfterFailure() {
    const int error = m_error;
    if (!MoveToStateFolder()) {
        return false;
    }
    m_movedBecause = error;
    return true;
}

bool CSurveyJournal::MoveToStateFolder() {
    const std::string failed = m_path;
    const int error = m_error;
    CloseFile();
    const std::string target = PathInStateFolder(m_sitePath);
    // A journal already in the state folder is rewritten whole; any other file there is not
    // this survey's and stays.
    if (target != failed && ::access(target.c_str(), F_OK) == 0) {
        return Fail(EEXIST);
    }
    if (!MakeFolders(FolderOf(target))) {
        return Fail(errno);
    }
    CAtomicFile file(m_fs);
    if (!file.Begin(target) || !file.Write(m_content.data(), m_content.size()) || !file.Commit()) {
        return Fail(file.Error());
    }
    m_fd = OpenRegularFile(m_fs, target, O_WRONLY | O_APPEND, m_error);
    if (m_fd < 0) {
        return Fail(m_error);
    }
    m_path = target;
    m_error = error;
    if (!failed.empty() && failed != target) {
        m_leftBehind = failed;
        // Everything it held is in the new journal; on a full disk removing it frees room.
        if (RemoveJournalFile(failed, m_fs)) {
            m_leftBehind.clear();
        }
    }
    return true;
}

bool CSurveyJournal::WriteAndSync(const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = m_fs.Write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Fail(n < 0 ? errno : ENOSPC);
        }
        done += static_cast<size_t>(n);
    }
    if (m_fs.SyncData(m_fd) != 0) {
        return Fail(errno);
    }
    return true;
}

bool CSurveyJournal::Remove() {
    const std::string path = m_path;
    const std::string leftBehind = m_leftBehind;
    Close();
    if (!leftBehind.empty()) {
        RemoveJournalFile(leftBehind, m_fs);
    }
    return path.empty() || RemoveJournalFile(path, m_fs) || Fail(errno);
}

void CSurveyJournal::Close() {
    CloseFile();
    m_path.clear();
    m_sitePath.clear();
    m_content.clear();
    m_leftBehind.clear();
    m_movedBecause = 0;
    m_error = 0;
}

void CSurveyJournal::CloseFile() {
    if (m_fd >= 0) {
        m_fs.Close(m_fd);
        m_fd = -1;
    }
}

bool CSurveyJournal::Fail(int error) {
    m_error = error != 0 ? error : EIO;
    CloseFile();
    return false;
}
