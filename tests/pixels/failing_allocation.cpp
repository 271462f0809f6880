// The nothrow array allocation of this program, replaced so that one chosen
// size can fail (see failing_allocation.h).
#include "tests/pixels/failing_allocation.h"

#include <atomic>
#include <new>

namespace {

std::atomic<size_t> armed_size{0};
std::atomic<bool> has_failed{false};

}  // namespace

namespace failing_allocation {

void fail_next_array_of(size_t bytes) {
    has_failed = false;
    armed_size = bytes;
}

bool failed() { return has_failed; }

}  // namespace failing_allocation

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    size_t expected = size;
    if (size != 0 && armed_size.compare_exchange_strong(expected, 0)) {
        has_failed = true;
        return nullptr;
    }
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}
