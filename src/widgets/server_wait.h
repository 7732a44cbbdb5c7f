#pragma once

#include "platform/blocking_wait.h"

// The program's waiter for calls that may block (statements on the server): the call runs on a worker
// thread while the window keeps painting; a call that takes longer than a moment shows the small dialog
// "서버 응답을 기다리는 중..." with 취소, which asks the call to end. Until the dialog shows, keys and
// clicks wait in the queue, as they would while the call ran on the window's thread; with the dialog up,
// it is modal, so no second command can start while the first one waits.
class ServerWaiter : public blocking_wait::Waiter {
public:
    // `showAfterMs`: how long a call runs before the dialog shows.
    explicit ServerWaiter(int showAfterMs = 2000) : m_showAfterMs(showAfterMs) {}
    void run(const std::function<void()>& work, const std::function<void()>& cancel) override;

private:
    int m_showAfterMs;
};
