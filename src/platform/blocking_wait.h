#pragma once

#include <functional>

// A call that may block for long, such as a statement on a server that stopped answering, is run through
// here so that the window stays alive. Without a waiter the call runs on the calling thread, as it does in
// the core's tests; the program installs one that runs it on a worker thread, keeps the window painting
// and, after a short wait, offers to cancel it.
namespace blocking_wait {

class Waiter {
public:
    virtual ~Waiter() = default;
    // Runs `work` to its end. `cancel` asks the work to end early (it may be called from the waiting
    // thread at most once, and the work still runs to its end, which then comes soon).
    virtual void run(const std::function<void()>& work, const std::function<void()>& cancel) = 0;
};

// The waiter the program uses from now on; nullptr runs every call on the calling thread.
void setWaiter(Waiter* waiter);
Waiter* waiter();

// Runs `work` through the waiter.
void run(const std::function<void()>& work, const std::function<void()>& cancel);

// Runs `work` in the background of the program, whatever the waiter: on a worker thread, with nothing
// shown (no dialog, no cursor, no focus taken) while the window keeps painting and its input waits in the
// queue. After `limitMs` it calls `giveUp` once, which must make the work end soon, and waits for that end.
// False when it had to give up.
bool runWithin(const std::function<void()>& work, const std::function<void()>& giveUp, int limitMs);

}  // namespace blocking_wait
