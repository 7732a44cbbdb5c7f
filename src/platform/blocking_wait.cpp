#include "platform/blocking_wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>

#include <chrono>
#include <future>
#include <thread>

namespace blocking_wait {

namespace {
Waiter* g_waiter = nullptr;
}  // namespace

void setWaiter(Waiter* waiter) {
    g_waiter = waiter;
}

Waiter* waiter() {
    return g_waiter;
}

void run(const std::function<void()>& work, const std::function<void()>& cancel) {
    if (g_waiter)
        g_waiter->run(work, cancel);
    else
        work();
}

bool runWithin(const std::function<void()>& work, const std::function<void()>& giveUp, int limitMs) {
    constexpr int kPollMs = 10;
    std::promise<void> finished;
    std::future<void> done = finished.get_future();
    std::thread worker([&] {
        work();
        finished.set_value();
    });
    const QCoreApplication* app = QCoreApplication::instance();
    const bool windowThread = app && QThread::currentThread() == app->thread();
    QElapsedTimer clock;
    clock.start();
    bool gaveUp = false;
    while (done.wait_for(std::chrono::milliseconds(kPollMs)) != std::future_status::ready) {
        if (!gaveUp && clock.elapsed() >= limitMs) {
            gaveUp = true;
            giveUp();
        }
        // The window paints; keys and clicks wait for the work's end, as they would for any statement.
        if (windowThread) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, kPollMs);
    }
    worker.join();
    return !gaveUp;
}

}  // namespace blocking_wait
