// Whether there is a display to draw on. Qt's platform plugin aborts the process when it finds
// none ("Reinstalling the application may fix this problem"); the program says instead, in one
// line, that no display was found and how to run it without one, and exits with 2.
#pragma once

#include <QString>

// What decides which display Qt's platform plugin would use. (The program's command line refuses
// Qt's own -platform and -display, so the environment alone decides.)
struct DisplayEnvironment {
    QString platform;           // QT_QPA_PLATFORM ("" for Qt's default)
    QString display;            // DISPLAY
    QString waylandDisplay;     // WAYLAND_DISPLAY
    bool waylandSocket = false; // $XDG_RUNTIME_DIR/wayland-0 exists
};

constexpr int kNoDisplayExit = 2;

// The environment as this process sees it.
DisplayEnvironment currentDisplayEnvironment();

// Empty when a display can be expected; otherwise the one line that says none was found.
QString missingDisplayText(const DisplayEnvironment& environment);

// Until Release, a platform plugin that cannot reach its display ends the process with the one
// line and kNoDisplayExit instead of aborting; any other messages Qt writes meanwhile are held
// and written at Release. Build it right before the application object, release it right after.
class CDisplayGuard {
public:
    explicit CDisplayGuard(const DisplayEnvironment& environment);
    ~CDisplayGuard() { Release(); }
    void Release();
    CDisplayGuard(const CDisplayGuard&) = delete;
    CDisplayGuard& operator=(const CDisplayGuard&) = delete;
};
