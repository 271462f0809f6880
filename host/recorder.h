// Recording what a host does to its drivers. When $TOVREK_RECORD names a
// file, every device that HD_Device hands the host is recorded there in the
// trace language that `tovrek replay` plays (docs/trace-format.md): the
// screen, each device's creation, its options and window at start, every
// show and destruction, the rendition as it changes, and every action the
// host calls through the device's table, with exact arguments (floats are
// written so that they read back bit for bit). Texture and image pixels go
// next to the trace as PNG files it names. Calls that a device's own work
// makes through its table while a host call runs (the standard routines'
// pieces) are not the host's and are not recorded.
#pragma once

#include "host/device.h"

// Called by the loader with what HD_Device returned (possibly null).
void HT_Record_New_Device(HT_Device_Data* device);
// Called by HD_Start_Device, HD_Show_Frame and HD_Destroy_Device before they
// make the call.
void HT_Record_Start(HT_Device_Data* device);
void HT_Record_Show(HT_Device_Data* device, int flags);
void HT_Record_Destroy(HT_Device_Data* device);
