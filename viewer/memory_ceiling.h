// A ceiling on the address space the process may take while it lives: a
// file whose header claims billions of vertices then makes the importer's
// allocation fail (which it reports as an error) instead of filling the
// machine's memory. The ceiling is the address space in use when it is set
// plus the given room; the limit before it comes back when it goes.
#pragma once

#include <cstddef>

#include <sys/resource.h>

class Memory_Ceiling {
public:
    explicit Memory_Ceiling(size_t room);
    ~Memory_Ceiling();
    Memory_Ceiling(const Memory_Ceiling&) = delete;
    Memory_Ceiling& operator=(const Memory_Ceiling&) = delete;

    bool active() const { return active_; }

private:
    rlimit previous_ = {};
    bool active_ = false;
};
