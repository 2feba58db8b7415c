// The display scale: how much larger than the handheld the whole program is drawn, through Qt's
// own high-DPI scaling, so that fonts, pictures, bars and dialogs all grow together.
#pragma once

#include <QSize>

constexpr double kScaleStep = 0.25;
constexpr double kMinScale = 1.0;
constexpr double kMaxScale = 8.0;
// The share of the screen's free area the window may take at the chosen scale.
constexpr double kScreenShare = 0.8;
// Room for the window manager's title bar, which Qt's scaling does not enlarge.
constexpr int kTitleBarAllowance = 32;

// The largest multiple of kScaleStep, from kMinScale to kMaxScale, at which a window of
// handheldWindow pixels at scale 1, with its title bar, fits kScreenShare of available.
double chooseDisplayScale(const QSize& available, const QSize& handheldWindow);

// Sets Qt's scale factor on the application object that exists, before it opens any window:
// scale, or when it is 0 a scale chosen from the primary screen. The factor multiplies one the
// desktop already sets through QT_SCALE_FACTOR. Returns the factor now in force; chosen, when
// given, receives the program's own part of it (scale, or the one chosen from the screen).
double applyDisplayScale(double scale, double* chosen = nullptr);
