// Writing the host's 16-bit depth values into the depth buffer without
// touching the colours. The host's call is carried to the render thread. On
// an accelerated board with "Fast Readback" on, the board puts back the
// depths it kept at the fast depth read (FAST_WRITE_DEPTH); otherwise the
// part of the rectangle inside the window is drawn as depth-only pixel rows.
#include <cstddef>

#include "driver/actions.h"
#include "driver/device.h"
#include "pixels/board_request.h"
#include "pixels/pixel_lock.h"
#include "pixels/pixel_post.h"
#include "pixels/pixel_rectangle.h"
#include "platform/gl.h"

void OGL_Write_DC_Depth(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                        const HT_Point3D* start, const HT_Point3D* end, int row_step,
                        const uint16_t* values) {
    OGL_Device_Data* device = static_cast<OGL_Device_Data*>(renderer);
    if (!device->command.in_render_thread) {
        device->command.row_bytes = row_step;
        device->command.depth_values = values;
        post_pixel_action(device, CMD_WRITE_DEPTH, rendition, start, end);
        return;
    }

    if (start == nullptr || end == nullptr) return;
    const Pixel_Rectangle rectangle = pixel_rectangle(*start, *end);
    if (rectangle.empty()) return;

    // The board has depths to put back only when the fast depth read kept
    // them, which it does only with "Fast Readback" on.
    if (device->software_emulation == 0 && device->fast_readback) {
        send_board_request(device, FAST_WRITE_DEPTH, rectangle.left,
                           row_from_top(rectangle, device->viewport_size), rectangle.width,
                           rectangle.height, GL_DEPTH_COMPONENT);
        return;
    }

    const Pixel_Rectangle visible = clip_to_window(rectangle, device->viewport_size);
    if (values == nullptr || visible.empty()) return;
    const ptrdiff_t row_bytes = row_step > 0 ? row_step : ptrdiff_t(rectangle.width) * 2;
    const uint8_t* first = reinterpret_cast<const uint8_t*>(values) +
                           ptrdiff_t(visible.left - rectangle.left) * 2;

    Pixel_Lock_Hold hold;
    // With every value passing the depth test and no colour channel written,
    // the values land in the depth buffer as they are.
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthFunc(GL_ALWAYS);
    glFlush();
    for (int32_t y = visible.top; y >= visible.bottom(); --y) {
        glRasterPos2i(visible.left, y);
        glDrawPixels(visible.width, 1, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT,
                     first + ptrdiff_t(rectangle.top - y) * row_bytes);
    }
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthFunc(GL_LEQUAL);
}
