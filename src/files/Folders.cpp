// Folder helpers on POSIX calls.
#include "files/Folders.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr mode_t kFolderMode = 0700;
// Longer escaped names are shortened to the file's own name and a hash of its whole path.
constexpr size_t kMaxEscapedName = 200;

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
    return NameOf(absolute).substr(0, 100) + "-" + hex;
}

} // namespace

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string StateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        return std::string(state) + "/larkspur";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "/tmp") + "/.local/state/larkspur";
}

std::string AbsolutePath(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    // A file that is not there (yet, or any more): its folder's real path and its name, so that
    // it is named the same way before and after.
    if (::realpath(FolderOf(path).c_str(), resolved) != nullptr) {
        return std::string(resolved) + "/" + NameOf(path);
    }
    if (!path.empty() && path[0] == '/') {
        return path;
    }
    char cwd[PATH_MAX];
    return ::getcwd(cwd, sizeof cwd) != nullptr ? std::string(cwd) + "/" + path : path;
}

std::string StatePathFor(const std::string& sitePath, const char* suffix) {
    return StateFolder() + "/" + escapedName(AbsolutePath(sitePath)) + suffix;
}

bool MakeFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), kFolderMode) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
    }
}
