// The coverage layer's update after one new point, on a survey of 3,334 points of 30 channels
// over a 4000 x 3000 plan, walked on a 60-pixel grid so that the new point (between four others)
// leaves the radius as it is. Two figures: the worker's time from the hand-over to its picture
// being ready (the benchmark's time), and the user-interface thread's share: the stored point
// told to the layer (a snapshot handed over, the circle painted) and the result laid on the
// picture. A second benchmark shows the whole layer computed again, as when the radius moves.
#include <QApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "LargePlan.h"
#include "view/LarkspurView.h"
#include "view/ViewSurveyMap.h"

namespace {

constexpr int kWidth = kPlanWidth;
constexpr int kHeight = kPlanHeight;
constexpr int kPoints = 3334;
constexpr int kChannels = 30;
constexpr int kSpacing = 60;

struct Bench {
    std::unique_ptr<CLarkspurView> view;
    std::unique_ptr<CViewSurveyMap> map;
    CReadingsSnapshot readings;
};

std::vector<SurveyRecord> pointAt(int32_t x, int32_t y, int seed) {
    std::vector<SurveyRecord> records(kChannels);
    for (int c = 0; c < kChannels; ++c) {
        records[c].x = x;
        records[c].y = y;
        records[c].channel = c + 1;
        records[c].frequencyMHz = 870.0 + 0.03 * (c + 1);
        records[c].rssi = static_cast<int16_t>(-40 - (seed * 7 + c * 13) % 70);
    }
    return records;
}

void store(Bench& b, int32_t x, int32_t y, int seed) {
    const std::vector<SurveyRecord> records = pointAt(x, y, seed);
    b.readings.Append(records);
    int16_t strongest = -125;
    for (const SurveyRecord& r : records) {
        strongest = std::max(strongest, r.rssi);
    }
    b.map->PointStored(x, y, strongest);
}

void waitIdle(CCoverageWorker& worker) {
    while (worker.Busy()) {
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
}

std::unique_ptr<Bench> makeBench() {
    auto b = std::make_unique<Bench>();
    b->view = viewOfLargePlan();
    b->map = std::make_unique<CViewSurveyMap>(*b->view);
    Bench* raw = b.get();
    b->view->Coverage().SetReadingsSource([raw](CReadingsSnapshot& out) {
        out = raw->readings;
        return true;
    });
    int stored = 0;
    for (int y = kSpacing / 2; y < kHeight && stored < kPoints; y += kSpacing) {
        for (int x = kSpacing / 2; x < kWidth && stored < kPoints; x += kSpacing) {
            store(*b, x, y, stored++);
        }
    }
    b->map->SurveyChanged();
    b->view->SetCoverageShown(true);
    waitIdle(b->view->Coverage().Worker());
    b->view->Coverage().TakeResults();
    return b;
}

// One point stored between four of the walk's, then deleted again (not timed), so that every
// iteration meets the same survey.
void BM_LayerUpdateAfterOnePoint(benchmark::State& state) {
    auto b = makeBench();
    CCoverageOverlay& layer = b->view->Coverage();
    const double radius = layer.Radius();
    double uiSeconds = 0.0;
    int cell = 0;
    for (auto _ : state) {
        const int32_t x = kSpacing + (cell % 60) * kSpacing;
        const int32_t y = kSpacing + (cell / 60 % 45) * kSpacing;
        ++cell;
        QElapsedTimer ui;
        ui.start();
        store(*b, x, y, cell);
        const qint64 uiStore = ui.nsecsElapsed();
        const auto start = std::chrono::steady_clock::now();
        waitIdle(layer.Worker());
        const auto end = std::chrono::steady_clock::now();
        ui.restart();
        layer.TakeResults();
        uiSeconds += static_cast<double>(uiStore + ui.nsecsElapsed()) * 1e-9;
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());

        state.PauseTiming();
        b->readings.EraseRunAt(b->readings.Size() - kChannels);
        b->map->PointErased(x, y);
        waitIdle(layer.Worker());
        layer.TakeResults();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["ui_thread_ms"] = uiSeconds * 1e3 / static_cast<double>(state.iterations());
    state.counters["radius_held"] = layer.Radius() == radius ? 1 : 0;
    state.counters["spots"] = static_cast<double>(layer.Spots());
}

BENCHMARK(BM_LayerUpdateAfterOnePoint)->UseManualTime()->Unit(benchmark::kMillisecond);

// The whole layer of the same survey computed and composed again (a new choice of channel, or a
// radius that moved with the spacing), from the hand-over to the picture ready.
void BM_LayerWhole(benchmark::State& state) {
    auto b = makeBench();
    CCoverageOverlay& layer = b->view->Coverage();
    int turn = 0;
    for (auto _ : state) {
        LayerChoice choice;
        choice.bestServer = turn++ % 2 == 1;
        if (!choice.bestServer) {
            SiteReading r;
            r.channel = 1;
            r.frequencyMHz = 870.03;
            choice.channel = ChannelIdOf(r);
        }
        const auto start = std::chrono::steady_clock::now();
        layer.SetChoice(choice);
        waitIdle(layer.Worker());
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        layer.TakeResults();
        QApplication::processEvents();
    }
}

BENCHMARK(BM_LayerWhole)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);

} // namespace
