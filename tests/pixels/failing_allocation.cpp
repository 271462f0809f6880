// The nothrow array allocation of this program, replaced so that chosen
// sizes can fail (see failing_allocation.h).
#include "tests/pixels/failing_allocation.h"

#include <atomic>
#include <new>

namespace {

std::atomic<size_t> armed_size{0};
std::atomic<size_t> armed_next{0};  // armed once armed_size has failed
std::atomic<bool> has_failed{false};

}  // namespace

namespace failing_allocation {

void fail_next_array_of(size_t bytes) { fail_next_arrays_of(bytes, 0); }

void fail_next_arrays_of(size_t first, size_t second) {
    has_failed = false;
    armed_next = second;
    armed_size = first;
}

bool failed() { return has_failed; }

}  // namespace failing_allocation

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    size_t expected = size;
    if (size != 0 && armed_size.compare_exchange_strong(expected, 0)) {
        const size_t next = armed_next.exchange(0);
        armed_size = next;
        has_failed = next == 0;
        return nullptr;
    }
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}
