// The render thread of a renderer object: it owns the object's OpenGL
// context, waits for one command at a time, carries it out and signals it
// done. Before drawing, reading or initialising it draws what is still queued
// in the batch, so the picture follows the host's call order. Batches queued
// ahead (thread/hand_over.cpp) are drawn while the host's thread goes on, so
// in_render_thread stays 0 for them: the host's thread reads that flag
// meanwhile. Every wake-up draws all the batches queued so far before it
// looks for a command, so a command sees everything handed over before it
// drawn. The commands' work lives with their subjects (gl/,
// batch/, pixels/); this file only dispatches.
#include "driver/actions.h"
#include "driver/device.h"
#include "platform/gl.h"
#include "thread/heap_reserve.h"

namespace {

// Draws the queued batch first, so that earlier calls land first.
void flush_queued(OGL_Device_Data& device) {
    if (device.batch->vertex_total != 0) device.flush_batch();
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
    OGL_Count_Exit();
}

// Carries out the command in the block; false when the thread is to end.
bool run_command(OGL_Device_Data& device) {
    const Render_Command& command = device.command;
    switch (command.command_code) {
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
        OGL_Empty_Action(&device, command.rendition);
        return true;
    case CMD_RECTANGLE:
        flush_queued(device);
        OGL_Execute_DC_Rectangle(&device, command.rendition, command.rect_left, command.rect_right,
                                 command.rect_bottom, command.rect_top);
        return true;
    // The pixel actions are called again with the arguments their host side
    // stored; with in_render_thread set they do the OpenGL work themselves.
    case CMD_DRAW_IMAGE:
        flush_queued(device);
        OGL_Draw_DC_Image(&device, command.rendition, command.start_point, command.end_point,
                          command.row_bytes, command.pixels);
        return true;
    case CMD_WRITE_DEPTH:
        flush_queued(device);
        OGL_Write_DC_Depth(&device, command.rendition, command.start_point, command.end_point,
                           command.row_bytes, command.depth_values);
        return true;
    case CMD_READ_COLOR:
        flush_queued(device);
        OGL_Read_DC_Color(&device, command.rendition, command.start_point, command.end_point,
                          *command.result_image);
        return true;
    case CMD_READ_DEPTH:
        flush_queued(device);
        OGL_Read_DC_Depth(&device, command.rendition, command.start_point, command.end_point,
                          *command.result_image);
        return true;
    case CMD_TEXTURED_TRIANGLES:
        flush_queued(device);
        OGL_Draw_DC_Textured_Polytriangle(&device, command.rendition, command.point_count,
                                          command.start_point, command.point_colors,
                                          command.parameters, command.vertex_values);
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
    // Made here: the render thread's own heap is the one to keep it.
    const Heap_Reserve reserve(RENDER_THREAD_HEAP_RESERVE);
    bool running = true;
    // The start signal: construction waits for it, so that every later wait
    // on command_done answers the command just posted.
    SetEvent(device.command.command_done);
    while (running) {
        // One signal may stand for several hand-overs and a command.
        await_signal(device.command.command_posted, device.render_waits);
        // Read before the batches are drawn, so that every batch handed over
        // before the command is among them.
        const bool command_posted = device.command_pending.exchange(false, std::memory_order_acquire);
        device.draw_queued_batches();
        if (!command_posted) continue;
        device.command.in_render_thread = 1;
        running = run_command(device);
        device.command.in_render_thread = 0;
        if (DEBUG_SHOW_EACH_COMMAND != 0) {
            glFlush();
            SwapBuffers(device.device_context);
        }
        // After the answer to CMD_EXIT the object may be gone at once.
        SetEvent(device.command.command_done);
    }
    return 0;
}
