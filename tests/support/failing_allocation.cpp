// The allocation functions of this program, replaced so that chosen
// allocations can fail (see failing_allocation.h).
#include "tests/support/failing_allocation.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

std::atomic<size_t> armed_size{0};
std::atomic<size_t> armed_next{0};  // armed once armed_size has failed
std::atomic<int> allocations_left{0};  // 0: no count armed
std::atomic<bool> has_failed{false};
thread_local long ordinary_allocations_until_failure = 0;

// malloc, which the replaced operator delete frees; an armed failure throws.
void* allocate_ordinary(std::size_t size) {
    if (ordinary_allocations_until_failure > 0 && --ordinary_allocations_until_failure == 0) {
        has_failed = true;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
    throw std::bad_alloc();
}

// True when the code at `caller` belongs to the driver module or the host
// library: Mesa's compiler allocates this way too, and does not expect it to
// fail.
bool driver_or_host(const void* caller) {
    Dl_info info;
    if (dladdr(caller, &info) == 0 || info.dli_fname == nullptr) return false;
    return std::strstr(info.dli_fname, "tovrek.hdi") != nullptr ||
           std::strstr(info.dli_fname, "libvudoz") != nullptr;
}

// True when this allocation is the armed one. Only the last of the armed
// array sizes counts as the failure having happened.
bool fail_this(size_t size, bool array, const void* caller) {
    size_t expected = size;
    if (array && size != 0 && armed_size.compare_exchange_strong(expected, 0)) {
        const size_t next = armed_next.exchange(0);
        armed_size = next;
        if (next == 0) has_failed = true;
        return true;
    }
    if (allocations_left.load() == 0 || !driver_or_host(caller)) return false;
    int left = allocations_left.load();
    while (left > 0) {
        if (allocations_left.compare_exchange_weak(left, left - 1)) {
            if (left == 1) has_failed = true;
            return left == 1;
        }
    }
    return false;
}

// Arrays and single objects keep their own allocation functions, so that
// their deallocations still match.
void* allocate(size_t size, bool array, const void* caller) {
    if (fail_this(size, array, caller)) return nullptr;
    try {
        return array ? ::operator new[](size) : ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

namespace failing_allocation {

void fail_next_array_of(size_t bytes) { fail_next_arrays_of(bytes, 0); }

void fail_next_arrays_of(size_t first, size_t second) {
    has_failed = false;
    armed_next = second;
    armed_size = first;
}

void fail_nth_allocation(int nth) {
    has_failed = false;
    allocations_left = nth > 0 ? nth : 0;
}

void fail_nth_allocation_on_this_thread(long n) {
    has_failed = false;
    ordinary_allocations_until_failure = n;
}

bool failed() { return has_failed; }

}  // namespace failing_allocation

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size, true, __builtin_return_address(0));
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size, false, __builtin_return_address(0));
}

void* operator new(std::size_t size) { return allocate_ordinary(size); }
void* operator new[](std::size_t size) { return allocate_ordinary(size); }
// Their partners, so that what they allocate is freed as it was allocated.
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
