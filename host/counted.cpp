// The global VUDOZ object and the reference counting of shared host objects.
// Counting is all this file does; what a counted object holds is its own
// business.
#include "host/counted.h"

// Constructed before any other static object of this library, and this
// library is initialised before anything that links against it, so the
// critical section is ready before the first count changes.
Vudoz_Global VUDOZ __attribute__((init_priority(101)));

Vudoz_Global::Vudoz_Global() { InitializeCriticalSection(&critical_section); }

// The critical section stays usable to the very end of the process: a device
// that was never destroyed may still have a render thread that releases a
// reference while static objects are being torn down.
Vudoz_Global::~Vudoz_Global() {}

HT_Counted::~HT_Counted() = default;

int32_t HT_Counted::reference_count() const {
    EnterCriticalSection(&VUDOZ.critical_section);
    int32_t count = count_;
    LeaveCriticalSection(&VUDOZ.critical_section);
    return count;
}

void HT_Add_Shared_Reference(HT_Counted* object) {
    if (object == nullptr) return;
    EnterCriticalSection(&VUDOZ.critical_section);
    ++object->count_;
    LeaveCriticalSection(&VUDOZ.critical_section);
}

void HT_Release_Shared_Reference(HT_Counted* object) {
    if (object == nullptr) return;
    EnterCriticalSection(&VUDOZ.critical_section);
    // Deleted while the section is still held, so no other thread can add a
    // reference to an object that is going away.
    if (--object->count_ == 0) delete object;
    LeaveCriticalSection(&VUDOZ.critical_section);
}
