// Opening a site file for lks: the program's reader, plus the signature, which the program
// itself never reads back.
#include "SiteSummary.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "files/ByteReader.h"
#include "files/SiteFileLayout.h"
#include "files/SiteFileReader.h"

namespace {

// Any ink pixel in the signature area; pixels the file does not hold count as paper.
bool signatureHasInk(const std::string& path, uint32_t offset) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
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
        if (n <= 0) {
            break;
        }
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    const CByteReader in(area.data(), got);
    for (size_t at = 0; in.Has(at, 4); at += 4) {
        uint32_t pixel = 0;
        in.U32(at, pixel);
        if (pixel == site::kInk) {
            return true;
        }
    }
    return false;
}

} // namespace

bool OpenSiteForTool(const std::string& path, SiteSummary& summary, std::string& error) {
    std::string detail;
    switch (CSiteFileReader::Read(path, summary.site, detail)) {
    case SF_OK:
        break;
    case SF_OPEN_FAILED:
        error = "cannot open " + path + ": " + detail;
        return false;
    default:
        error = path + " is not a site file: " + detail;
        return false;
    }
    if (summary.site.m_surveyTruncated) {
        error = path + " is truncated: its survey data ends early";
        return false;
    }
    summary.signatureInk = signatureHasInk(path, summary.site.SignatureOffset());
    return true;
}
