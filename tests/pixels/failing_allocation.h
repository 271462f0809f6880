// Makes allocations fail on purpose: the next nothrow array allocation of
// exactly the given size, from any thread of this test program (the driver
// module's included), returns null; or the n-th ordinary allocation (new,
// new[], the standard containers') on the calling thread throws
// std::bad_alloc. Every other allocation goes its usual way.
#pragma once

#include <cstddef>

namespace failing_allocation {

void fail_next_array_of(size_t bytes);
// The same for two allocations in turn: first one of `first` bytes, then one
// of `second` bytes.
void fail_next_arrays_of(size_t first, size_t second);
// Counts from the next ordinary allocation on this thread; 0 disarms.
void fail_nth_allocation_on_this_thread(long n);
// True when the armed failures have happened.
bool failed();

}  // namespace failing_allocation
