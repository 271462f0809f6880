// The host's and the viewer's tests (which compile this file too) ask for absurd amounts of memory on
// purpose (the viewer's import runs under a ceiling of address space): under
// a sanitizer such a request must fail with null, as it does without one,
// instead of stopping the process.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
#endif
#if defined(__SANITIZE_THREAD__)
extern "C" const char* __tsan_default_options() { return "allocator_may_return_null=1"; }
#endif
