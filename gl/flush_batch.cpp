// Drawing a queued batch on the render thread: apply the state key it was
// queued under, hand the batch's arrays to OpenGL as client arrays, draw the
// queued primitives (draw_calls.cpp: one call for the batch where the context
// offers it, else one per primitive), and empty the batch. It does not
// decide when to draw; the batch operations of the host's thread and the
// render thread loop do. The batch is either the one the host's thread fills
// (flush_batch, while that thread waits) or one queued ahead to be drawn
// while it goes on (draw_batch with the key that travelled with it). A
// primitive too long for the batch is handed over in arrays of its own and
// drawn with one glDrawArrays, while the host's thread waits.
#include "driver/device.h"
#include "platform/gl.h"

namespace {

// The smallest z a polyline vertex keeps (2^-23): anything nearer, negative,
// beyond the depth range or not a number is drawn at the front instead of
// being clipped away.
constexpr float SMALLEST_KEPT_Z = 1.1920929e-07f;

// Weights 0 and 1 both mean one pixel; OpenGL refuses a width of 0 and would
// keep the width of an earlier, wider batch.
GLfloat line_width_of(int32_t weight) { return weight > 1 ? GLfloat(weight) : 1.0f; }

void vet_polyline_depths(HT_Point3D* vertices, int32_t count, float max_depth_value) {
    for (int32_t i = 0; i < count; ++i) {
        float& z = vertices[i].z;
        if (!(z >= SMALLEST_KEPT_Z && z <= max_depth_value)) z = 0.0f;
    }
}

}  // namespace

void OGL_Device_Data::flush_batch() {
    if (long_primitive.count > 0) {
        // What was queued before it has been drawn already.
        const int32_t sizes[1] = {long_primitive.count};
        draw_primitives(batch->primitive_kind, long_primitive.vertices, long_primitive.colors, sizes, 1,
                        pending_state);
        long_primitive = Long_Primitive{};
        batch->first_draw_pending = 0;
        return;
    }
    draw_batch(*batch, pending_state);
}

void OGL_Device_Data::draw_batch(Primitive_Batch& queued, const GL_State_Key& key) {
    if (queued.vertex_total == 0) return;
    // Per-vertex colours are drawn whenever the batch carries them: smoothly
    // under GL_SMOOTH, and under GL_FLAT with OpenGL's rule that a segment or
    // triangle takes the colour of its last vertex.
    const bool per_vertex_colors = key.shade_model == GL_SMOOTH || queued.vertices_only == 0;
    draw_primitives(queued.primitive_kind, queued.vertices, per_vertex_colors ? queued.colors : nullptr,
                    queued.primitive_sizes, queued.primitive_count, key);
    queued.vertex_total = 0;
    queued.primitive_count = 0;
    queued.first_draw_pending = 0;
}

void OGL_Device_Data::draw_primitives(int32_t kind, HT_Point3D* vertices, const Batch_Color* colors,
                                      const int32_t* sizes, int32_t primitive_count,
                                      const GL_State_Key& key) {
    int32_t vertex_total = 0;
    for (int32_t i = 0; i < primitive_count; ++i) vertex_total += sizes[i];

    const bool per_vertex_colors = colors != nullptr;
    if (batch_draw == Batch_Draw::one_call)
        apply_changed_state(key, per_vertex_colors);
    else
        apply_every_state(key);

    const bool line_stippled = current_state.line_pattern != SOLID_LINE_PATTERN;
    const bool face_stippled = current_state.face_pattern != SOLID_FACE_PATTERN;
    if (line_stippled) glEnable(GL_LINE_STIPPLE);
    if (face_stippled) glEnable(GL_POLYGON_STIPPLE);

    if (transform_valid == 0) load_device_transform();

    if (!vertex_array_enabled) {
        vertex_array_enabled = true;
        glEnableClientState(GL_VERTEX_ARRAY);
    }
    if (buffer_depth > 1) {
        if (kind == GL_LINE_STRIP) vet_polyline_depths(vertices, vertex_total, max_depth_value);
        glVertexPointer(3, GL_FLOAT, sizeof(HT_Point3D), vertices);
    } else {
        glVertexPointer(2, GL_FLOAT, sizeof(HT_Point3D), vertices);
    }

    if (per_vertex_colors) {
        if (!color_array_enabled) {
            color_array_enabled = true;
            glEnableClientState(GL_COLOR_ARRAY);
        }
        glColorPointer(3, GL_UNSIGNED_BYTE, sizeof(Batch_Color), colors);
    } else if (color_array_enabled) {
        color_array_enabled = false;
        glDisableClientState(GL_COLOR_ARRAY);
    }

    issue_draw_calls(kind, sizes, primitive_count);

    if (line_stippled) glDisable(GL_LINE_STIPPLE);
    if (face_stippled) glDisable(GL_POLYGON_STIPPLE);

    if (DEBUG_SHOW_EACH_BATCH) {
        glFlush();
        SwapBuffers(device_context);
    }
    // Drawing from the colour array leaves OpenGL's current colour undefined.
    if (!per_vertex_colors) return;
    if (batch_draw == Batch_Draw::one_call)
        current_state.color = UNSET_COLOR;
    else
        set_color(current_state.color);
}

// The batch's key, applied whatever current_state says: the sequence of calls
// OpenGL 1.1 drivers were written against, kept with one call per primitive.
void OGL_Device_Data::apply_every_state(const GL_State_Key& key) {
    set_color(key.color);
    current_state.shade_model = key.shade_model;
    glShadeModel(GLenum(current_state.shade_model));
    current_state.line_weight = key.line_weight;
    glLineWidth(line_width_of(current_state.line_weight));
    current_state.line_pattern = key.line_pattern;
    const Line_Stipple& stipple = line_stipples[current_state.line_pattern];
    glLineStipple(stipple.factor, stipple.pattern);
    current_state.face_pattern = key.face_pattern;
    glPolygonStipple(face_stipples[current_state.face_pattern]);
}

// Only what differs from the mirrors in current_state: every such call makes
// OpenGL check its derived state again at the next draw, a good part of what
// drawing a small batch costs. The flat colour does not matter to a batch
// drawn with per-vertex colours, and the mirror forgets it after one.
void OGL_Device_Data::apply_changed_state(const GL_State_Key& key, bool per_vertex_colors) {
    if (!per_vertex_colors) update_color(key.color);
    if (current_state.shade_model != key.shade_model) {
        current_state.shade_model = key.shade_model;
        glShadeModel(GLenum(current_state.shade_model));
    }
    if (line_width_of(current_state.line_weight) != line_width_of(key.line_weight))
        glLineWidth(line_width_of(key.line_weight));
    current_state.line_weight = key.line_weight;
    if (current_state.line_pattern != key.line_pattern) {
        current_state.line_pattern = key.line_pattern;
        const Line_Stipple& stipple = line_stipples[current_state.line_pattern];
        glLineStipple(stipple.factor, stipple.pattern);
    }
    if (current_state.face_pattern != key.face_pattern) {
        current_state.face_pattern = key.face_pattern;
        glPolygonStipple(face_stipples[current_state.face_pattern]);
    }
}
