// The simulated receiver board on a pseudo-terminal: the program opens it as it opens a serial
// port, so this front-end proves the real serial path (`larkspur --simulate`, larkspur-boardsim,
// the end-to-end tests). Unplugged, the board vanishes with its pseudo-terminal and comes back on
// a new one, behind the same symbolic link.
#pragma once

#include <string>

#include "BoardHost.h"

class CBoardSimulator : public CBoardHost {
public:
    CBoardSimulator() = default;
    ~CBoardSimulator() override;

    // The device the program opens, e.g. /dev/pts/3 (the one it had last while it is away).
    std::string SlavePath() const;

private:
    bool PlugIn() override;
    void Unplug() override;
    int Undelivered() const override;
    bool PointLink() const;

    int m_master = -1;
    int m_slave = -1;
    mutable std::mutex m_pathLock;
    std::string m_slavePath;
};
