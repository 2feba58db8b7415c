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

QString argumentValue(const QStringList& arguments, const QString& name) {
    for (int i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == QLatin1Char('-') + name ||
            arguments[i] == QStringLiteral("--") + name) {
            return arguments[i + 1];
        }
    }
    return QString();
}

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

QtMessageHandler g_previous = nullptr;
std::vector<Held>* g_held = nullptr;
QString* g_noDisplayLine = nullptr;

void guardHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg && text.contains(QStringLiteral("platform plugin"))) {
        std::fprintf(stderr, "%s\n", g_noDisplayLine->toLocal8Bit().constData());
        std::fflush(stderr);
        // Qt aborts when this handler returns; nothing of the program exists yet to clean up.
        std::_Exit(kNoDisplayExit);
    }
    if (type == QtFatalMsg) {
        g_previous(type, context, text);
        return;
    }
    // The plugin's complaints on the way to that fatal message would come before the one line.
    g_held->push_back({type, QByteArray(context.category), text});
}

} // namespace

DisplayEnvironment currentDisplayEnvironment(const QStringList& arguments) {
    DisplayEnvironment environment;
    environment.platform = argumentValue(arguments, QStringLiteral("platform"));
    if (environment.platform.isEmpty()) {
        environment.platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    }
    environment.display = argumentValue(arguments, QStringLiteral("display"));
    if (environment.display.isEmpty()) {
        environment.display = qEnvironmentVariable("DISPLAY");
    }
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
    g_held = new std::vector<Held>;
    const QString display =
        environment.display.isEmpty() ? environment.waylandDisplay : environment.display;
    g_noDisplayLine = new QString(QStringLiteral("larkspur: cannot reach the display %1; ")
                                      .arg(display.isEmpty() ? QStringLiteral("(none)") : display) +
                                  QLatin1String(kHowToRunHeadless));
    g_previous = qInstallMessageHandler(guardHandler);
}

void CDisplayGuard::Release() {
    if (g_held == nullptr) {
        return;
    }
    qInstallMessageHandler(g_previous);
    for (const Held& held : *g_held) {
        const QMessageLogContext context(nullptr, 0, nullptr, held.category.constData());
        g_previous(held.type, context, held.text);
    }
    delete g_held;
    delete g_noDisplayLine;
    g_held = nullptr;
    g_noDisplayLine = nullptr;
}
