// Map screen paint cost: one stretched copy of the canvas (or of the coverage layer's picture,
// the same size), the margins and the marker, on a handheld-sized client and on a desktop-sized
// one, from a large site picture. The coverage layer's own benchmarks (LayerBench.cpp) run in
// this program too, under its one application object.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "LargePlan.h"
#include "view/LarkspurView.h"
#include "view/ViewSurveyMap.h"

namespace {

constexpr int kCanvasWidth = kPlanWidth;
constexpr int kCanvasHeight = kPlanHeight;

// A view holding a 4000 x 3000 floor-plan-like picture with survey circles painted in.
std::unique_ptr<CLarkspurView> makeView() {
    auto view = viewOfLargePlan();
    for (int i = 0; i < 2000; ++i) {
        view->ImprintPoint((i * 37) % kCanvasWidth, (i * 53) % kCanvasHeight,
                           static_cast<int16_t>(-30 - i % 70));
    }
    view->SetScreenMode(CLarkspurView::kMapScreen);
    return view;
}

// The coverage layer of those points (one reading each) on, its picture ready.
void showLayer(CLarkspurView& view, CReadingsSnapshot& readings) {
    std::vector<SurveyRecord> records(2000);
    for (int i = 0; i < 2000; ++i) {
        records[i].x = (i * 37) % kCanvasWidth;
        records[i].y = (i * 53) % kCanvasHeight;
        records[i].channel = 1;
        records[i].frequencyMHz = 870.03;
        records[i].rssi = static_cast<int16_t>(-30 - i % 70);
    }
    readings.Append(records);
    view.Coverage().SetReadingsSource([&readings](CReadingsSnapshot& out) {
        out = readings;
        return true;
    });
    CViewSurveyMap(view).SurveyChanged();
    view.SetCoverageShown(true);
    while (view.Coverage().Worker().Busy()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    view.Coverage().TakeResults();
}

// state.range(0) x state.range(1) client; range(2) zoom-ins from the whole map;
// range(3) 1 to scroll the centre to the top-left corner so two margins are painted;
// range(4) 1 with the coverage layer on.
void BM_MapScreenPaint(benchmark::State& state) {
    auto view = makeView();
    CReadingsSnapshot readings;
    if (state.range(4) != 0) {
        showLayer(*view, readings);
        if (view->Coverage().Picture() == nullptr) {
            state.SkipWithError("the layer's picture never came");
            return;
        }
    }
    for (int i = 0; i < state.range(2); ++i) {
        view->OnZoomIn();
    }
    if (state.range(3) != 0) {
        view->Viewport().SetCentreX(0);
        view->Viewport().SetCentreY(0);
    }
    const QRect client(0, 0, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    QImage surface(client.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&surface);
        view->PaintClient(painter, client);
        painter.end();
        benchmark::DoNotOptimize(surface.constBits());
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_MapScreenPaint)
    ->ArgNames({"w", "h", "zoomIns", "corner", "layer"})
    ->Args({240, 320, 0, 0, 0})
    ->Args({240, 320, 3, 0, 0})
    ->Args({1920, 1080, 0, 0, 0})
    ->Args({1920, 1080, 2, 0, 0})
    ->Args({1920, 1080, 2, 1, 0})
    ->Args({1920, 1080, 0, 0, 1})
    ->Args({1920, 1080, 2, 0, 1})
    ->Unit(benchmark::kMillisecond);

// Building the canvas from an 8-bit 4000 x 3000 picture, as opening a site does.
void BM_SetSitePicture(benchmark::State& state) {
    CLarkspurView view;
    std::vector<uint32_t> palette(CLarkspurView::kPaletteSize, 0x808080);
    std::vector<uint8_t> pixels(static_cast<size_t>(kCanvasWidth) * kCanvasHeight, 7);
    for (auto _ : state) {
        benchmark::DoNotOptimize(view.SetSitePicture(kCanvasWidth, kCanvasHeight, palette.data(),
                                                     pixels.data(), pixels.size(), kCanvasWidth,
                                                     true));
    }
}

BENCHMARK(BM_SetSitePicture)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
