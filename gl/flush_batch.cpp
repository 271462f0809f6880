// Drawing the queued batch on the render thread: apply the pending state key,
// hand the batch's arrays to OpenGL as client arrays, draw each queued
// primitive with one glDrawArrays, and empty the batch. A primitive too long
// for the batch is handed over in arrays of its own and drawn the same way,
// with one glDrawArrays. It does not decide when to draw; the batch
// operations of the host's thread and the render thread loop do.
#include "driver/device.h"
#include "platform/gl.h"

namespace {

// The smallest z a polyline vertex keeps (2^-23): anything nearer, negative,
// beyond the depth range or not a number is drawn at the front instead of
// being clipped away.
constexpr float SMALLEST_KEPT_Z = 1.1920929e-07f;

void vet_polyline_depths(HT_Point3D* vertices, int32_t count, float max_depth_value) {
    for (int32_t i = 0; i < count; ++i) {
        float& z = vertices[i].z;
        if (!(z >= SMALLEST_KEPT_Z && z <= max_depth_value)) z = 0.0f;
    }
}

}  // namespace

void OGL_Device_Data::flush_batch() {
    if (long_primitive.count > 0) {
        // The batch was drawn before the long primitive was handed over.
        const int32_t sizes[1] = {long_primitive.count};
        draw_with_pending_state(long_primitive.vertices, long_primitive.colors, sizes, 1);
        long_primitive = Long_Primitive{};
        batch.first_draw_pending = 0;
        return;
    }
    if (batch.vertex_total == 0) return;
    draw_with_pending_state(batch.vertices, batch.vertices_only == 0 ? batch.colors : nullptr,
                            batch.primitive_sizes, batch.primitive_count);
    batch.vertex_total = 0;
    batch.primitive_count = 0;
    batch.first_draw_pending = 0;
}

void OGL_Device_Data::draw_with_pending_state(HT_Point3D* vertices, const Batch_Color* colors,
                                              const int32_t* sizes, int32_t primitive_count) {
    int32_t vertex_total = 0;
    for (int32_t i = 0; i < primitive_count; ++i) vertex_total += sizes[i];

    // The pending key, applied whatever current_state says.
    set_color(pending_state.color);
    current_state.shade_model = pending_state.shade_model;
    glShadeModel(GLenum(current_state.shade_model));
    // Weights 0 and 1 both mean one pixel; OpenGL refuses a width of 0 and
    // would keep the width of an earlier, wider batch.
    current_state.line_weight = pending_state.line_weight;
    glLineWidth(current_state.line_weight > 1 ? GLfloat(current_state.line_weight) : 1.0f);
    current_state.line_pattern = pending_state.line_pattern;
    const Line_Stipple& stipple = line_stipples[current_state.line_pattern];
    glLineStipple(stipple.factor, stipple.pattern);
    current_state.face_pattern = pending_state.face_pattern;
    glPolygonStipple(face_stipples[current_state.face_pattern]);

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
        if (batch.primitive_kind == GL_LINE_STRIP)
            vet_polyline_depths(vertices, vertex_total, max_depth_value);
        glVertexPointer(3, GL_FLOAT, sizeof(HT_Point3D), vertices);
    } else {
        glVertexPointer(2, GL_FLOAT, sizeof(HT_Point3D), vertices);
    }

    // Per-vertex colours are drawn whenever the primitives carry them:
    // smoothly under GL_SMOOTH, and under GL_FLAT with OpenGL's rule that a
    // segment or triangle takes the colour of its last vertex.
    const bool per_vertex_colors = current_state.shade_model == GL_SMOOTH || colors != nullptr;
    if (per_vertex_colors) {
        if (!color_array_enabled) {
            color_array_enabled = true;
            glEnableClientState(GL_COLOR_ARRAY);
        }
        glColorPointer(3, GL_UNSIGNED_BYTE, sizeof(Batch_Color), colors != nullptr ? colors : batch.colors);
    } else if (color_array_enabled) {
        color_array_enabled = false;
        glDisableClientState(GL_COLOR_ARRAY);
    }

    GLint first = 0;
    for (int32_t i = 0; i < primitive_count; ++i) {
        glDrawArrays(GLenum(batch.primitive_kind), first, sizes[i]);
        first += sizes[i];
    }

    if (line_stippled) glDisable(GL_LINE_STIPPLE);
    if (face_stippled) glDisable(GL_POLYGON_STIPPLE);

    if (DEBUG_SHOW_EACH_BATCH) {
        glFlush();
        SwapBuffers(device_context);
    }
    // Drawing from the colour array leaves the last vertex's colour current;
    // put back the flat colour that current_state.color claims.
    if (per_vertex_colors) set_color(current_state.color);
}
