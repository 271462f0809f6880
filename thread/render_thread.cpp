// The render thread of a renderer object: it owns the object's OpenGL
// context, waits for one command at a time, carries it out and signals it
// done. Before drawing, reading or initialising it draws what is still queued
// in the batch, so the picture follows the host's call order. The commands'
// work lives with their subjects (gl/, batch/, pixels/); this file only
// dispatches.
#include "driver/actions.h"
#include "driver/device.h"
#include "platform/gl.h"

namespace {

// Draws the queued batch first, so that earlier calls land first.
void flush_queued(OGL_Device_Data& device) {
    if (device.batch.vertex_total != 0) device.flush_batch();
}

void present(OGL_Device_Data& device) {
    glFlush();
    if (device.software_emulation != 0) glFinish();
    SwapBuffers(device.device_context);
}

// The last command: nothing queued is drawn, and the batch lock goes with the
// last object of the module.
void end_thread(OGL_Device_Data& device) {
    device.release_context();
    --OGL_Instance_Count;
    if (OGL_Instance_Count == 0 && OGL_Batch_Lock_Initialized) {
        DeleteCriticalSection(&OGL_Batch_Lock);
        OGL_Batch_Lock_Initialized = false;
    }
}

// Carries out the command in the block; false when the thread is to end.
bool run_command(OGL_Device_Data& device) {
    switch (device.command.command_code) {
    case CMD_INIT:
        flush_queued(device);
        device.init_context();
        return true;
    case CMD_PRESENT:
        flush_queued(device);
        present(device);
        return true;
    case CMD_EXIT:
        end_thread(device);
        return false;
    case CMD_NOOP:
        flush_queued(device);
        OGL_Empty_Action(&device, device.command.rendition);
        return true;
    case CMD_RECTANGLE:
        flush_queued(device);
        OGL_Execute_DC_Rectangle(&device, device.command.rendition, device.command.rect_left,
                                 device.command.rect_right, device.command.rect_bottom,
                                 device.command.rect_top);
        return true;
    case CMD_STATE_CHANGE:
    case CMD_FLUSH:
        device.flush_batch();
        return true;
    default:
        // Codes without a handler are answered without any work.
        return true;
    }
}

}  // namespace

DWORD WINAPI render_thread_proc(LPVOID object) {
    OGL_Device_Data& device = *static_cast<OGL_Device_Data*>(object);
    bool running = true;
    // The start signal: construction waits for it, so that every later wait
    // on command_done answers the command just posted.
    SetEvent(device.command.command_done);
    while (running) {
        WaitForSingleObject(device.command.command_posted, INFINITE);
        device.command.in_render_thread = 1;
        running = run_command(device);
        if (DEBUG_SHOW_EACH_COMMAND != 0) {
            glFlush();
            SwapBuffers(device.device_context);
        }
        device.command.in_render_thread = 0;
        // After the answer to CMD_EXIT the object may be gone at once.
        SetEvent(device.command.command_done);
    }
    return 0;
}
