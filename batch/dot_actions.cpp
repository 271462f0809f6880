// The two dot actions: every dot is queued in the batch, one point each, in
// OpenGL's default point size of one pixel. There is no fallback.
#include "driver/actions.h"
#include "driver/device.h"
#include "platform/gl.h"

void OGL_Draw_DC_Dot(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                     const HT_Point3D* point) {
    OGL_Device_Data& device = *static_cast<OGL_Device_Data*>(renderer);
    device.set_dot_state(GL_POINTS, rendition->color.color);
    device.append_vertices(GL_POINTS, 1, point);
}

// The rendition is not read: the dot takes the colour it comes with.
void OGL_Draw_DC_Colorized_Dot(HT_Renderer_Data* renderer, const HT_Rendition*,
                               const HT_Point3D* point, const HT_RGB32* color) {
    if (color == nullptr) return;
    OGL_Device_Data& device = *static_cast<OGL_Device_Data*>(renderer);
    device.set_dot_state(GL_POINTS, *color);
    device.append_colored_vertices(GL_POINTS, 1, point, color);
}
