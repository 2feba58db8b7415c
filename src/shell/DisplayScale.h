// The display scale: how much larger than the handheld the whole program is drawn. Qt fixes its
// scale factor when the application object is built, so the scale is settled before that.
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

// Sets QT_SCALE_FACTOR for the application object main() builds next: scale, or when it is 0 a
// scale chosen from the primary screen by a short-lived probe application. The factor multiplies
// one already in the environment, so the desktop's own scaling is kept. No application object
// may exist during the call.
void applyDisplayScale(double scale, int& argc, char** argv);
