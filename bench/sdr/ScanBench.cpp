// What a scan of a 30-channel public-safety table over 851-869 MHz costs with the synthetic
// SoapySDR device: the device time (its stream clock: settling and dwell for each tune, which a
// real tuner takes in real time) and the number of tunes, beside the computer's own time to plan,
// generate and transform. The table is spread evenly, the hardest case; trunked systems cluster
// their channels, which takes fewer tunes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "SdrScanner.h"

namespace {

constexpr double kDeviceTimeBudgetMs = 250.0;

std::vector<SdrChannel> evenTable() {
    std::vector<SdrChannel> channels;
    for (int k = 0; k < 30; ++k) {
        channels.push_back({851.0125e6 + k * 612.5e3, 12.5e3});
    }
    return channels;
}

// Five sites of six channels each, 25 kHz apart, the sites 3.5 MHz apart.
std::vector<SdrChannel> clusteredTable() {
    std::vector<SdrChannel> channels;
    for (int site = 0; site < 5; ++site) {
        for (int k = 0; k < 6; ++k) {
            channels.push_back({851.5125e6 + site * 3.5e6 + k * 25e3, 12.5e3});
        }
    }
    return channels;
}

void scanTable(benchmark::State& state, const std::vector<SdrChannel>& channels) {
    ::setenv("SOAPY_SDR_PLUGIN_PATH", SOAPY_MODULE_DIR, 1);
    std::string tones;
    for (size_t i = 0; i < channels.size(); i += 3) {
        tones += (tones.empty() ? "" : ";") + std::to_string(channels[i].frequencyHz / 1e6) + ":-" +
                 std::to_string(50 + i);
    }
    CSdrScanner scanner;
    std::string error;
    if (!scanner.Open("driver=larkspur-synth,tones=" + tones, SdrOptions(), error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::vector<SdrReading> readings;
    for (auto _ : state) {
        if (!scanner.Scan(channels, readings, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(readings.data());
    }
    const double deviceMs = static_cast<double>(scanner.LastScan().deviceTimeNs) / 1e6;
    state.counters["device_ms"] = deviceMs;
    state.counters["tunes"] = scanner.LastScan().tunes;
    if (deviceMs > kDeviceTimeBudgetMs) {
        state.SkipWithError("a scan takes more than 250 ms of device time");
    }
}

void BM_ScanPublicSafety800Even(benchmark::State& state) {
    scanTable(state, evenTable());
}
BENCHMARK(BM_ScanPublicSafety800Even)->Unit(benchmark::kMillisecond);

void BM_ScanPublicSafety800Clustered(benchmark::State& state) {
    scanTable(state, clusteredTable());
}
BENCHMARK(BM_ScanPublicSafety800Clustered)->Unit(benchmark::kMillisecond);

} // namespace
