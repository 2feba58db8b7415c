// The in-process front-end: a socket pair per connection, the program's end handed to its link.
#include "InProcessBoard.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/FdStream.h"

class CInProcessBoard::CSource : public IStreamSource {
public:
    explicit CSource(CInProcessBoard& board) : m_board(board) {}
    std::unique_ptr<IByteStream> Open(bool, std::string& why) override {
        const int fd = m_board.Connect();
        if (fd < 0) {
            why = kOpenFailedText;
            return nullptr;
        }
        return std::make_unique<CFdStream>(fd);
    }
    bool TakesFrequencies() const override { return m_board.TakesFrequencies(); }

private:
    CInProcessBoard& m_board;
};

CInProcessBoard::~CInProcessBoard() {
    Stop();
}

BoardSimOptions CInProcessBoard::Instant() {
    BoardSimOptions options;
    options.instant = true;
    return options;
}

std::unique_ptr<IStreamSource> CInProcessBoard::Source() {
    return std::make_unique<CSource>(*this);
}

bool CInProcessBoard::MakeConnection() {
    int pair[2] = {-1, -1};
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair) != 0) {
        return false;
    }
    if (m_board >= 0) {
        close(m_board);
    }
    m_board = pair[0];
    {
        std::lock_guard<std::mutex> hold(m_farLock);
        if (m_far >= 0) {
            close(m_far);
        }
        m_far = pair[1];
    }
    SetLine(m_board);
    return true;
}

bool CInProcessBoard::PlugIn() {
    return MakeConnection();
}

void CInProcessBoard::Unplug() {
    if (m_board >= 0) {
        close(m_board);
        m_board = -1;
    }
    std::lock_guard<std::mutex> hold(m_farLock);
    if (m_far >= 0) {
        close(m_far);
        m_far = -1;
    }
}

int CInProcessBoard::Undelivered() const {
    // What this end has written and the program has not yet read.
    int unread = 0;
    return m_board >= 0 && ioctl(m_board, SIOCOUTQ, &unread) == 0 ? unread : 0;
}

void CInProcessBoard::Serve(Request request) {
    // The program opens the board again: a new connection, as a reopened device is one, unless
    // the board is away.
    if (request != Request::kReconnect || Line() < 0 || !MakeConnection()) {
        SetRequestFailed();
        return;
    }
    Reconnected();
}

int CInProcessBoard::Connect() {
    {
        // The connection made when the board was plugged in, if nobody has taken it yet.
        std::lock_guard<std::mutex> hold(m_farLock);
        if (m_far >= 0) {
            const int fd = m_far;
            m_far = -1;
            return fd;
        }
    }
    if (!Running() || !Present() || !Ask(Request::kReconnect)) {
        return -1;
    }
    std::lock_guard<std::mutex> hold(m_farLock);
    const int fd = m_far;
    m_far = -1;
    return fd;
}
