// Holds the module's batch lock for the length of one batch operation. The
// lock is recursive, so a batch operation that a host routine calls back into
// on the same thread enters it again without blocking.
#pragma once

#include "platform/windows.h"

class Batch_Lock_Hold {
public:
    explicit Batch_Lock_Hold(CRITICAL_SECTION* lock) : lock_(lock) { EnterCriticalSection(lock_); }
    ~Batch_Lock_Hold() { LeaveCriticalSection(lock_); }
    Batch_Lock_Hold(const Batch_Lock_Hold&) = delete;
    Batch_Lock_Hold& operator=(const Batch_Lock_Hold&) = delete;

private:
    CRITICAL_SECTION* lock_;
};
