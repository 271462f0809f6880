// The posting side of the command channel: the caller has stored the
// command's arguments in the command block; this stores the code, wakes the
// render thread and waits until the command is done. The render thread draws
// every batch queued ahead before it reads the command, so the host's thread
// does not wait for them separately. One command is in flight at a time, so
// the arguments may point into the caller's own data. It must never run on
// the render thread itself, which would wait for itself.
#include "driver/device.h"

void OGL_Device_Data::post_command(Command_Code code) {
    send_command(code);
    if (code == CMD_READ_COLOR || code == CMD_READ_DEPTH)
        await_read(command.command_done, host_waits);
    else
        await_signal(command.command_done, host_waits);
}
