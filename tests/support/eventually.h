#pragma once

#include <QElapsedTimer>
#include <QThread>

#include <functional>

// Polls `condition` every 20 ms until it holds (true) or `limitMs` passed (false), for what another thread
// or process makes true in its own time: a server's thread list, a lost connection.
inline bool eventually(const std::function<bool()>& condition, int limitMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > limitMs) return false;
        QThread::msleep(20);
    }
    return true;
}
