// The three polytriangle actions: a polytriangle whose face pattern OpenGL
// can stipple is keyed and queued in the batch; any other goes unchanged to
// the host's standard routine. A polytriangle of n points is a triangle strip
// of n - 2 triangles.
#include "batch/pattern_tests.h"
#include "driver/actions.h"
#include "driver/device.h"
#include "host/standard.h"
#include "platform/gl.h"

namespace {

OGL_Device_Data& device_of(HT_Renderer_Data* renderer) {
    return *static_cast<OGL_Device_Data*>(renderer);
}

}  // namespace

void OGL_Draw_DC_Polytriangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count,
                              const HT_Point3D* points) {
    if (!opengl_draws_face(*rendition)) {
        HD_Standard_Draw_DC_Polytriangle(renderer, rendition, count, points);
        return;
    }
    OGL_Device_Data& device = device_of(renderer);
    device.set_triangle_state(GL_TRIANGLE_STRIP, GL_FLAT, rendition->color.color,
                              rendition->face.pattern);
    device.append_vertices(GL_TRIANGLE_STRIP, count, points);
}

// With one_color set the whole strip takes the first colour; without, each
// vertex brings its own, and OpenGL colours every triangle with the colour
// of its last vertex.
void OGL_Draw_DC_Colorized_Polytriangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                        int count, const HT_Point3D* points,
                                        const HT_RGB32* colors, char one_color) {
    if (!opengl_draws_face(*rendition)) {
        HD_Standard_Draw_DC_Colorized_Polytriangle(renderer, rendition, count, points, colors,
                                                   one_color);
        return;
    }
    OGL_Device_Data& device = device_of(renderer);
    if (one_color != 0) {
        if (colors == nullptr || count <= 0) return;
        device.set_triangle_state(GL_TRIANGLE_STRIP, GL_FLAT, colors[0], rendition->face.pattern);
        device.append_vertices(GL_TRIANGLE_STRIP, count, points);
    } else {
        device.set_triangle_state(GL_TRIANGLE_STRIP, GL_FLAT, rendition->color.color,
                                  rendition->face.pattern);
        device.append_colored_vertices(GL_TRIANGLE_STRIP, count, points, colors);
    }
}

void OGL_Draw_DC_Gouraud_Polytriangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                      int count, const HT_Point3D* points, const HT_RGB32* colors) {
    if (!opengl_draws_face(*rendition)) {
        HD_Standard_Draw_DC_Gouraud_Polytriangle(renderer, rendition, count, points, colors);
        return;
    }
    OGL_Device_Data& device = device_of(renderer);
    device.set_triangle_state(GL_TRIANGLE_STRIP, GL_SMOOTH, rendition->color.color,
                              rendition->face.pattern);
    device.append_colored_vertices(GL_TRIANGLE_STRIP, count, points, colors);
}
