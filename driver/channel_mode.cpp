// Which channel a renderer object uses for its batches: full batches handed
// over without waiting (the default), or the one-slot channel on which every
// flush waits until its batch is drawn. The one-slot channel is asked for
// with TOVREK_SYNCHRONOUS=1 in the environment or with a DWORD "Synchronous"
// other than 0 under HKEY_LOCAL_MACHINE\SOFTWARE\tovrek, so that the two can
// be compared and a fault narrowed down without a new build. Read once per
// construction.
#include <cstdlib>
#include <cstring>

#include "driver/device.h"

namespace {

const char* const DRIVER_KEY = "SOFTWARE\\tovrek";
const char* const SYNCHRONOUS_VALUE = "Synchronous";

bool asked_by_environment() {
    const char* value = std::getenv("TOVREK_SYNCHRONOUS");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

// A value that is missing, not a DWORD or of another size leaves the default.
bool asked_by_registry() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, DRIVER_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    const bool read = RegQueryValueExA(key, SYNCHRONOUS_VALUE, nullptr, &type,
                                       reinterpret_cast<LPBYTE>(&data), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return read && type == REG_DWORD && size == sizeof data && data != 0;
}

}  // namespace

void OGL_Device_Data::choose_channel_mode() {
    synchronous = asked_by_environment() || asked_by_registry();
}
