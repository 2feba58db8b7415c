// CSerialPort over termios.
#include "platform/SerialPort.h"

#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
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
    // Non-blocking only for the open itself, so a line without carrier cannot hang it.
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
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) {
        (void)fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    m_fd = fd;
    return true;
}

bool CSerialPort::Configure(unsigned baud) {
    speed_t speed;
    termios t{};
    if (m_fd < 0 || !BaudConstant(baud, speed) || tcgetattr(m_fd, &t) != 0) {
        return false;
    }
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IXON | IXOFF | IXANY);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    if (cfsetispeed(&t, speed) != 0 || cfsetospeed(&t, speed) != 0 ||
        tcsetattr(m_fd, TCSANOW, &t) != 0) {
        return false;
    }
    SetModemLine(m_fd, TIOCM_DTR, false);
    SetModemLine(m_fd, TIOCM_RTS, true);
    return true;
}

bool CSerialPort::SetReadTimeouts() {
    termios t{};
    if (m_fd < 0 || tcgetattr(m_fd, &t) != 0) {
        return false;
    }
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return tcsetattr(m_fd, TCSANOW, &t) == 0;
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

size_t CSerialPort::Read(uint8_t* buffer, size_t size) {
    if (m_fd < 0) {
        return 0;
    }
    ssize_t n;
    do {
        n = ::read(m_fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    return n > 0 ? static_cast<size_t>(n) : 0;
}

size_t CSerialPort::Write(const uint8_t* data, size_t length) {
    size_t done = 0;
    while (m_fd >= 0 && done < length) {
        const ssize_t n = ::write(m_fd, data + done, length - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    return done;
}

bool CSerialPort::WaitReadable(int ms) {
    if (m_fd < 0) {
        return false;
    }
    pollfd p{m_fd, POLLIN, 0};
    int r;
    do {
        r = ::poll(&p, 1, ms);
    } while (r < 0 && errno == EINTR);
    return r > 0 && (p.revents & POLLIN) != 0;
}

void CSerialPort::Close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}
