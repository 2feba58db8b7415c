// CSerialPort over termios, with a non-blocking descriptor and an inotify watch on the node.
#include "platform/SerialPort.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
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
    Adopt(fd);
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
    if (!IsOpen() || !BaudConstant(baud, speed) || tcgetattr(Fd(), &t) != 0) {
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
        tcsetattr(Fd(), TCSANOW, &t) != 0 || tcgetattr(Fd(), &check) != 0 ||
        !SettingsTook(t, check)) {
        NoteError(errno);
        return false;
    }
    SetModemLine(Fd(), TIOCM_DTR, false);
    SetModemLine(Fd(), TIOCM_RTS, true);
    return true;
}

void CSerialPort::PurgeTransmit() {
    if (IsOpen()) {
        (void)tcflush(Fd(), TCOFLUSH);
    }
}

void CSerialPort::PurgeReceive() {
    if (IsOpen()) {
        (void)tcflush(Fd(), TCIFLUSH);
    }
}

void CSerialPort::SetRts(bool raised) {
    if (IsOpen()) {
        SetModemLine(Fd(), TIOCM_RTS, raised);
    }
}

bool CSerialPort::NodeGone() {
    if (m_watchFd >= 0) {
        // Only that something happened matters; the node itself is asked below.
        char events[4096];
        while (::read(m_watchFd, events, sizeof events) > 0) {
        }
    }
    struct stat st {};
    if (IsOpen() && fstat(Fd(), &st) == 0 && st.st_nlink == 0) {
        MarkLost();
    }
    return Gone();
}

void CSerialPort::Close(unsigned lingerMs) {
    if (m_watchFd >= 0) {
        ::close(m_watchFd);
        m_watchFd = -1;
    }
    if (IsOpen()) {
        // The board sees RTS drop, for lingerMs before the descriptor goes.
        SetRts(false);
        if (lingerMs > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(lingerMs));
        }
        // Exclusive use ends with ours: whoever opens the port next must not find it locked.
        (void)ioctl(Fd(), TIOCNXCL);
    }
    CFdStream::Close();
}
