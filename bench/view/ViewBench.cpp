// Map screen paint cost: one stretched copy of the canvas, the margins and the marker, on a
// handheld-sized client and on a desktop-sized one, from a large site picture.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <vector>

#include "view/LarkspurView.h"

namespace {

constexpr int kCanvasWidth = 4000;
constexpr int kCanvasHeight = 3000;

// A view holding a 4000 x 3000 floor-plan-like picture with survey circles painted in.
std::unique_ptr<CLarkspurView> makeView() {
    auto view = std::make_unique<CLarkspurView>();
    std::vector<uint32_t> palette(CLarkspurView::kPaletteSize);
    for (int i = 0; i < CLarkspurView::kPaletteSize; ++i) {
        palette[i] = static_cast<uint32_t>(i * 0x010101);
    }
    std::vector<uint8_t> pixels(static_cast<size_t>(kCanvasWidth) * kCanvasHeight);
    for (int y = 0; y < kCanvasHeight; ++y) {
        for (int x = 0; x < kCanvasWidth; ++x) {
            const bool wall = x % 200 < 3 || y % 150 < 3;
            pixels[static_cast<size_t>(y) * kCanvasWidth + x] =
                static_cast<uint8_t>(wall ? 0 : 230 + (x + y) % 20);
        }
    }
    view->SetSitePicture(kCanvasWidth, kCanvasHeight, palette.data(), pixels.data(), pixels.size(),
                         kCanvasWidth, false);
    for (int i = 0; i < 2000; ++i) {
        view->ImprintPoint((i * 37) % kCanvasWidth, (i * 53) % kCanvasHeight,
                           static_cast<int16_t>(-30 - i % 70));
    }
    view->SetScreenMode(CLarkspurView::kMapScreen);
    return view;
}

// state.range(0) x state.range(1) client; range(2) zoom-ins from the whole map;
// range(3) 1 to scroll the centre to the top-left corner so two margins are painted.
void BM_MapScreenPaint(benchmark::State& state) {
    auto view = makeView();
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
    ->ArgNames({"w", "h", "zoomIns", "corner"})
    ->Args({240, 320, 0, 0})
    ->Args({240, 320, 3, 0})
    ->Args({1920, 1080, 0, 0})
    ->Args({1920, 1080, 2, 0})
    ->Args({1920, 1080, 2, 1})
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
