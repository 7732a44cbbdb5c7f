#include "widgets/server_wait.h"

#include "common/app_title.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>

#include <chrono>
#include <future>
#include <memory>
#include <thread>

namespace {

// How long the window's thread simply waits before it starts to keep the window alive, and then how often
// it looks after the window between looks at the call.
constexpr int kQuietMs = 40;
constexpr int kPollMs = 10;

std::unique_ptr<QProgressDialog> makeDialog() {
    auto dialog =
        std::make_unique<QProgressDialog>(QStringLiteral("서버 응답을 기다리는 중..."),
                                          QStringLiteral("취소"), 0, 0, QApplication::activeWindow());
    dialog->setObjectName(QStringLiteral("dlgServerWait"));
    dialog->setWindowTitle(AppTitle());
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setMinimumDuration(0);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    return dialog;
}

}  // namespace

void ServerWaiter::run(const std::function<void()>& work, const std::function<void()>& cancel) {
    // Off the window's thread only where there is a window to keep alive.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) ||
        QThread::currentThread() != QCoreApplication::instance()->thread()) {
        work();
        return;
    }
    std::promise<void> finished;
    std::future<void> done = finished.get_future();
    std::thread worker([&] {
        work();
        finished.set_value();
    });
    std::thread canceller;
    std::unique_ptr<QProgressDialog> dialog;
    QElapsedTimer clock;
    clock.start();
    // Most statements end within this, and the window does not notice the wait.
    done.wait_for(std::chrono::milliseconds(kQuietMs));
    while (done.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        if (!dialog && clock.elapsed() >= m_showAfterMs) {
            dialog = makeDialog();
            dialog->show();
        }
        if (dialog && dialog->wasCanceled() && !canceller.joinable()) {
            // The kill may itself wait for the server a few seconds: it runs beside the window, too.
            dialog->setLabelText(QStringLiteral("조회를 취소하는 중..."));
            dialog->setCancelButton(nullptr);
            canceller = std::thread(cancel);
        }
        // Before the dialog shows, input stays queued; with it, the modal dialog takes the input.
        QCoreApplication::processEvents(dialog ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents,
                                        kPollMs);
        done.wait_for(std::chrono::milliseconds(kPollMs));
    }
    worker.join();
    if (canceller.joinable()) canceller.join();
}
