// Recording the virtual operations every host path passes through: a host
// may call start_device() and show_frame() on the object itself, and
// delete it, without going through HD_Start_Device, HD_Show_Frame or
// HD_Destroy_Device. The object's virtual table is replaced by a copy of it
// whose start, show and deleting-destructor slots first call the given
// functions and then the driver's own. Objects of one driver class share
// one copy, kept for the life of the process (the module is never unloaded
// either). Only the table the object points to first is replaced.
#pragma once

#include "host/device.h"

struct Virtual_Hooks {
    // Called before the driver's own operation runs.
    void (*before_start)(HT_Device_Data* device);
    void (*before_show)(HT_Device_Data* device, int flags);
    // Returns what after_delete is handed once the driver's own deletion
    // has returned and the object is gone.
    void* (*before_delete)(HT_Device_Data* device);
    void (*after_delete)(HT_Device_Data* device, void* token);
};

// Installs the hooks in the object's table; the same hooks for every object.
void install_virtual_hooks(HT_Device_Data* device, const Virtual_Hooks& hooks);
