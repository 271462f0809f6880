// The three polyline actions: a polyline that OpenGL can draw is keyed and
// queued in the batch; any other goes unchanged to the host's standard
// routine, at once and on the calling thread. A polyline of n points is an
// open line strip.
#include "batch/pattern_tests.h"
#include "driver/actions.h"
#include "driver/device.h"
#include "host/standard.h"
#include "platform/gl.h"

namespace {

OGL_Device_Data& device_of(HT_Renderer_Data* renderer) {
    return *static_cast<OGL_Device_Data*>(renderer);
}

void set_line_key(OGL_Device_Data& device, const HT_Rendition& rendition, int32_t shade_model,
                  HT_RGB32 color) {
    device.set_line_state(GL_LINE_STRIP, shade_model, color, rendition.line.weight,
                          rendition.line.pattern);
}

}  // namespace

void OGL_Draw_DC_Polyline(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count,
                          const HT_Point3D* points) {
    if (!opengl_draws_line(*rendition)) {
        HD_Standard_Draw_DC_Polyline(renderer, rendition, count, points);
        return;
    }
    OGL_Device_Data& device = device_of(renderer);
    set_line_key(device, *rendition, GL_FLAT, rendition->color.color);
    device.append_vertices(GL_LINE_STRIP, count, points);
}

// With one_color set the whole polyline takes the first colour; without, each
// vertex brings its own, and OpenGL colours every segment with the colour of
// its last vertex.
void OGL_Draw_DC_Colorized_Polyline(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                    int count, const HT_Point3D* points, const HT_RGB32* colors,
                                    char one_color) {
    if (!opengl_draws_line(*rendition)) {
        HD_Standard_Draw_DC_Colorized_Polyline(renderer, rendition, count, points, colors, one_color);
        return;
    }
    OGL_Device_Data& device = device_of(renderer);
    if (one_color != 0) {
        if (colors == nullptr || count <= 0) return;
        set_line_key(device, *rendition, GL_FLAT, colors[0]);
        device.append_vertices(GL_LINE_STRIP, count, points);
    } else {
        set_line_key(device, *rendition, GL_FLAT, rendition->color.color);
        device.append_colored_vertices(GL_LINE_STRIP, count, points, colors);
    }
}

void OGL_Draw_DC_Gouraud_Polyline(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                  int count, const HT_Point3D* points, const HT_RGB32* colors) {
    if (!opengl_draws_line(*rendition)) {
        HD_Standard_Draw_DC_Gouraud_Polyline(renderer, rendition, count, points, colors);
        return;
    }
    OGL_Device_Data& device = device_of(renderer);
    set_line_key(device, *rendition, GL_SMOOTH, rendition->color.color);
    device.append_colored_vertices(GL_LINE_STRIP, count, points, colors);
}
