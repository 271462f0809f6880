// Keeps every module the OpenGL stack loaded mapped until the process ends.
// The stack loads its vendor library, the driver and their dependencies by
// itself, under names that differ between installations, and unloads them
// when the display connection closes and again when libGLX's own destructor
// runs at exit. Memory they handed out and code their worker threads run may
// still be about then, and a leak or race report over it would point into an
// unmapped module, where no suppression can match it and our own faults
// cannot be told apart from the library's.
//
// So every module loaded at the moment is pinned (RTLD_NODELETE) before the
// connection closes and at exit, before the library destructors run. A module
// the host loaded is never unloaded anyway. Pinning costs nothing but the
// mappings; it does not change what any module does.
#include <link.h>

#include <dlfcn.h>

#include <cstdlib>
#include <mutex>
#include <set>

#include "platform/x11_display.h"

namespace winx::x11 {

namespace {

std::mutex pin_mutex;
std::set<ElfW(Addr)>* pinned_modules = new std::set<ElfW(Addr)>;  // outlives the exit handlers

int pin_module(dl_phdr_info* info, size_t, void*) {
    const char* name = info->dlpi_name;
    // The program itself has no name here, and the vdso none that dlopen knows.
    if (name == nullptr || *name == '\0') return 0;
    if (!pinned_modules->insert(info->dlpi_addr).second) return 0;
    dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

void pin_at_exit() { keep_gl_modules_mapped(); }

}  // namespace

void keep_gl_modules_mapped() {
    std::lock_guard<std::mutex> hold(pin_mutex);
    dl_iterate_phdr(pin_module, nullptr);
}

void keep_gl_modules_mapped_at_exit() {
    // Registered after the loader's own exit handler, so it runs first.
    static const int registered = std::atexit(pin_at_exit);
    (void)registered;
}

}  // namespace winx::x11
