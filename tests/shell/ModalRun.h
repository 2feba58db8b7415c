// Runs a dialog modally with a scripted action, and never lets a test wait on it forever.
#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>

// Result a dialog's run returns when the watchdog had to end it.
constexpr int kWatchdogResult = -1000;

// Starts the modal run, performs action once the run's event loop is going, and ends the run
// with kWatchdogResult if the action did not end it within timeoutMs.
inline int runModal(QDialog& dialog, const std::function<int()>& run,
                    const std::function<void()>& action, int timeoutMs = 5000) {
    QTimer::singleShot(0, &dialog, action);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &dialog, [&dialog] {
        if (dialog.isVisible()) {
            dialog.done(kWatchdogResult);
        }
    });
    watchdog.start(timeoutMs);
    return run();
}
