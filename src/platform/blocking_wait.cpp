#include "platform/blocking_wait.h"

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

}  // namespace blocking_wait
