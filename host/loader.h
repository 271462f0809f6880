// Loading a display driver module and asking it for a device.
#pragma once

#include <string>

#include "host/device.h"

class HT_Driver_Module {
public:
    // Loads the module at `path` and finds its HD_Device. False, with the
    // reason in error(), when either fails; a failed load forgets any module
    // loaded before. A module that yields devices stays loaded for the life
    // of the process, since their threads may still run its code.
    bool load(const std::string& path);
    bool loaded() const { return entry_ != nullptr; }
    // HD_Device(): a new device, or null.
    HT_Device_Data* create_device() const;
    const std::string& error() const { return error_; }

private:
    HT_Device_Data* (*entry_)() = nullptr;
    std::string error_;
};

// The host's lifecycle calls on a device: start it (slot 9), show the frame
// (slot 11), and destroy it (slot 0, storage released). With $TOVREK_RECORD
// set they are recorded like the same calls made on the object directly
// (see host/recording/recorder.h).
int HD_Start_Device(HT_Device_Data* device);
void HD_Show_Frame(HT_Device_Data* device, int flags);
void HD_Destroy_Device(HT_Device_Data* device);
