// The display check before the application object, and the guard around its construction.
#include "shell/DisplayCheck.h"

#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const char* const kHowToRunHeadless = "run it headless with QT_QPA_PLATFORM=offscreen, or on a "
                                      "virtual display with xvfb-run larkspur.";

// The platforms that need a window system; others (offscreen, minimal, vnc, eglfs, linuxfb)
// draw without one. Qt tries a list separated by ';' in order.
bool needsX(const QString& name) {
    return name == QStringLiteral("xcb");
}
bool needsWayland(const QString& name) {
    return name.startsWith(QStringLiteral("wayland"));
}

struct Held {
    QtMsgType type;
    QByteArray category;
    QString text;
};

// The guard's state, where a message handler (a plain function) finds it.
struct GuardState {
    bool guarding = false;
    QtMessageHandler previous = nullptr;
    std::vector<Held> held;
    QString noDisplayLine;
};

GuardState& guardState() {
    static GuardState state;
    return state;
}

void guardHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    GuardState& state = guardState();
    if (type == QtFatalMsg && text.contains(QStringLiteral("platform plugin"))) {
        std::fprintf(stderr, "%s\n", state.noDisplayLine.toLocal8Bit().constData());
        std::fflush(stderr);
        // Qt aborts when this handler returns; nothing of the program exists yet to clean up.
        std::_Exit(kNoDisplayExit);
    }
    if (type == QtFatalMsg) {
        state.previous(type, context, text);
        return;
    }
    // The plugin's complaints on the way to that fatal message would come before the one line.
    state.held.push_back({type, QByteArray(context.category), text});
}

} // namespace

DisplayEnvironment currentDisplayEnvironment() {
    DisplayEnvironment environment;
    environment.platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    environment.display = qEnvironmentVariable("DISPLAY");
    environment.waylandDisplay = qEnvironmentVariable("WAYLAND_DISPLAY");
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    environment.waylandSocket =
        !runtime.isEmpty() &&
        QFileInfo::exists(QDir(runtime).filePath(QStringLiteral("wayland-0")));
    return environment;
}

QString missingDisplayText(const DisplayEnvironment& environment) {
    const bool x = !environment.display.isEmpty();
    const bool wayland = !environment.waylandDisplay.isEmpty() || environment.waylandSocket;
    // Qt's own default on Linux is X, or Wayland in a Wayland session.
    const QStringList platforms =
        environment.platform.isEmpty()
            ? QStringList{QStringLiteral("xcb"), QStringLiteral("wayland")}
            : environment.platform.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString platform : platforms) {
        platform = platform.section(QLatin1Char(':'), 0, 0); // "offscreen:size=..." and the like
        if ((needsX(platform) && x) || (needsWayland(platform) && wayland) ||
            (!needsX(platform) && !needsWayland(platform))) {
            return QString();
        }
    }
    return QStringLiteral("larkspur: no display found; ") + QLatin1String(kHowToRunHeadless);
}

CDisplayGuard::CDisplayGuard(const DisplayEnvironment& environment) {
    GuardState& state = guardState();
    const QString display =
        environment.display.isEmpty() ? environment.waylandDisplay : environment.display;
    state.noDisplayLine = QStringLiteral("larkspur: cannot reach the display %1; ").arg(display) +
                          QLatin1String(kHowToRunHeadless);
    state.held.clear();
    state.previous = qInstallMessageHandler(guardHandler);
    state.guarding = true;
}

void CDisplayGuard::Release() {
    GuardState& state = guardState();
    if (!state.guarding) {
        return;
    }
    state.guarding = false;
    qInstallMessageHandler(state.previous);
    for (const Held& held : state.held) {
        const QMessageLogContext context(nullptr, 0, nullptr, held.category.constData());
        state.previous(held.type, context, held.text);
    }
    state.held.clear();
}
