// The site the view's benchmarks draw on: a 4000 x 3000 picture like a floor plan, walls every
// 200 and 150 pixels on a light, slightly varied floor.
#pragma once

#include <memory>
#include <vector>

#include "view/LarkspurView.h"

constexpr int kPlanWidth = 4000;
constexpr int kPlanHeight = 3000;

inline std::unique_ptr<CLarkspurView> viewOfLargePlan() {
    auto view = std::make_unique<CLarkspurView>();
    std::vector<uint32_t> palette(CLarkspurView::kPaletteSize);
    for (int i = 0; i < CLarkspurView::kPaletteSize; ++i) {
        palette[i] = static_cast<uint32_t>(i * 0x010101);
    }
    std::vector<uint8_t> pixels(static_cast<size_t>(kPlanWidth) * kPlanHeight);
    for (int y = 0; y < kPlanHeight; ++y) {
        for (int x = 0; x < kPlanWidth; ++x) {
            const bool wall = x % 200 < 3 || y % 150 < 3;
            pixels[static_cast<size_t>(y) * kPlanWidth + x] =
                static_cast<uint8_t>(wall ? 0 : 230 + (x + y) % 20);
        }
    }
    view->SetSitePicture(kPlanWidth, kPlanHeight, palette.data(), pixels.data(), pixels.size(),
                         kPlanWidth, false);
    return view;
}
