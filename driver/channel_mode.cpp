// Two switches for comparison and diagnosis, each read once per construction
// from the environment and from a DWORD under HKEY_LOCAL_MACHINE\SOFTWARE\tovrek,
// so that a fault can be narrowed down without a new build:
// - the one-slot channel, on which every flush waits until its batch is
//   drawn, instead of batches queued ahead: TOVREK_SYNCHRONOUS=1 or a
//   "Synchronous" other than 0;
// - one glDrawArrays per primitive even where the context could draw a
//   batch with one call: TOVREK_DRAW_PER_PRIMITIVE=1 or a "Draw Per
//   Primitive" other than 0.
#include <cstdlib>
#include <cstring>

#include "driver/device.h"

namespace {

const char* const DRIVER_KEY = "SOFTWARE\\tovrek";

bool asked_by_environment(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && std::strcmp(value, "1") == 0;
}

// A value that is missing, not a DWORD or of another size leaves the default.
bool asked_by_registry(const char* value_name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, DRIVER_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    const bool read = RegQueryValueExA(key, value_name, nullptr, &type, reinterpret_cast<LPBYTE>(&data),
                                       &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return read && type == REG_DWORD && size == sizeof data && data != 0;
}

}  // namespace

void OGL_Device_Data::choose_channel_mode() {
    synchronous = asked_by_environment("TOVREK_SYNCHRONOUS") || asked_by_registry("Synchronous");
}

void OGL_Device_Data::choose_draw_mode() {
    draw_per_primitive =
        asked_by_environment("TOVREK_DRAW_PER_PRIMITIVE") || asked_by_registry("Draw Per Primitive");
}
