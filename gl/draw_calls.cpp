// The draw calls for the primitives of one batch, with the arrays and the
// state already in place. Where the context offers glMultiDrawArrays (OpenGL
// 1.4, or GL_EXT_multi_draw_arrays) a batch of several primitives is drawn
// with one call, and the picture is the same to the byte as with one
// glDrawArrays per primitive:
// - line strips with glMultiDrawArrays, which OpenGL defines as one
//   glDrawArrays per primitive, so a line pattern starts afresh with each;
// - triangle strips as one list of their triangles (glDrawElements), each
//   with the vertices in the order the strip gives them; on a software
//   rasteriser this did less work than glMultiDrawArrays of the strips
//   (about 13% fewer instructions for the batches of a large model);
// - dots, which are independent points, with one glDrawArrays.
// Plain OpenGL 1.1, or the switch draw_per_primitive, keeps one glDrawArrays
// per primitive.
#include "driver/device.h"
#include "pixels/gl_features.h"
#include "platform/gl.h"

void OGL_Device_Data::choose_batch_draw() {
    const bool offered = winx::gl().MultiDrawArrays != nullptr &&
                         (gl_version_at_least(1, 4) || gl_has_extension("GL_EXT_multi_draw_arrays"));
    batch_draw = offered && !draw_per_primitive ? Batch_Draw::one_call : Batch_Draw::per_primitive;
}

namespace {

// One glDrawElements(GL_TRIANGLES) over the triangles of the strips, in strip
// order; odd triangles as i+1, i, i+2, as the strip itself orients them, so
// that each keeps its last vertex (the one whose colour a flat triangle
// takes) and its edges.
void draw_strips_as_triangles(Batch_Draw_Arrays& arrays, const int32_t* sizes, int32_t primitive_count) {
    GLsizei index_count = 0;
    GLushort first = 0;
    for (int32_t p = 0; p < primitive_count; ++p) {
        for (int32_t i = 0; i + 2 < sizes[p]; ++i) {
            const GLushort v = GLushort(first + i);
            const bool odd = (i & 1) != 0;
            arrays.triangle_indexes[index_count++] = odd ? GLushort(v + 1) : v;
            arrays.triangle_indexes[index_count++] = odd ? v : GLushort(v + 1);
            arrays.triangle_indexes[index_count++] = GLushort(v + 2);
        }
        first = GLushort(first + sizes[p]);
    }
    glDrawElements(GL_TRIANGLES, index_count, GL_UNSIGNED_SHORT, arrays.triangle_indexes);
}

}  // namespace

void OGL_Device_Data::issue_draw_calls(int32_t kind, const int32_t* sizes, int32_t primitive_count) {
    if (batch_draw == Batch_Draw::per_primitive || primitive_count == 1) {
        GLint first = 0;
        for (int32_t i = 0; i < primitive_count; ++i) {
            glDrawArrays(GLenum(kind), first, sizes[i]);
            first += sizes[i];
        }
        return;
    }
    if (kind == GL_TRIANGLE_STRIP) return draw_strips_as_triangles(draw_arrays, sizes, primitive_count);
    GLint vertex_total = 0;
    for (int32_t i = 0; i < primitive_count; ++i) {
        draw_arrays.firsts[i] = vertex_total;
        draw_arrays.sizes[i] = sizes[i];
        vertex_total += sizes[i];
    }
    if (kind == GL_POINTS)
        glDrawArrays(GL_POINTS, 0, vertex_total);
    else
        glMultiDrawArrays(GLenum(kind), draw_arrays.firsts, draw_arrays.sizes, primitive_count);
}
