// HD_Device, the module's one exported function: it builds a renderer object
// and hands it to the host, or hands back null when the object could not be
// built. It does not construct anything itself (see device.cpp).
#include "driver/device.h"

HT_Device_Data* HD_Device() {
    // The host's allocator yields null instead of throwing, so a failed
    // allocation skips the constructor; a constructor that throws has its
    // storage released by the same allocator before the exception passes on.
    OGL_Device_Data* device = new OGL_Device_Data;
    if (device == nullptr) return nullptr;
    if (!device->constructed()) {
        delete device;
        return nullptr;
    }
    return device;
}
