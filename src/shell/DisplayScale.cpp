// Choosing the display scale from the screen before the real application object exists.
#include "shell/DisplayScale.h"

#include <QApplication>
#include <QByteArray>
#include <QScreen>

#include <algorithm>
#include <cmath>

#include "shell/LarkspurApp.h"
#include "shell/MainFrame.h"
#include "view/LarkspurView.h"

namespace {

const char* const kScaleVariable = "QT_SCALE_FACTOR";

// The main window's size at scale 1, measured on the frame and view the program builds, in the
// style and fonts of this desktop.
QSize handheldWindowSize() {
    CMainFrame frame;
    auto* view = new CLarkspurView(&frame);
    frame.SetView(view,
                  view->SizeForClient(QSize(CLarkspurApp::kViewWidth, CLarkspurApp::kViewHeight)));
    return frame.size();
}

double probeScreenScale(int& argc, char** argv) {
    QApplication probe(argc, argv);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return kMinScale;
    }
    return chooseDisplayScale(screen->availableGeometry().size(), handheldWindowSize());
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

void applyDisplayScale(double scale, int& argc, char** argv) {
    // The probe sees the screen in the units of any factor already set, so the two multiply.
    const double chosen = scale > 0 ? scale : probeScreenScale(argc, argv);
    bool ok = false;
    const double desktop = qEnvironmentVariable(kScaleVariable).toDouble(&ok);
    const double factor = chosen * (ok && desktop > 0 ? desktop : 1.0);
    qputenv(kScaleVariable, QByteArray::number(factor, 'g', 6));
}
