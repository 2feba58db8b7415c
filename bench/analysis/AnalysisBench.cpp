// Coverage map costs on a large plan: a survey of 30-channel points spread over 4000 x 3000
// pixels, from the readings to a band for every pixel (merge, default radius, IDW or nearest
// field, bands), using every core.
#include <benchmark/benchmark.h>

#include <random>

#include "analysis/CoverageField.h"
#include "analysis/CoverageRadius.h"
#include "analysis/RssiBands.h"
#include "analysis/SpotTable.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kChannels = 30;

std::vector<SiteReading> survey(int points) {
    std::mt19937 random(2024);
    std::uniform_int_distribution<int> xs(0, kWidth - 1);
    std::uniform_int_distribution<int> ys(0, kHeight - 1);
    std::uniform_int_distribution<int> x16(-115 * 16, -35 * 16);
    std::vector<SiteReading> readings;
    readings.reserve(static_cast<size_t>(points) * kChannels);
    for (int p = 0; p < points; ++p) {
        SiteReading r;
        r.x = xs(random);
        r.y = ys(random);
        for (int c = 1; c <= kChannels; ++c) {
            r.channel = c;
            r.frequencyMHz = 870.0 + 0.03 * c;
            r.rssiX16 = static_cast<int16_t>(x16(random));
            readings.push_back(r);
        }
    }
    return readings;
}

void mapOnce(benchmark::State& state, FieldMethod method) {
    const std::vector<SiteReading> records = survey(static_cast<int>(state.range(0)));
    CoverageValues values;
    std::vector<uint8_t> bands;
    double radius = 0.0;
    for (auto _ : state) {
        const std::vector<SpotValue> spots = CSpotTable(records).Values({}, SpotCombine::Strongest);
        double median = 0.0;
        DefaultCoverageRadius(spots, radius, median);
        FieldOptions options;
        options.method = method;
        options.radius = radius;
        options.threads = static_cast<unsigned>(state.range(1));
        ComputeCoverageField(spots, kWidth, kHeight, options, values);
        BandsOfField(values, CBandSet::Handheld(), bands);
        benchmark::DoNotOptimize(bands.data());
    }
    state.counters["readings"] = static_cast<double>(records.size());
    state.counters["radius_px"] = radius;
}

void BM_MapIdw(benchmark::State& state) {
    mapOnce(state, FieldMethod::Idw);
}

void BM_MapNearest(benchmark::State& state) {
    mapOnce(state, FieldMethod::Nearest);
}

void BM_SpotValues(benchmark::State& state) {
    const std::vector<SiteReading> records = survey(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(CSpotTable(records).Values({}, SpotCombine::Strongest).data());
    }
}

// 1,000 points, and 3,334 points of 30 channels (100,000 readings); on every core (0) and, to
// show what the second core brings, on one.
void mapSizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"points", "threads"});
    for (const int points : {1000, 3334}) {
        for (const int threads : {0, 1}) {
            b->Args({points, threads});
        }
    }
    b->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_MapIdw)->Apply(mapSizes);
BENCHMARK(BM_MapNearest)->Apply(mapSizes);
BENCHMARK(BM_SpotValues)->Arg(3334)->Unit(benchmark::kMillisecond);

} // namespace
