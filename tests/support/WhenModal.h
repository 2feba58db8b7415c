// Acting on a modal dialog from inside its own event loop, for Qt tests (header-only, so the
// support library itself stays free of Qt).
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

// Runs act on the next modal dialog once it is up. The watcher deletes itself once it has acted;
// delete it to stop watching before that.
inline QTimer* WhenModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        }
    });
    timer->start();
    return timer;
}
