// Loading a display driver module and asking it for devices.
//
// A module that yields devices is never unloaded: its devices run threads of their own, and a
// device the host forgot to destroy (or one whose thread is still winding
// down) would jump into unmapped code. The handle is simply kept for the
// life of the process.
#include "host/loader.h"

#include <dlfcn.h>

#include "host/recording/recorder.h"

bool HT_Driver_Module::load(const std::string& path) {
    entry_ = nullptr;
    error_.clear();
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = dlerror();
        error_ = "cannot load " + path + ": " + (reason != nullptr ? reason : "unknown reason");
        return false;
    }
    dlerror();
    void* entry = dlsym(module, "HD_Device");
    if (entry == nullptr) {
        error_ = path + " has no HD_Device";
        // No device can have come from it, so this one may go.
        dlclose(module);
        return false;
    }
    entry_ = reinterpret_cast<HT_Device_Data* (*)()>(entry);
    return true;
}

HT_Device_Data* HT_Driver_Module::create_device() const {
    if (entry_ == nullptr) return nullptr;
    HT_Device_Data* device = entry_();
    HT_Record_New_Device(device);
    return device;
}

int HD_Start_Device(HT_Device_Data* device) { return device->start_device(); }

void HD_Show_Frame(HT_Device_Data* device, int flags) { device->show_frame(flags); }

void HD_Destroy_Device(HT_Device_Data* device) { delete device; }
