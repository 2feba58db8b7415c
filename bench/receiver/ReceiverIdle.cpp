// Watches the receiver I/O thread on an idle line (a pseudo-terminal nobody writes to) and
// reports its CPU time and wake-ups per second. Usage: bench_receiver_idle [seconds] (60).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <pty.h>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

#include "receiver/BoardLink.h"
#include "receiver/Receiver.h"

namespace {

struct TaskStats {
    double cpuSeconds = 0;
    long switches = 0; // voluntary + involuntary: each is a sleep or a preemption
};

// The one task of this process other than the main thread: the I/O thread.
std::string OtherTask() {
    const std::string self = std::to_string(getpid());
    std::string found;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != ".." && name != self) {
                found = name;
            }
        }
        closedir(d);
    }
    return found;
}

TaskStats Read(const std::string& tid) {
    TaskStats s;
    const std::string dir = "/proc/self/task/" + tid + "/";
    std::ifstream stat(dir + "stat");
    std::string line;
    std::getline(stat, line);
    // Fields after the command's closing parenthesis: state is field 3, utime 14, stime 15.
    const size_t close = line.rfind(')');
    std::istringstream rest(line.substr(close + 2));
    std::string field;
    long utime = 0;
    long stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) {
            utime = std::atol(field.c_str());
        } else if (i == 15) {
            stime = std::atol(field.c_str());
        }
    }
    s.cpuSeconds = static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
    std::ifstream status(dir + "status");
    while (std::getline(status, line)) {
        if (line.find("ctxt_switches:") != std::string::npos) {
            s.switches += std::atol(line.substr(line.find(':') + 1).c_str());
        }
    }
    return s;
}

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    int master = -1;
    int slave = -1;
    char name[128];
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    CBoardLink link;
    if (!link.Setup(38400, name)) {
        return 1;
    }
    CReceiver rx;
    rx.StartIoThread(link);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const std::string tid = OtherTask();
    const TaskStats before = Read(tid);
    const auto start = std::chrono::steady_clock::now();
    // Drain the keep-alives so the pty never fills.
    for (auto end = start + std::chrono::seconds(seconds);
         std::chrono::steady_clock::now() < end;) {
        char junk[64];
        (void)!read(master, junk, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const TaskStats after = Read(tid);
    rx.StopIoThread();
    link.ClosePort(0);
    const double cpu = after.cpuSeconds - before.cpuSeconds;
    std::printf("idle %.1f s: I/O thread CPU %.3f s (%.3f %% of a core), %.1f wake-ups/s, "
                "%llu transmissions (keep-alives)\n",
                elapsed, cpu, 100.0 * cpu / elapsed,
                static_cast<double>(after.switches - before.switches) / elapsed,
                static_cast<unsigned long long>(rx.TransmissionsWritten()));
    close(master);
    close(slave);
    return 0;
}
