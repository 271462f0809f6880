// Makes allocations fail on purpose, from any thread of the test program (the
// driver module and the host library included): the next nothrow array
// allocation of exactly a given size, or the nth nothrow allocation of any
// kind and size that the driver module or the host library makes from now;
// or, on the calling thread only, the nth ordinary allocation (new, new[],
// the standard containers'), which then throws std::bad_alloc. Every other
// allocation goes its usual way.
#pragma once

#include <cstddef>

namespace failing_allocation {

void fail_next_array_of(size_t bytes);
// The same for two array allocations in turn: first one of `first` bytes,
// then one of `second` bytes.
void fail_next_arrays_of(size_t first, size_t second);
// Counts the driver's and the host library's nothrow allocations (single
// objects and arrays) from now; the nth fails. 0 disarms.
void fail_nth_allocation(int nth);
// Counts from the next ordinary allocation on this thread; 0 disarms.
void fail_nth_allocation_on_this_thread(long n);
// True when the armed failures have happened.
bool failed();

}  // namespace failing_allocation
