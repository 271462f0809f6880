// The allocation functions of this program, replaced so that chosen
// allocations can fail (see failing_allocation.h).
#include "tests/pixels/failing_allocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> armed_size{0};
std::atomic<size_t> armed_next{0};  // armed once armed_size has failed
std::atomic<bool> has_failed{false};
thread_local long allocations_until_failure = 0;

// malloc, which the standard operator delete frees; an armed failure throws.
void* allocate(std::size_t size) {
    if (allocations_until_failure > 0 && --allocations_until_failure == 0) {
        has_failed = true;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
    throw std::bad_alloc();
}

}  // namespace

namespace failing_allocation {

void fail_next_array_of(size_t bytes) { fail_next_arrays_of(bytes, 0); }

void fail_next_arrays_of(size_t first, size_t second) {
    has_failed = false;
    armed_next = second;
    armed_size = first;
}

void fail_nth_allocation_on_this_thread(long n) {
    has_failed = false;
    allocations_until_failure = n;
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

void* operator new(std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size) { return allocate(size); }
// Their partners, so that what they allocate is freed as it was allocated.
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
