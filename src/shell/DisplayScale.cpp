// Choosing the display scale from the screen of the one application object. An earlier probe
// application opened a second display connection; a bare X server resets when its last client
// leaves, and the program's own connection could land in that reset and abort.
#include "shell/DisplayScale.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/private/qhighdpiscaling_p.h>

#include <algorithm>
#include <cmath>

#include "shell/LarkspurApp.h"
#include "shell/MainFrame.h"
#include "view/LarkspurView.h"

namespace {

// The main window's size at scale 1, measured on the frame and view the program builds, in the
// style and fonts of this desktop. Neither is shown, so no window exists yet.
QSize handheldWindowSize() {
    CMainFrame frame;
    auto* view = new CLarkspurView(&frame);
    frame.SetView(view,
                  view->SizeForClient(QSize(CLarkspurApp::kViewWidth, CLarkspurApp::kViewHeight)));
    return frame.size();
}

// The factor the desktop asked for, in whose units the screen is measured.
double desktopFactor() {
    bool ok = false;
    const double desktop = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok && desktop > 0 ? desktop : 1.0;
}

} // namespace

double chooseDisplayScale(const QSize& available, const QSize& handheldWindow) {
    if (handheldWindow.width() <= 0 || handheldWindow.height() <= 0) {
        return kMinScale;
    }
    const double byHeight =
        (kScreenShare * available.height() - kTitleBarAllowance) / handheldWindow.height();
    const double byWidth = kScreenShare * available.width() / handheldWindow.width();
    const double steps = std::floor(std::min(byHeight, byWidth) / kScaleStep);
    return std::clamp(steps * kScaleStep, kMinScale, kMaxScale);
}

double applyDisplayScale(double scale, double* chosenOut) {
    double chosen = scale;
    if (!(chosen > 0)) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        chosen = screen == nullptr
                     ? kMinScale
                     : chooseDisplayScale(screen->availableGeometry().size(), handheldWindowSize());
    }
    if (chosenOut != nullptr) {
        *chosenOut = chosen;
    }
    // Qt reads QT_SCALE_FACTOR only while the application object is built; from then on its
    // global factor is set here, which it allows until the first window exists.
    const double factor = chosen * desktopFactor();
    QHighDpiScaling::setGlobalFactor(factor);
    // The application keeps the largest pixel ratio it has seen, and styles draw their cached
    // pictures (the scroll bars' arrows) at it: forget the one from before the change.
    QGuiApplicationPrivate::resetCachedDevicePixelRatio();
    return factor;
}
