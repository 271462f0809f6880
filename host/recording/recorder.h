// Recording what a host does to its drivers. When $TOVREK_RECORD names a
// file (or a program calls HT_Record_Begin), every device that HD_Device
// hands the host from then on is recorded there in the trace language that
// `tovrek replay` plays (docs/trace-format.md): the screen, the board and
// registry each device is made on, each device's creation, its options and
// window at start, every show and destruction, the rendition as it
// changes, and every action the host calls through the device's table,
// with exact arguments. Start, show and deletion are recorded in the
// object's own virtual table, so a host that calls them directly is
// recorded too. A name ending in ".gz" is written compressed. Image pixels
// go next to the trace as PNG (and depth values as PGM) files it names.
// Calls that a device's own work makes through its table while a host call
// runs are not the host's and are not recorded.
#pragma once

#include <string>

#include "host/device.h"

// Called by the loader with what HD_Device returned (possibly null).
void HT_Record_New_Device(HT_Device_Data* device);

// Records the devices made from now on into `path`, ending any recording
// under way. False, with the reason, when the file cannot be written.
bool HT_Record_Begin(const std::string& path, std::string* error);
// Ends the recording under way: the trace is complete on disk. Devices
// still alive go on working unrecorded.
void HT_Record_End();
