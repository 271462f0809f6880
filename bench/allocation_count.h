// Counts the heap allocations each thread makes: this program replaces the C
// allocator with one that counts and then hands on to the C library's own.
#pragma once

namespace bench {

// Allocations (malloc, calloc, realloc and the aligned forms; operator new
// comes through malloc) made so far by the calling thread.
unsigned long thread_allocations();

}  // namespace bench
