// The counting allocator behind allocation_count.h. Every entry point of the
// C allocator is replaced, as the C library requires of a replacement, and
// each passes the call on to the library's own implementation.
#include "bench/allocation_count.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <malloc.h>

extern "C" {
void* __libc_malloc(size_t size);
void __libc_free(void* block);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void* __libc_valloc(size_t size);
void* __libc_pvalloc(size_t size);
}

namespace {
thread_local unsigned long allocations = 0;
}

namespace bench {
unsigned long thread_allocations() { return allocations; }
}  // namespace bench

extern "C" {

void* malloc(size_t size) noexcept {
    ++allocations;
    return __libc_malloc(size);
}

void free(void* block) noexcept { __libc_free(block); }

void* calloc(size_t count, size_t size) noexcept {
    ++allocations;
    return __libc_calloc(count, size);
}

void* realloc(void* block, size_t size) noexcept {
    ++allocations;
    return __libc_realloc(block, size);
}

void* memalign(size_t alignment, size_t size) noexcept {
    ++allocations;
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) noexcept {
    ++allocations;
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** result, size_t alignment, size_t size) noexcept {
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) return EINVAL;
    ++allocations;
    void* block = __libc_memalign(alignment, size);
    if (block == nullptr) return ENOMEM;
    *result = block;
    return 0;
}

void* valloc(size_t size) noexcept {
    ++allocations;
    return __libc_valloc(size);
}

void* pvalloc(size_t size) noexcept {
    ++allocations;
    return __libc_pvalloc(size);
}

}  // extern "C"
