// Whether a display can be expected, before Qt's platform plugin would abort without one.
#include <gtest/gtest.h>

#include "shell/DisplayCheck.h"

TEST(DisplayCheck, ADisplayIsExpectedWhereThePlatformFindsOne) {
    struct Case {
        const char* platform;
        const char* display;
        const char* wayland;
        bool socket;
        bool expected;
    } const cases[] = {
        {"", ":0", "", false, true},            // X, Qt's default
        {"", "", "wayland-0", false, true},     // a Wayland session
        {"", "", "", true, true},               // Wayland's socket without the variable
        {"", "", "", false, false},             // nothing at all: a server, an ssh session
        {"xcb", "", "wayland-0", false, false}, // X asked for, only Wayland there
        {"wayland", ":0", "", false, false},    // and the other way round
        {"wayland;xcb", ":0", "", false, true}, // Qt tries each in turn
        {"offscreen", "", "", false, true},     // headless platforms need no display
        {"minimal", "", "", false, true},
        {"vnc:size=800x600", "", "", false, true},
        {"xcb:nomitshm", ":1", "", false, true}, // a platform's own arguments
    };
    for (const Case& c : cases) {
        DisplayEnvironment environment;
        environment.platform = QString::fromLatin1(c.platform);
        environment.display = QString::fromLatin1(c.display);
        environment.waylandDisplay = QString::fromLatin1(c.wayland);
        environment.waylandSocket = c.socket;
        EXPECT_EQ(missingDisplayText(environment).isEmpty(), c.expected)
            << c.platform << " DISPLAY=" << c.display << " WAYLAND_DISPLAY=" << c.wayland;
    }
}
