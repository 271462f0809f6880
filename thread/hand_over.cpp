// Queueing full batches ahead of the render thread. The batches form a ring:
// the host's thread fills one, and at a hand-over that batch joins the ones
// already waiting, with a copy of the pending key, and the host's thread goes
// on filling the next. It waits only when BATCHES_QUEUED_AHEAD batches are
// waiting or being drawn already, since the next one to fill would be one of
// them. The render thread draws the queued batches oldest first, and draws
// all of them before it reads a posted command (render_thread.cpp), so
// nothing is ever drawn out of the host's order. The host's thread alone
// moves batches_handed and the render thread alone batches_drawn; each
// publishes the batches it is done with through its counter.
#include "batch/batch_lock.h"
#include "driver/device.h"

void OGL_Device_Data::hand_over_batch() {
    // An empty batch draws nothing: the render thread would have no work.
    if (batch->vertex_total == 0) return;
    // The wait is for this object's own render thread: the batch lock, which
    // other objects' threads need, is let go meanwhile. No other thread uses
    // this object, so its batches are as they were when the lock comes back.
    if (batches_in_flight() >= BATCHES_QUEUED_AHEAD)
        Batch_Lock_Hold::wait_outside(batch_lock, [this] { await_batches_drawn(BATCHES_QUEUED_AHEAD - 1); });

    const uint32_t handed = batches_handed.load(std::memory_order_relaxed);
    Primitive_Batch* full = batch;
    batch_keys[handed % BATCH_RING_SIZE] = pending_state;
    Primitive_Batch* next = &batches[(handed + 1) % BATCH_RING_SIZE];
    // The new batch starts as the full one ends: empty, past the first
    // draw, and with the kind and colour layout that the flush rules compare.
    next->vertex_total = 0;
    next->primitive_count = 0;
    next->first_draw_pending = 0;
    next->primitive_kind = full->primitive_kind;
    next->vertices_only = full->vertices_only;
    batch = next;

    batches_handed.store(handed + 1, std::memory_order_release);
    SetEvent(command.command_posted);
}

void OGL_Device_Data::draw_queued_batches() {
    uint32_t drawn = batches_drawn.load(std::memory_order_relaxed);
    while (drawn != batches_handed.load(std::memory_order_acquire)) {
        const uint32_t slot = drawn % BATCH_RING_SIZE;
        draw_batch(batches[slot], batch_keys[slot]);
        batches_drawn.store(++drawn, std::memory_order_seq_cst);
        if (host_awaits_drawing.load(std::memory_order_seq_cst)) SetEvent(batch_drawn);
    }
}
