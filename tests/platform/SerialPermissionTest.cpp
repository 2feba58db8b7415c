// A serial port the user may not open: the text names the device and its group and says how to
// join it, and the board link shows it instead of the generic failure. Opened for real, as a
// user without rights to a real file, so the kernel gives the errno a missing permission gives.
#include <gtest/gtest.h>

#include <cerrno>
#include <grp.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ScriptedPrompts.h"
#include "platform/SerialPermission.h"
#include "platform/SerialPort.h"
#include "receiver/BoardLink.h"

namespace {

constexpr uid_t kNobody = 65534;

// Runs what in a child that has given up root, and returns what it wrote.
template <typename What> std::string asNobody(What what) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return "pipe failed";
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
            ::_exit(3);
        }
        const std::string out = what();
        ::_exit(::write(fds[1], out.data(), out.size()) == static_cast<ssize_t>(out.size()) ? 0
                                                                                            : 4);
    }
    ::close(fds[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) {
        out.append(buffer, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? out : "child failed";
}

class SerialPermission : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "opening as another user needs root";
        }
        char pattern[] = "/tmp/larkspur-port-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        ASSERT_EQ(::chmod(dir.c_str(), 0755), 0) << "the folder itself must not be what stops";
        port = dir + "/ttyUSB0";
        FILE* file = std::fopen(port.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
        // A group the unprivileged user is not in.
        const group* dialout = ::getgrnam("dialout");
        groupName = dialout != nullptr ? "dialout" : "root";
        ASSERT_EQ(::chown(port.c_str(), 0, dialout != nullptr ? dialout->gr_gid : 0), 0);
    }
    void TearDown() override {
        if (!dir.empty()) {
            ::unlink(port.c_str());
            ::rmdir(dir.c_str());
        }
    }

    std::string dir;
    std::string port;
    std::string groupName;
};

} // namespace

TEST_F(SerialPermission, NamesTheDeviceAndItsGroupAndHowToJoinIt) {
    struct Case {
        mode_t mode;
        bool joiningHelps;
    } const cases[] = {
        {0660, true},  // the usual serial node: the group may read and write
        {0600, false}, // only its owner: joining the group would not help
    };
    for (const Case& c : cases) {
        ASSERT_EQ(::chmod(port.c_str(), c.mode), 0);
        const std::string text = asNobody([this] {
            CSerialPort serial;
            return serial.Open(port) ? std::string("opened") : serialPermissionText(port, errno);
        });
        EXPECT_NE(text.find(port), std::string::npos) << text;
        EXPECT_NE(text.find('"' + groupName + '"'), std::string::npos) << text;
        EXPECT_EQ(text.find("usermod -aG " + groupName + " nobody") != std::string::npos,
                  c.joiningHelps)
            << text;
    }
    // Every other failure keeps the caller's own message.
    for (int error : {ENOENT, ENOTTY, EBUSY, EIO}) {
        EXPECT_EQ(serialPermissionText(port, error), "") << error;
    }
}

TEST_F(SerialPermission, TheBoardLinkShowsItInsteadOfTheGenericFailure) {
    ASSERT_EQ(::chmod(port.c_str(), 0660), 0);
    const std::string shown = asNobody([this] {
        CScriptedPrompts prompts;
        CScopedPrompts scope(prompts);
        CBoardLink link;
        const bool opened = link.Setup(CBoardLink::kDefaultBaud, port);
        const auto messages = prompts.Messages();
        return opened || messages.size() != 1 ? std::string("unexpected") : messages[0];
    });
    EXPECT_NE(shown.find(port), std::string::npos) << shown;
    EXPECT_NE(shown.find("usermod -aG " + groupName + " nobody"), std::string::npos) << shown;
}
