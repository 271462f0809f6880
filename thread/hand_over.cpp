// Handing a full batch to the render thread without waiting for it to be
// drawn. The host's thread owns the filling batch and the pending key; at a
// hand-over both go to the render thread (the batch by pointer, the key by
// copy) and the host's thread goes on filling the other batch. It waits only
// when the batch it handed over before is still being drawn, so at most one
// batch is in flight and batches are drawn in the order they were filled.
// Every other command waits for that batch first (post_command), so nothing
// is ever drawn out of order. The hand-over travels through the one command
// slot as CMD_STATE_CHANGE; the render thread tells it apart by the handed
// batch (render_thread.cpp).
#include "driver/device.h"

void OGL_Device_Data::hand_over_batch() {
    // An empty batch draws nothing: the render thread would answer at once.
    if (batch->vertex_total == 0) return;
    await_hand_over();

    Primitive_Batch* full = batch;
    Primitive_Batch* next = full == &batches[0] ? &batches[1] : &batches[0];
    // The new batch starts as the drawn one ends: empty, past the first
    // draw, and with the kind and colour layout that the flush rules compare.
    next->vertex_total = 0;
    next->primitive_count = 0;
    next->first_draw_pending = 0;
    next->primitive_kind = full->primitive_kind;
    next->vertices_only = full->vertices_only;
    batch = next;

    hand_over.batch = full;
    hand_over.state = pending_state;
    command.command_code = CMD_STATE_CHANGE;
    SetEvent(command.command_posted);
}
