// Receiver speed against the simulated board paced at 38400 baud: programming a 30-entry table
// and one 30-channel measurement, each beside the wire time of the same bytes; and the frame
// parser's throughput.
#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "BoardSimulator.h"
#include "receiver/BoardLink.h"
#include "receiver/FrameCodec.h"
#include "receiver/FrameParser.h"
#include "receiver/Receiver.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kBaud = 38400.0;
constexpr int kEntries = 30;

double WireMs(size_t bytes) {
    return static_cast<double>(bytes) * 10.0 * 1000.0 / kBaud;
}

size_t FrameBytes(uint8_t type, const std::vector<uint8_t>& data) {
    uint8_t out[8192 * 2 + 8];
    return EncodeFrame(type, data.data(), data.size(), out, sizeof out);
}

class CDoneTarget : public IMessageTarget {
public:
    explicit CDoneTarget(const CReceiver& r) : m_r(r) {}
    void Post(uint32_t, uintptr_t, intptr_t) override {
        if (m_r.MeasurementPending() && m_r.MeasurementComplete()) {
            {
                std::lock_guard<std::mutex> hold(m_lock);
                m_done = true;
                m_at = Clock::now();
            }
            m_cv.notify_all();
        }
    }
    void Arm() {
        std::lock_guard<std::mutex> hold(m_lock);
        m_done = false;
    }
    Clock::time_point WaitDone() {
        std::unique_lock<std::mutex> hold(m_lock);
        m_cv.wait_for(hold, std::chrono::seconds(5), [&] { return m_done; });
        return m_at;
    }

private:
    const CReceiver& m_r;
    std::mutex m_lock;
    std::condition_variable m_cv;
    bool m_done = false;
    Clock::time_point m_at;
};

struct Line {
    Line() : target(rx) {
        board.Start(BoardSimOptions());
        link.Setup(38400, board.SlavePath());
        rx.SetViewWindow(&target);
        rx.StartIoThread(link);
        ChannelEntry entries[kEntries];
        for (int i = 0; i < kEntries; ++i) {
            entries[i] = ChannelEntry{0, static_cast<uint16_t>(1 + 25 * i), 0};
        }
        rx.SetChannelTable(entries, kEntries);
    }
    ~Line() {
        rx.StopIoThread();
        link.ClosePort(0);
    }
    CBoardSimulator board;
    CBoardLink link;
    CReceiver rx;
    CDoneTarget target;
};

void BM_ProgramTable30(benchmark::State& state) {
    Line line;
    // Every command and its reply cross the line one after the other.
    size_t bytes = FrameBytes(8, {0}) * 2 + FrameBytes(8, {4}) * 2 + FrameBytes(5, {40, 0}) +
                   FrameBytes(5, {}) + FrameBytes(39, {kEntries}) + FrameBytes(39, {});
    std::vector<uint8_t> list(97, 0);
    list[0] = kEntries;
    for (int i = 0; i < kEntries; ++i) {
        const uint16_t code = line.rx.BoardCode(i);
        bytes += FrameBytes(23, {static_cast<uint8_t>(i), 0, static_cast<uint8_t>(code & 0xFF),
                                 static_cast<uint8_t>(code >> 8)}) +
                 FrameBytes(23, {});
        list[2 + 3 * i] = static_cast<uint8_t>(line.rx.Channel(i).channel & 0xFF);
        list[3 + 3 * i] = static_cast<uint8_t>(line.rx.Channel(i).channel >> 8);
    }
    bytes += FrameBytes(24, {}) + FrameBytes(24, list);
    double totalMs = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        line.rx.ProgramChannelTable();
        totalMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    const double wire = WireMs(bytes);
    state.counters["wire_ms"] = wire;
    state.counters["ratio"] = totalMs / static_cast<double>(state.iterations()) / wire;
}

void BM_Measurement30(benchmark::State& state) {
    Line line;
    line.rx.ProgramChannelTable();
    size_t bytes = FrameBytes(35, {}) * 2 + FrameBytes(36, {});
    for (int k = 0; k < kEntries; ++k) {
        bytes += FrameBytes(34, {static_cast<uint8_t>(k), 0x40, 0xFB});
    }
    double totalMs = 0;
    for (auto _ : state) {
        line.target.Arm();
        const Clock::time_point start = Clock::now();
        const uint64_t scan = line.rx.BeginScan();
        const Clock::time_point done = line.target.WaitDone();
        const double secs = std::chrono::duration<double>(done - start).count();
        state.SetIterationTime(secs);
        totalMs += secs * 1000.0;
        std::vector<ChannelReading> readings;
        line.rx.TakeScan(scan, readings);
    }
    const double wire = WireMs(bytes);
    state.counters["wire_ms"] = wire;
    state.counters["ratio"] = totalMs / static_cast<double>(state.iterations()) / wire;
}

class CNullSink : public IFrameSink {
public:
    void OnFrame(uint8_t type, const uint8_t*, uint16_t count) override {
        benchmark::DoNotOptimize(type);
        benchmark::DoNotOptimize(count);
    }
};

void BM_ParserBytes(benchmark::State& state) {
    // One measurement's replies as they arrive on the line.
    std::vector<uint8_t> stream;
    auto add = [&stream](uint8_t type, const std::vector<uint8_t>& data) {
        uint8_t out[kMaxFrameSize];
        const size_t n = EncodeFrame(type, data.data(), data.size(), out, sizeof out);
        stream.insert(stream.end(), out, out + n);
    };
    add(35, {});
    for (int k = 0; k < kEntries; ++k) {
        add(34, {static_cast<uint8_t>(k), 0x11, 0xFB});
    }
    add(36, {});
    CNullSink sink;
    CFrameParser parser(sink);
    uint8_t buf[1] = {};
    unsigned got = 0;
    for (auto _ : state) {
        size_t at = 0;
        while (at < stream.size()) {
            if (parser.ParseByte(buf, got) != 0) {
                buf[0] = stream[at++];
                got = 1;
            }
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
}

} // namespace

BENCHMARK(BM_ProgramTable30)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Measurement30)->Unit(benchmark::kMillisecond)->Iterations(20)->UseManualTime();
BENCHMARK(BM_ParserBytes);
