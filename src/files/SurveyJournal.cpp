// Journal files: creation with the folder flushed, appends with fdatasync, and the two ways out
// (removed after a save, set aside when the surveyor declines its changes).
#include "files/SurveyJournal.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/FileBytes.h"
#include "files/Folders.h"

namespace {

constexpr const char* kSuffix = ".journal";
constexpr const char* kAsideSuffix = ".old";
constexpr mode_t kFileMode = 0644;
// Longer escaped names are shortened to the file's own name and a hash of its whole path.
constexpr size_t kMaxEscapedName = 200;
// A journal is a few hundred bytes a point; anything much larger is not one of ours.
constexpr size_t kMaxJournalSize = size_t{1} << 30;

std::string absolutePath(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    if (!path.empty() && path[0] == '/') {
        return path;
    }
    char cwd[PATH_MAX];
    return ::getcwd(cwd, sizeof cwd) != nullptr ? std::string(cwd) + "/" + path : path;
}

std::string stateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        return std::string(state) + "/larkspur";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "/tmp") + "/.local/state/larkspur";
}

// The site's absolute path as one file name: '%' and '/' escaped, so distinct paths never meet.
std::string escapedName(const std::string& absolute) {
    std::string name;
    for (const char c : absolute) {
        if (c == '%') {
            name += "%25";
        } else if (c == '/') {
            name += "%2F";
        } else {
            name += c;
        }
    }
    if (name.size() <= kMaxEscapedName) {
        return name;
    }
    uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (const char c : absolute) {
        hash = (hash ^ static_cast<uint8_t>(c)) * 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    const std::string base = NameOf(absolute).substr(0, 100);
    return base + "-" + hex;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

} // namespace

CSurveyJournal::~CSurveyJournal() {
    Close();
}

std::string CSurveyJournal::PathBeside(const std::string& sitePath) {
    return sitePath + kSuffix;
}

std::string CSurveyJournal::PathInStateFolder(const std::string& sitePath) {
    return stateFolder() + "/" + escapedName(absolutePath(sitePath)) + kSuffix;
}

bool CSurveyJournal::Find(const std::string& sitePath, std::string& journalPath) {
    for (const std::string& candidate : {PathBeside(sitePath), PathInStateFolder(sitePath)}) {
        if (exists(candidate)) {
            journalPath = candidate;
            return true;
        }
    }
    return false;
}

bool CSurveyJournal::Read(const std::string& journalPath, journal::Contents& contents) {
    std::vector<uint8_t> bytes;
    int error = 0;
    bool more = false;
    return ReadFileBytes(journalPath, kMaxJournalSize, bytes, error, more) &&
           journal::Parse(bytes.data(), bytes.size(), contents);
}

bool CSurveyJournal::SetAside(const std::string& journalPath, std::string& asidePath) {
    std::string candidate = journalPath + kAsideSuffix;
    for (int n = 2; exists(candidate); ++n) {
        candidate = journalPath + kAsideSuffix + "." + std::to_string(n);
    }
    if (std::rename(journalPath.c_str(), candidate.c_str()) != 0) {
        return false;
    }
    SyncFolder(FolderOf(candidate));
    asidePath = candidate;
    return true;
}

bool CSurveyJournal::Begin(const std::string& sitePath, const journal::SiteState& state,
                           bool keep) {
    Close();
    m_error = 0;
    std::vector<uint8_t> bytes;
    journal::AppendHeader(state, bytes);
    journal::Entry entry;
    entry.type = journal::kKeep;
    entry.keep = keep;
    journal::AppendEntry(entry, bytes);
    if (Create(PathBeside(sitePath), bytes)) {
        return true;
    }
    // A read-only folder (a mounted plan library, a write-protected stick): keep the journal in
    // the user's own state folder instead.
    if (m_error != EACCES && m_error != EROFS && m_error != EPERM) {
        return false;
    }
    const std::string other = PathInStateFolder(sitePath);
    if (!MakeFolders(FolderOf(other))) {
        return Fail(errno);
    }
    m_error = 0;
    return Create(other, bytes);
}

bool CSurveyJournal::Create(const std::string& path, const std::vector<uint8_t>& header) {
    // Never over a journal already there: one left by an earlier session is recovered or set
    // aside when the site opens, and one that could not be set aside must not be lost now.
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, kFileMode);
    if (m_fd < 0) {
        return Fail(errno);
    }
    m_path = path;
    if (!WriteAndSync(header)) {
        return false;
    }
    SyncFolder(FolderOf(path));
    return true;
}

bool CSurveyJournal::Resume(const std::string& journalPath, size_t validBytes) {
    Close();
    m_error = 0;
    m_fd = ::open(journalPath.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (m_fd < 0) {
        return Fail(errno);
    }
    m_path = journalPath;
    if (::ftruncate(m_fd, static_cast<off_t>(validBytes)) != 0 || ::fdatasync(m_fd) != 0) {
        return Fail(errno);
    }
    return true;
}

bool CSurveyJournal::Append(const journal::Entry& entry) {
    if (m_fd < 0) {
        return Fail(EBADF);
    }
    std::vector<uint8_t> bytes;
    journal::AppendEntry(entry, bytes);
    return WriteAndSync(bytes);
}

bool CSurveyJournal::WriteAndSync(const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Fail(n < 0 ? errno : ENOSPC);
        }
        done += static_cast<size_t>(n);
    }
    if (::fdatasync(m_fd) != 0) {
        return Fail(errno);
    }
    return true;
}

bool CSurveyJournal::RemoveFile(const std::string& journalPath) {
    if (::unlink(journalPath.c_str()) != 0 && errno != ENOENT) {
        return false;
    }
    SyncFolder(FolderOf(journalPath));
    return true;
}

bool CSurveyJournal::Remove() {
    const std::string path = m_path;
    Close();
    return path.empty() || RemoveFile(path) || Fail(errno);
}

bool CSurveyJournal::CloseAndSetAside() {
    const std::string path = m_path;
    Close();
    std::string aside;
    return path.empty() || !exists(path) || SetAside(path, aside);
}

void CSurveyJournal::Close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_path.clear();
}

bool CSurveyJournal::Fail(int error) {
    m_error = error != 0 ? error : EIO;
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    return false;
}
