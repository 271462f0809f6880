// The state key of the batch on the host's thread: each state operation
// compares the drawing state that the next primitive needs with the state the
// queued primitives wait to be drawn with, and has the batch drawn before it
// changes the pending key. request_flush is the hand-over to the render
// thread: a post that waits until the batch is drawn on the one-slot channel,
// a hand-over that does not wait with double-buffered batches; on the render
// thread itself (a host routine called back from inside a command) it draws
// the batch directly instead of posting to itself.
#include "batch/batch_lock.h"
#include "driver/device.h"
#include "platform/gl.h"

void OGL_Device_Data::request_flush() {
    if (command.in_render_thread) {
        flush_batch();
        return;
    }
    if (synchronous)
        post_command(CMD_STATE_CHANGE);
    else
        hand_over_batch();
}

void OGL_Device_Data::set_line_state(int32_t kind, int32_t shade_model, HT_RGB32 color,
                                     int32_t line_weight, int32_t line_pattern) {
    Batch_Lock_Hold hold(batch_lock);
    const bool flat = shade_model == GL_FLAT;
    // Under smooth shading the vertices carry the colour; the key's colour
    // keeps its last flat value.
    const bool changed = kind != batch->primitive_kind || shade_model != pending_state.shade_model ||
                         line_weight != pending_state.line_weight ||
                         line_pattern != pending_state.line_pattern ||
                         (flat && color != pending_state.color);
    if (!changed) return;
    request_flush();
    pending_state.line_weight = line_weight;
    pending_state.shade_model = shade_model;
    pending_state.line_pattern = line_pattern;
    if (flat) pending_state.color = color;
}

void OGL_Device_Data::set_triangle_state(int32_t kind, int32_t shade_model, HT_RGB32 color,
                                         int32_t face_pattern) {
    Batch_Lock_Hold hold(batch_lock);
    const bool flat = shade_model == GL_FLAT;
    const bool changed = kind != batch->primitive_kind || shade_model != pending_state.shade_model ||
                         face_pattern != pending_state.face_pattern ||
                         (flat && color != pending_state.color);
    if (!changed) return;
    request_flush();
    pending_state.shade_model = shade_model;
    pending_state.face_pattern = face_pattern;
    if (flat) pending_state.color = color;
}

void OGL_Device_Data::set_dot_state(int32_t kind, HT_RGB32 color) {
    Batch_Lock_Hold hold(batch_lock);
    const bool changed = kind != batch->primitive_kind || pending_state.shade_model != GL_FLAT ||
                         color != pending_state.color;
    if (!changed) return;
    request_flush();
    pending_state.shade_model = GL_FLAT;
    pending_state.color = color;
}
