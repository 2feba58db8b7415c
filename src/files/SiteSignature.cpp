// Signature area reading: one bounded pread of the area, then pixel by pixel through the
// bounds-checked byte reader.
#include "files/SiteSignature.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "files/ByteReader.h"

namespace {
constexpr size_t kPixelSize = 4;
} // namespace

CSiteSignature::CSiteSignature() : m_ink(size_t{kWidth} * kHeight, 0) {}

void CSiteSignature::Parse(const uint8_t* area, size_t size) {
    const CByteReader in(area, size);
    m_inkCount = 0;
    for (int y = 0; y < kHeight; ++y) {
        // The bottom row is stored first.
        const size_t row = static_cast<size_t>(kHeight - 1 - y) * kWidth;
        for (int x = 0; x < kWidth; ++x) {
            uint32_t pixel = site::kPaper;
            in.U32((row + static_cast<size_t>(x)) * kPixelSize, pixel);
            const bool ink = pixel == site::kInk;
            m_ink[static_cast<size_t>(y) * kWidth + x] = ink ? 1 : 0;
            m_inkCount += ink ? 1 : 0;
        }
    }
}

bool CSiteSignature::Read(const std::string& path, uint32_t offset, int& error) {
    error = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    std::vector<uint8_t> area(site::kSignatureSize);
    size_t got = 0;
    while (got < area.size()) {
        const ssize_t n = ::pread(fd, area.data() + got, area.size() - got,
                                  static_cast<off_t>(offset) + static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error = errno;
            ::close(fd);
            return false;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    Parse(area.data(), got);
    return true;
}

bool CSiteSignature::Ink(int x, int y) const {
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) {
        return false;
    }
    return m_ink[static_cast<size_t>(y) * kWidth + x] != 0;
}
