// The simulated board in the program's own process, behind the byte-stream seam: the receiver's
// link opens it as its stream source, and the two talk over a socket pair with no terminal and,
// unless asked, no line pacing. Tests run the receiver, the controller and the program on it in
// milliseconds; unplugging it hangs the receiver's stream up exactly as a serial port's does.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "BoardHost.h"
#include "receiver/StreamSource.h"

class CInProcessBoard : public CBoardHost {
public:
    CInProcessBoard() = default;
    ~CInProcessBoard() override;

    // A stream source for CBoardLink::Setup. Each Open connects the program anew (as opening
    // the device does), and fails while the board is away. The source must not outlive the
    // board.
    std::unique_ptr<IStreamSource> Source();

    // Starts a board with instant replies (the default for tests).
    static BoardSimOptions Instant();

private:
    class CSource;

    bool PlugIn() override;
    void Unplug() override;
    int Undelivered() const override;
    void Serve(Request request) override;
    // The program's end of a fresh connection, or -1 while the board is away.
    int Connect();
    bool MakeConnection();

    int m_board = -1;
    mutable std::mutex m_farLock;
    int m_far = -1; // the program's end, until it takes it
};
