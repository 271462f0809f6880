// Signalling and waiting on kernel objects: a mutex and a condition variable
// per object. Setting wakes every waiter; for an auto-reset object the first
// waiter to retake the mutex consumes the signal and the rest wait on, so one
// set releases exactly one wait, and a set with nobody waiting is kept.
#include <chrono>

#include "platform/kernel_objects.h"

namespace winx::kernel {

void Waitable::set() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        signalled_ = true;
    }
    changed_.notify_all();
}

void Waitable::reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    signalled_ = false;
}

DWORD Waitable::wait(DWORD milliseconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    auto is_signalled = [this] { return signalled_; };
    if (milliseconds == 0) {
        // A poll: answered from the state alone, without a timed wait.
        if (!signalled_) return WAIT_TIMEOUT;
    } else if (milliseconds == INFINITE) {
        changed_.wait(lock, is_signalled);
    } else {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        if (!changed_.wait_until(lock, deadline, is_signalled)) return WAIT_TIMEOUT;
    }
    if (!manual_reset_) signalled_ = false;
    return WAIT_OBJECT_0;
}

}  // namespace winx::kernel
