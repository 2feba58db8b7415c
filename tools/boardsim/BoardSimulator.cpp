// The pseudo-terminal front-end: the terminal pair and the symbolic link that follows it.
#include "BoardSimulator.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

CBoardSimulator::~CBoardSimulator() {
    Stop();
}

std::string CBoardSimulator::SlavePath() const {
    std::lock_guard<std::mutex> hold(m_pathLock);
    return m_slavePath;
}

bool CBoardSimulator::PlugIn() {
    termios raw{};
    cfmakeraw(&raw);
    char name[128] = {};
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, name, &raw, nullptr) != 0) {
        return false;
    }
    const int flags = fcntl(master, F_GETFL);
    if (flags < 0 || fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0 ||
        fcntl(master, F_SETFD, FD_CLOEXEC) != 0 || fcntl(slave, F_SETFD, FD_CLOEXEC) != 0) {
        close(master);
        close(slave);
        return false;
    }
    m_master = master;
    // Held open so that the master never reads a hang-up while the program has the line closed.
    m_slave = slave;
    {
        std::lock_guard<std::mutex> hold(m_pathLock);
        m_slavePath = name;
    }
    // The link before the board counts as back: whoever sees it back finds it behind its name.
    if (!PointLink()) {
        Unplug();
        return false;
    }
    SetLine(m_master);
    return true;
}

void CBoardSimulator::Unplug() {
    for (int* fd : {&m_master, &m_slave}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
    const std::string& link = Options().linkPath;
    char target[256];
    if (!link.empty() && readlink(link.c_str(), target, sizeof target) >= 0) {
        unlink(link.c_str());
    }
}

int CBoardSimulator::Undelivered() const {
    int unread = 0;
    return m_slave >= 0 && ioctl(m_slave, FIONREAD, &unread) == 0 ? unread : 0;
}

bool CBoardSimulator::PointLink() const {
    const std::string& link = Options().linkPath;
    if (link.empty()) {
        return true;
    }
    struct stat st {};
    if (lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        return false; // somebody's file, not a link of ours
    }
    // Made beside it and renamed over it, so the link never dangles for a reader in between.
    const std::string fresh = link + ".new";
    unlink(fresh.c_str());
    return symlink(SlavePath().c_str(), fresh.c_str()) == 0 &&
           rename(fresh.c_str(), link.c_str()) == 0;
}
