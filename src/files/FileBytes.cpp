// Whole-file reads for the file formats: small loops over read(2) that survive interrupted and
// partial reads.
#include "files/FileBytes.h"

#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace {
constexpr size_t kChunk = 1 << 16;

// Closes the descriptor on every way out, an allocation failure included.
class CFdGuard {
public:
    CFdGuard(IFileSystem& fs, int fd) : m_fs(fs), m_fd(fd) {}
    ~CFdGuard() { m_fs.Close(m_fd); }
    CFdGuard(const CFdGuard&) = delete;
    CFdGuard& operator=(const CFdGuard&) = delete;

private:
    IFileSystem& m_fs;
    int m_fd;
};

ssize_t readSome(IFileSystem& fs, int fd, void* data, size_t size) {
    ssize_t got = 0;
    do {
        got = fs.Read(fd, data, size);
    } while (got < 0 && errno == EINTR);
    return got;
}

} // namespace

int OpenRegularFile(IFileSystem& fs, const std::string& path, int flags, int& error,
                    struct stat* st) {
    // O_NONBLOCK makes opening a FIFO return at once; on a regular file it changes nothing.
    const int fd = fs.Open(path, flags | O_NONBLOCK | O_NOCTTY, 0);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    struct stat status {};
    if (fs.Stat(fd, status) != 0) {
        error = errno;
        fs.Close(fd);
        return -1;
    }
    if (!S_ISREG(status.st_mode)) {
        error = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        fs.Close(fd);
        return -1;
    }
    if (st != nullptr) {
        *st = status;
    }
    error = 0;
    return fd;
}

bool ReadFilePrefix(IFileSystem& fs, const std::string& path, size_t maxBytes, FileRead& out) {
    out = FileRead{};
    const int fd = OpenRegularFile(fs, path, O_RDONLY, out.error, &out.status);
    if (fd < 0) {
        return false;
    }
    out.opened = true;
    const CFdGuard guard(fs, fd);
    const auto fileSize = static_cast<uint64_t>(out.status.st_size);
    out.bytes.reserve(static_cast<size_t>(fileSize < maxBytes ? fileSize : maxBytes));
    while (out.bytes.size() < maxBytes) {
        const size_t at = out.bytes.size();
        const size_t want = maxBytes - at < kChunk ? maxBytes - at : kChunk;
        out.bytes.resize(at + want);
        const ssize_t got = readSome(fs, fd, out.bytes.data() + at, want);
        out.bytes.resize(at + (got > 0 ? static_cast<size_t>(got) : 0));
        if (got < 0) {
            out.error = errno;
            return false;
        }
        if (got == 0) {
            return true;
        }
    }
    uint8_t probe = 0;
    out.truncated = readSome(fs, fd, &probe, 1) > 0;
    return true;
}

bool ReadFileBytes(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out, int& error,
                   bool& truncated) {
    FileRead read;
    const bool ok = ReadFilePrefix(ThePosixFileSystem(), path, maxBytes, read);
    error = read.error;
    truncated = read.truncated;
    if (ok) {
        out = std::move(read.bytes);
    } else {
        out.clear();
    }
    return ok;
}

bool FileIsMissing(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) != 0 && errno == ENOENT;
}

bool FileSize(const std::string& path, uint64_t& size) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return false;
    }
    size = static_cast<uint64_t>(st.st_size);
    return true;
}

std::string SystemErrorText(int error) {
    return std::system_category().message(error);
}
