// Whole-file reads for the file formats: small loops over read(2) that survive interrupted and
// partial reads.
#include "files/FileBytes.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {
constexpr size_t kChunk = 1 << 16;

// Closes the descriptor on every way out, an allocation failure included.
class CFdGuard {
public:
    explicit CFdGuard(int fd) : m_fd(fd) {}
    ~CFdGuard() { ::close(m_fd); }
    CFdGuard(const CFdGuard&) = delete;
    CFdGuard& operator=(const CFdGuard&) = delete;

private:
    int m_fd;
};
} // namespace

bool ReadFileBytes(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out, int& error,
                   bool& truncated) {
    out.clear();
    truncated = false;
    error = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    const CFdGuard guard(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = errno;
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        // Reading a pipe or a device could block the user-interface thread for good.
        error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    const auto fileSize = static_cast<uint64_t>(st.st_size);
    out.reserve(static_cast<size_t>(fileSize < maxBytes ? fileSize : maxBytes));
    while (out.size() < maxBytes) {
        const size_t want = maxBytes - out.size() < kChunk ? maxBytes - out.size() : kChunk;
        const size_t at = out.size();
        out.resize(at + want);
        const ssize_t got = ::read(fd, out.data() + at, want);
        if (got < 0) {
            if (errno == EINTR) {
                out.resize(at);
                continue;
            }
            error = errno;
            out.clear();
            return false;
        }
        out.resize(at + static_cast<size_t>(got));
        if (got == 0) {
            break;
        }
    }
    if (out.size() == maxBytes) {
        uint8_t probe = 0;
        ssize_t more = 0;
        do {
            more = ::read(fd, &probe, 1);
        } while (more < 0 && errno == EINTR);
        truncated = more > 0;
    }
    return true;
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
