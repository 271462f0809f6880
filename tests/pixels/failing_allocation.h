// Makes allocations fail on purpose: the next nothrow array allocation of
// exactly the given size, from any thread of this test program (the driver
// module's included), returns null. Every other allocation goes its usual
// way.
#pragma once

#include <cstddef>

namespace failing_allocation {

void fail_next_array_of(size_t bytes);
// The same for two allocations in turn: first one of `first` bytes, then one
// of `second` bytes.
void fail_next_arrays_of(size_t first, size_t second);
// True when the armed failures have happened.
bool failed();

}  // namespace failing_allocation
