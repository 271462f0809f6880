// Handing a pixel action from the host's thread to the render thread: the
// arguments every pixel action has go into the object's command block and
// the command is posted; the render thread calls the action again with them.
// The action stores its own further arguments in the block before this.
#pragma once

#include "driver/device.h"

inline void post_pixel_action(OGL_Device_Data* device, Command_Code code,
                              const HT_Rendition* rendition, const HT_Point3D* start,
                              const HT_Point3D* end) {
    Render_Command& command = device->command;
    command.rendition = rendition;
    command.start_point = start;
    command.end_point = end;
    device->post_command(code);
}
