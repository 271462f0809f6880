// Queueing primitives in the batch: the two append operations of the host's
// thread, with the flush rules that keep one batch to one primitive kind, one
// colour layout and at most 300 vertices and 100 primitives. A primitive too
// long for the batch is drawn on its own from arrays of its own; one that
// OpenGL cannot draw (too few vertices, a coordinate that is not a number) is
// not queued at all. Drawing the batch is flush_batch's work on the render
// thread.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "batch/batch_lock.h"
#include "driver/device.h"
#include "platform/gl.h"

namespace {

// The fewest vertices with which a primitive of this kind draws anything.
int32_t fewest_vertices(int32_t kind) {
    if (kind == GL_TRIANGLE_STRIP) return 3;
    if (kind == GL_LINE_STRIP) return 2;
    return 1;
}

// False for a primitive that is to be left out: too few vertices, no points,
// or an x or y that is not finite. A polyline's z is vetted when the batch is
// drawn, so only the other kinds are refused for a z that is not finite, and
// only where z plays a part: without a depth range (0 or 1 bits) the batch is
// drawn from x and y alone.
bool worth_queueing(int32_t kind, int32_t count, const HT_Point3D* points, int32_t buffer_depth) {
    if (points == nullptr || count < fewest_vertices(kind)) return false;
    const bool check_z = kind != GL_LINE_STRIP && buffer_depth > 1;
    for (int32_t i = 0; i < count; ++i) {
        const HT_Point3D& p = points[i];
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
        if (check_z && !std::isfinite(p.z)) return false;
    }
    return true;
}

// HT_RGB32 lies in memory as blue, green, red, alpha; OpenGL reads red,
// green, blue and skips the fourth byte.
void convert_colors(const HT_RGB32* colors, int32_t count, Batch_Color* entries) {
    for (int32_t i = 0; i < count; ++i) {
        entries[i].red = HT_Red(colors[i]);
        entries[i].green = HT_Green(colors[i]);
        entries[i].blue = HT_Blue(colors[i]);
    }
}

// Calls queue(first, size) for each piece of a primitive longer than the
// batch, where it cannot have arrays of its own: line strips are cut into
// pieces that share their joining vertex, triangle strips into pieces that
// overlap by two vertices and start at even vertex indexes, so that every
// triangle keeps the orientation it has in the whole strip.
template <class Queue>
void for_each_piece(int32_t kind, int32_t count, Queue queue) {
    const int32_t overlap = kind == GL_TRIANGLE_STRIP ? 2 : kind == GL_LINE_STRIP ? 1 : 0;
    const int32_t step = MAX_BATCH_VERTICES - overlap;
    for (int32_t first = 0; first + overlap < count; first += step)
        queue(first, std::min(MAX_BATCH_VERTICES, count - first));
}

// Queues one piece of at most MAX_BATCH_VERTICES vertices, flushing first
// when it cannot share the batch. colors is null for a vertex-only piece.
void queue_piece(OGL_Device_Data& device, int32_t kind, int32_t count, const HT_Point3D* points,
                 const HT_RGB32* colors) {
    const bool with_colors = colors != nullptr;
    if (with_colors ? DEBUG_UNBATCHED_COLORED_VERTICES : DEBUG_UNBATCHED_VERTICES)
        device.request_flush();

    const Primitive_Batch& before = *device.batch;
    bool must_flush = kind != before.primitive_kind ||
                      before.vertex_total + count > MAX_BATCH_VERTICES;
    if (with_colors)
        must_flush = must_flush || before.vertices_only == 1;
    else
        must_flush = must_flush || before.first_draw_pending == 1 || before.vertices_only == 0;
    if (must_flush) device.request_flush();

    // A flush may have handed the batch over: fill the one that is now
    // the host's.
    Primitive_Batch& batch = *device.batch;
    batch.vertices_only = with_colors ? 0 : 1;
    batch.primitive_kind = kind;
    batch.primitive_sizes[batch.primitive_count++] = count;
    std::memcpy(&batch.vertices[batch.vertex_total], points, sizeof(HT_Point3D) * size_t(count));
    if (with_colors) convert_colors(colors, count, &batch.colors[batch.vertex_total]);
    batch.vertex_total += count;

    if (batch.primitive_count == MAX_BATCH_PRIMITIVES) device.request_flush();
}

// A primitive longer than the batch: what is queued is drawn first, then the
// primitive from arrays of its own in one glDrawArrays, with the pending key,
// so that a line pattern runs on and a strip shows no seam. Without memory
// for the arrays it is queued in pieces instead.
void draw_long_primitive(OGL_Device_Data& device, int32_t kind, int32_t count,
                         const HT_Point3D* points, const HT_RGB32* colors) {
    std::unique_ptr<HT_Point3D[]> vertices(new (std::nothrow) HT_Point3D[size_t(count)]);
    std::unique_ptr<Batch_Color[]> own_colors;
    if (vertices && colors != nullptr) own_colors.reset(new (std::nothrow) Batch_Color[size_t(count)]);
    if (!vertices || (colors != nullptr && !own_colors)) {
        for_each_piece(kind, count, [&](int32_t first, int32_t size) {
            queue_piece(device, kind, size, points + first, colors != nullptr ? colors + first : nullptr);
        });
        return;
    }
    std::memcpy(vertices.get(), points, sizeof(HT_Point3D) * size_t(count));
    if (colors != nullptr) convert_colors(colors, count, own_colors.get());

    device.request_flush();
    // A flush may have handed the batch over: the one that is now the host's
    // takes the primitive's kind and colour layout, for the rules that follow.
    Primitive_Batch& batch = *device.batch;
    batch.primitive_kind = kind;
    batch.vertices_only = colors != nullptr ? 0 : 1;
    // Drawn while this thread waits, since the arrays are this call's own;
    // the post waits for a batch handed over before, so the order holds.
    device.long_primitive = Long_Primitive{count, vertices.get(), own_colors.get()};
    if (device.command.in_render_thread) device.flush_batch();
    else device.post_command(CMD_STATE_CHANGE);
}

}  // namespace

void OGL_Device_Data::append_vertices(int32_t kind, int32_t count, const HT_Point3D* points) {
    if (!worth_queueing(kind, count, points, buffer_depth)) return;
    Batch_Lock_Hold hold(batch_lock);
    if (count > MAX_BATCH_VERTICES) draw_long_primitive(*this, kind, count, points, nullptr);
    else queue_piece(*this, kind, count, points, nullptr);
}

void OGL_Device_Data::append_colored_vertices(int32_t kind, int32_t count, const HT_Point3D* points,
                                              const HT_RGB32* colors) {
    if (colors == nullptr || !worth_queueing(kind, count, points, buffer_depth)) return;
    Batch_Lock_Hold hold(batch_lock);
    if (count > MAX_BATCH_VERTICES) draw_long_primitive(*this, kind, count, points, colors);
    else queue_piece(*this, kind, count, points, colors);
}
