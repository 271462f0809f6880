// Tests that drive the built module the way the host does: renderer objects
// from HD_Device, a window for them, and the host settings that CMD_INIT
// reads. The driver's own fields are reached by casting to OGL_Device_Data;
// its functions only through the virtual slots and the command channel.
#pragma once

#include "driver/device.h"

namespace test_device {

// HD_Device of the module at TOVREK_MODULE_PATH (loaded once per process).
HT_Device_Data* create();
// Destroys it the way the host does.
void destroy(HT_Device_Data* device);
// Makes create() use a new copy of the module, whose module-wide state is as
// at process start: the next construction is the first one (boxes shown,
// DirectDraw test run) and no object is alive. Tests that depend on that
// state call it first, so that they pass after other tests in one process.
void fresh_module();

// Points the device at the window: its device context as the context id, and
// the window size as the host's current size. Returns that device context,
// for a caller that releases it.
HDC attach(HT_Device_Data* device, HWND window, int width, int height);
// Sets the host's "Buffer Depth" option in the first option table.
void set_buffer_depth(HT_Device_Data* device, int depth);

// Casts what HD_Device returned to the driver's object.
OGL_Device_Data* driver(HT_Device_Data* device);

// Returns once every batch that the host's thread handed to the render
// thread (without waiting) has been drawn: what the one-slot channel has done
// by the time the flush returns. Host's thread only.
void await_drawing(HT_Device_Data* device);

// Posts a command code through the command block the way the driver's posters
// do; false when the render thread did not answer within ten seconds.
bool post_raw_command(OGL_Device_Data* device, int32_t code);

// Threads of this process now (from /proc); the same once the count has
// settled back to at most `expected` (threads end shortly after they answer);
// and once it has not changed for a tenth of a second.
int thread_count();
int settled_thread_count(int expected);
int quiet_thread_count();

}  // namespace test_device
