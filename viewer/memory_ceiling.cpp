// The address space in use is read from /proc/self/statm (its first field,
// in pages). Without it, or when the limit in force is already lower, no
// ceiling is set.
#include "viewer/memory_ceiling.h"

#include <cstdio>

#include <unistd.h>

namespace {

bool address_space_in_use(size_t* bytes) {
    FILE* file = std::fopen("/proc/self/statm", "r");
    if (file == nullptr) return false;
    unsigned long pages = 0;
    const bool read = std::fscanf(file, "%lu", &pages) == 1;
    std::fclose(file);
    const long page_size = sysconf(_SC_PAGESIZE);
    if (!read || page_size <= 0) return false;
    *bytes = size_t(pages) * size_t(page_size);
    return true;
}

}  // namespace

Memory_Ceiling::Memory_Ceiling(size_t room) {
    size_t in_use = 0;
    if (!address_space_in_use(&in_use) || getrlimit(RLIMIT_AS, &previous_) != 0) return;
    const rlim_t ceiling = rlim_t(in_use) + rlim_t(room);
    if (previous_.rlim_cur != RLIM_INFINITY && previous_.rlim_cur <= ceiling) return;
    rlimit lowered = previous_;
    lowered.rlim_cur = ceiling;
    active_ = setrlimit(RLIMIT_AS, &lowered) == 0;
}

Memory_Ceiling::~Memory_Ceiling() {
    if (active_) setrlimit(RLIMIT_AS, &previous_);
}
