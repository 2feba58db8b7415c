// CSerialPort over termios, with a non-blocking descriptor and an inotify watch on the node.
#include "platform/SerialPort.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {
bool BaudConstant(unsigned baud, speed_t& out) {
    struct Rate {
        unsigned baud;
        speed_t code;
    };
    static const Rate kRates[] = {{1200, B1200},     {2400, B2400},     {4800, B4800},
                                  {9600, B9600},     {19200, B19200},   {38400, B38400},
                                  {57600, B57600},   {115200, B115200}, {230400, B230400},
                                  {460800, B460800}, {921600, B921600}};
    for (const Rate& r : kRates) {
        if (r.baud == baud) {
            out = r.code;
            return true;
        }
    }
    return false;
}

void SetModemLine(int fd, int line, bool raised) {
    // Pseudo-terminals refuse modem-line ioctls (ENOTTY); the line works without them, so a
    // refusal is ignored just as the driver's answer was ignored on the handheld.
    (void)ioctl(fd, raised ? TIOCMBIS : TIOCMBIC, &line);
}

constexpr tcflag_t kRawInputOff =
    IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY;
constexpr tcflag_t kCooking = ECHO | ECHONL | ICANON | ISIG | IEXTEN;
constexpr tcflag_t kFramingBits = CSIZE | PARENB | CSTOPB | CRTSCTS;

// tcsetattr succeeds when any one change took; the line is right only if all of them did.
bool SettingsTook(const termios& want, const termios& got) {
    return cfgetispeed(&got) == cfgetispeed(&want) && cfgetospeed(&got) == cfgetospeed(&want) &&
           (got.c_cflag & (kFramingBits | CREAD | CLOCAL)) ==
               (want.c_cflag & (kFramingBits | CREAD | CLOCAL)) &&
           (got.c_iflag & kRawInputOff) == 0 && (got.c_lflag & kCooking) == 0 &&
           (got.c_oflag & OPOST) == 0 && got.c_cc[VMIN] == want.c_cc[VMIN] &&
           got.c_cc[VTIME] == want.c_cc[VTIME];
}

int PollOne(int fd, short events, int ms, short& revents) {
    pollfd p{fd, events, 0};
    int r;
    do {
        r = ::poll(&p, 1, ms);
    } while (r < 0 && errno == EINTR);
    revents = r > 0 ? p.revents : 0;
    return r;
}
} // namespace

CSerialPort::~CSerialPort() {
    Close();
}

std::string CSerialPort::DevicePath(const std::string& name) {
    if (name.size() >= 4 && std::toupper(static_cast<unsigned char>(name[0])) == 'C' &&
        std::toupper(static_cast<unsigned char>(name[1])) == 'O' &&
        std::toupper(static_cast<unsigned char>(name[2])) == 'M') {
        size_t end = name.size();
        if (name[end - 1] == ':') {
            --end;
        }
        unsigned n = 0;
        bool digits = end > 3;
        for (size_t i = 3; i < end && digits; ++i) {
            digits = std::isdigit(static_cast<unsigned char>(name[i])) != 0 && n < 1000;
            n = n * 10 + static_cast<unsigned>(name[i] - '0');
        }
        if (digits && n >= 1) {
            return "/dev/ttyS" + std::to_string(n - 1);
        }
    }
    return name;
}

bool CSerialPort::IsLossError(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

bool CSerialPort::Open(const std::string& name) {
    Close();
    const std::string path = DevicePath(name);
    // Non-blocking, so that neither a line without carrier nor a stalled driver can hang the
    // thread that reads and writes it.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    if (!isatty(fd)) {
        ::close(fd);
        errno = ENOTTY;
        return false;
    }
    (void)ioctl(fd, TIOCEXCL);
    m_fd = fd;
    // The watch follows a symbolic link to the node itself. A link count change (IN_ATTRIB)
    // is how an unlink shows on a node that is still open.
    m_watchFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_watchFd >= 0 &&
        inotify_add_watch(m_watchFd, path.c_str(), IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF) < 0) {
        ::close(m_watchFd);
        m_watchFd = -1;
    }
    return true;
}

