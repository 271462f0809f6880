// Makes one allocation fail on purpose: the next nothrow array allocation of
// exactly the given size, from any thread of this test program (the driver
// module's included), returns null. Every other allocation goes its usual
// way.
#pragma once

#include <cstddef>

namespace failing_allocation {

void fail_next_array_of(size_t bytes);
// True when the armed failure has happened.
bool failed();

}  // namespace failing_allocation
