// Copies of a serial port's device node, for tests of a node that goes away.
#include "TtyNode.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

CTtyNode::CTtyNode(const std::string& path) {
    for (const char* system : {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"}) {
        struct stat st {};
        if (stat(system, &st) != 0 || !S_ISCHR(st.st_mode) ||
            mknod(path.c_str(), S_IFCHR | 0600, st.st_rdev) != 0) {
            continue;
        }
        // A port without hardware behind it may refuse to open; try the next one.
        const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        const bool usable = fd >= 0 && isatty(fd);
        if (fd >= 0) {
            close(fd);
        }
        if (usable) {
            m_path = path;
            return;
        }
        unlink(path.c_str());
    }
}

CTtyNode::~CTtyNode() {
    Remove();
}

bool CTtyNode::Remove() {
    if (m_path.empty()) {
        return false;
    }
    const bool removed = unlink(m_path.c_str()) == 0;
    m_path.clear();
    return removed;
}