bool CSerialPort::Configure(unsigned baud) {
    speed_t speed;
    termios t{};
    if (m_fd < 0 || !BaudConstant(baud, speed) || tcgetattr(m_fd, &t) != 0) {
        return false;
    }
    t.c_iflag &= ~kRawInputOff;
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~kCooking;
    t.c_cflag &= ~kFramingBits;
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    // Reads return at once with whatever is buffered; the I/O thread waits in poll instead.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    termios check{};
    if (cfsetispeed(&t, speed) != 0 || cfsetospeed(&t, speed) != 0 ||
        tcsetattr(m_fd, TCSANOW, &t) != 0 || tcgetattr(m_fd, &check) != 0 ||
        !SettingsTook(t, check)) {
        NoteError(errno);
        return false;
    }
    SetModemLine(m_fd, TIOCM_DTR, false);
    SetModemLine(m_fd, TIOCM_RTS, true);
    return true;
}

void CSerialPort::PurgeTransmit() {
    if (m_fd >= 0) {
        (void)tcflush(m_fd, TCOFLUSH);
    }
}

void CSerialPort::PurgeReceive() {
    if (m_fd >= 0) {
        (void)tcflush(m_fd, TCIFLUSH);
    }
}

void CSerialPort::SetRts(bool raised) {
    if (m_fd >= 0) {
        SetModemLine(m_fd, TIOCM_RTS, raised);
    }
}

void CSerialPort::NoteError(int error) {
    if (IsLossError(error)) {
        m_lost = true;
    }
}

void CSerialPort::NoteEvents(short revents) {
    // A hung-up terminal also reads as readable; the hang-up is what counts.
    if ((revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        m_lost = true;
    }
}

size_t CSerialPort::Read(uint8_t* buffer, size_t size) {
    if (m_fd < 0 || m_lost) {
        return 0;
    }
    ssize_t n;
    do {
        n = ::read(m_fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        NoteError(errno);
        return 0;
    }
    // 0 is "nothing buffered" with VMIN 0 and VTIME 0, and also what a hung-up terminal
    // returns; the poll that follows tells the two apart.
    return static_cast<size_t>(n);
}

size_t CSerialPort::Write(const uint8_t* data, size_t length, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    size_t done = 0;
    while (m_fd >= 0 && !m_lost && done < length) {
        const ssize_t n = ::write(m_fd, data + done, length - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n == 0) {
            break;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            NoteError(errno);
            break;
        }
        // The driver's buffer is full: wait for room, but not for ever.
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        short revents = 0;
        if (left <= 0 || PollOne(m_fd, POLLOUT, static_cast<int>(left), revents) <= 0) {
            break;
        }
        NoteEvents(revents);
    }
    return done;
}

bool CSerialPort::WaitReadable(int ms) {
    if (m_fd < 0 || m_lost) {
        return false;
    }
    short revents = 0;
    if (PollOne(m_fd, POLLIN, ms, revents) <= 0) {
        return false;
    }
    NoteEvents(revents);
    return !m_lost && (revents & POLLIN) != 0;
}

bool CSerialPort::NodeGone() {
    if (m_watchFd >= 0) {
        // Only that something happened matters; the node itself is asked below.
        char events[4096];
        while (::read(m_watchFd, events, sizeof events) > 0) {
        }
    }
    struct stat st {};
    if (m_fd >= 0 && fstat(m_fd, &st) == 0 && st.st_nlink == 0) {
        m_lost = true;
    }
    return m_lost;
}

void CSerialPort::Close() {
    if (m_watchFd >= 0) {
        ::close(m_watchFd);
        m_watchFd = -1;
    }
    if (m_fd >= 0) {
        // Exclusive use ends with ours: whoever opens the port next must not find it locked.
        (void)ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);
        m_fd = -1;
    }
    m_lost = false;
}
