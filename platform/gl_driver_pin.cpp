// Keeps Mesa's DRI driver mapped until the process ends. Mesa unloads it
// when its display connection goes away, while memory it handed out and code
// its worker threads run may still be about; a leak or race report over such
// memory then points into an unmapped module and cannot be told apart from
// our own. Pinning costs nothing but the mapping.
#include <link.h>

#include <dlfcn.h>

#include <cstring>
#include <mutex>

#include "platform/x11_display.h"

namespace winx::x11 {

namespace {

int pin_if_dri_driver(dl_phdr_info* info, size_t, void*) {
    const char* name = info->dlpi_name;
    if (name != nullptr && std::strstr(name, "_dri.so") != nullptr)
        dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

}  // namespace

void pin_gl_driver() {
    static std::once_flag pinned;
    std::call_once(pinned, [] { dl_iterate_phdr(pin_if_dri_driver, nullptr); });
}

}  // namespace winx::x11
