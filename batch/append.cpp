// Queueing primitives in the batch: the two append operations of the host's
// thread, with the flush rules that keep one batch to one primitive kind, one
// colour layout and at most 300 vertices and 100 primitives. A primitive too
// long for the batch is queued in pieces; one that OpenGL cannot draw (too few
// vertices, a coordinate that is not a number) is not queued at all. Drawing
// the batch is flush_batch's work on the render thread.
#include <algorithm>
#include <cmath>
#include <cstring>

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
// drawn, so only the other kinds are refused for a z that is not finite.
bool worth_queueing(int32_t kind, int32_t count, const HT_Point3D* points) {
    if (points == nullptr || count < fewest_vertices(kind)) return false;
    const bool check_z = kind != GL_LINE_STRIP;
    for (int32_t i = 0; i < count; ++i) {
        const HT_Point3D& p = points[i];
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
        if (check_z && !std::isfinite(p.z)) return false;
    }
    return true;
}

// Calls queue(first, size) for each piece of a primitive. A primitive that
// fits the batch is one piece. Longer line strips are cut into pieces that
// share their joining vertex; longer triangle strips into pieces that overlap
// by two vertices and start at even vertex indexes, so that every triangle
// keeps the orientation it has in the whole strip.
template <class Queue>
void for_each_piece(int32_t kind, int32_t count, Queue queue) {
    if (count <= MAX_BATCH_VERTICES) {
        queue(0, count);
        return;
    }
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
    if (with_colors) {
        // HT_RGB32 lies in memory as blue, green, red, alpha; OpenGL reads
        // red, green, blue and skips the fourth byte.
        for (int32_t i = 0; i < count; ++i) {
            Batch_Color& entry = batch.colors[batch.vertex_total + i];
            entry.red = HT_Red(colors[i]);
            entry.green = HT_Green(colors[i]);
            entry.blue = HT_Blue(colors[i]);
        }
    }
    batch.vertex_total += count;

    if (batch.primitive_count == MAX_BATCH_PRIMITIVES) device.request_flush();
}

}  // namespace

void OGL_Device_Data::append_vertices(int32_t kind, int32_t count, const HT_Point3D* points) {
    if (!worth_queueing(kind, count, points)) return;
    Batch_Lock_Hold hold(batch_lock);
    for_each_piece(kind, count, [&](int32_t first, int32_t size) {
        queue_piece(*this, kind, size, points + first, nullptr);
    });
}

void OGL_Device_Data::append_colored_vertices(int32_t kind, int32_t count, const HT_Point3D* points,
                                              const HT_RGB32* colors) {
    if (colors == nullptr || !worth_queueing(kind, count, points)) return;
    Batch_Lock_Hold hold(batch_lock);
    for_each_piece(kind, count, [&](int32_t first, int32_t size) {
        queue_piece(*this, kind, size, points + first, colors + first);
    });
}
