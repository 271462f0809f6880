// Holds the module's batch lock for the length of one batch operation. The
// lock is recursive, so a batch operation that a host routine calls back into
// on the same thread enters it again without blocking.
#pragma once

#include "platform/windows.h"

class Batch_Lock_Hold {
public:
    explicit Batch_Lock_Hold(CRITICAL_SECTION* lock) : lock_(lock) {
        EnterCriticalSection(lock_);
        ++depth_;
    }
    ~Batch_Lock_Hold() {
        --depth_;
        LeaveCriticalSection(lock_);
    }
    Batch_Lock_Hold(const Batch_Lock_Hold&) = delete;
    Batch_Lock_Hold& operator=(const Batch_Lock_Hold&) = delete;

    // Runs `wait` (a wait for this thread's own object) with the lock let go
    // where one batch operation holds it, so that objects on other threads go
    // on meanwhile. A thread inside a routine called back from a batch
    // operation holds it more than once, and waits holding it.
    template <class Wait>
    static void wait_outside(CRITICAL_SECTION* lock, Wait wait) {
        if (depth_ != 1) return wait();
        LeaveCriticalSection(lock);
        wait();
        EnterCriticalSection(lock);
    }

private:
    CRITICAL_SECTION* lock_;
    // How often this thread holds the lock now.
    static inline thread_local int depth_ = 0;
};
