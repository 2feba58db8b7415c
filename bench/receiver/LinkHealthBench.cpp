// The board link's health against the simulated board paced at 38400 baud behind a symbolic link:
// how soon an unplugged board is seen, how soon a returning one is set up again with a 30-entry
// table, and how long stopping the I/O thread takes while the board is away.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>
#include <unistd.h>

#include "BoardSimulator.h"
#include "receiver/BoardLink.h"
#include "receiver/Receiver.h"

namespace {

using Clock = std::chrono::steady_clock;

// A receiver on the board's link with a 30-entry table loaded and wanted.
struct Line {
    Line() : path("/tmp/larkspur-bench-link-" + std::to_string(getpid())) {
        BoardSimOptions options;
        options.linkPath = path;
        options.forgetTable = true;
        board.Start(options);
        link.Setup(38400, path);
        rx.StartIoThread(link);
        ChannelEntry entries[30];
        for (int i = 0; i < 30; ++i) {
            entries[i] = ChannelEntry{0, static_cast<uint16_t>(1 + 20 * i), 0};
        }
        rx.SetChannelTable(entries, 30);
        rx.SetTableWanted(true);
        rx.ProgramChannelTable();
    }
    ~Line() {
        rx.StopIoThread();
        link.ClosePort(0);
        board.Stop();
    }
    double WaitFor(LinkState state, Clock::time_point from) {
        while (link.State() != state) {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        return std::chrono::duration<double>(Clock::now() - from).count();
    }

    std::string path;
    CBoardSimulator board;
    CBoardLink link;
    CReceiver rx;
};

void BM_UnpluggedBoardSeen(benchmark::State& state) {
    Line line;
    for (auto _ : state) {
        const auto start = Clock::now();
        line.board.Vanish();
        state.SetIterationTime(line.WaitFor(LinkState::kNoBoard, start));
        state.PauseTiming();
        line.board.Reappear();
        line.WaitFor(LinkState::kConnected, Clock::now());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UnpluggedBoardSeen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// From the board's return to a board identified and holding the whole table again; the port is
// tried once a second, so this includes up to a second of waiting for the next try.
void BM_ReturningBoardSetUp(benchmark::State& state) {
    Line line;
    for (auto _ : state) {
        state.PauseTiming();
        line.board.Vanish();
        line.WaitFor(LinkState::kNoBoard, Clock::now());
        state.ResumeTiming();
        const auto start = Clock::now();
        line.board.Reappear();
        state.SetIterationTime(line.WaitFor(LinkState::kConnected, start));
    }
}
BENCHMARK(BM_ReturningBoardSetUp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_StopWhileBoardAway(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Line line;
        line.board.Vanish();
        line.WaitFor(LinkState::kNoBoard, Clock::now());
        state.ResumeTiming();
        const auto start = Clock::now();
        line.rx.StopIoThread();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}
BENCHMARK(BM_StopWhileBoardAway)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
