// Filled rectangles: not batched, but handed to the render thread as one
// command, drawn as two triangles in the rendition's colour and face pattern
// at the far end of the depth range with a depth test that always passes, so
// that the rectangle overwrites colour and depth in its area. Also the
// rectangle's preparation action and the empty action installed beside it.
#include <algorithm>
#include <cstdint>
#include <iterator>

#include "batch/pattern_tests.h"
#include "driver/actions.h"
#include "driver/device.h"
#include "host/standard.h"
#include "platform/gl.h"

namespace {

// Device z of the rectangle where there is no depth range to speak of.
constexpr float RECTANGLE_DEVICE_Z = 16777215.0f;

// The pixels from `from` up to, not including, `to` along one axis: those
// between the corner coordinates `first` and `last + 1`, in either order.
struct Rectangle_Span {
    int64_t from;
    int64_t to;
};

Rectangle_Span rectangle_span(int first, int last) {
    const int64_t a = first, b = int64_t(last) + 1;
    return Rectangle_Span{std::min(a, b), std::max(a, b)};
}

// The device transform with every z sent to the far end of the depth range,
// where the device's own rectangles lie. The host's routine places its
// pieces from the host's current "Buffer Depth", which may have changed
// since the last start; under this transform they land where the rectangle
// belongs whatever z they carry.
void load_far_plane_transform(OGL_Device_Data& device) {
    device.load_device_transform();
    float far_plane[16];
    std::copy(std::begin(device.device_transform), std::end(device.device_transform), far_plane);
    far_plane[10] = 0.0f;  // z no longer counts...
    far_plane[14] = 1.0f;  // ...every point lies on the far plane
    glLoadMatrixf(far_plane);
}

// The host's routine for a face pattern that OpenGL cannot stipple. Its
// pieces overwrite colour and depth like the rectangle's own triangles: the
// depth test passes them all. It queues them here on the render thread;
// drawing them before the depth function and the transform go back
// completes the rectangle with the command.
void draw_with_host_routine(OGL_Device_Data& device, const HT_Rendition* rendition, int left,
                            int right, int bottom, int top) {
    const bool with_depth = device.buffer_depth >= 2;
    glDepthFunc(GL_ALWAYS);
    if (with_depth) load_far_plane_transform(device);
    HD_Standard_Draw_DC_Rectangle(&device, rendition, left, right, bottom, top);
    device.flush_batch();
    glDepthFunc(GL_LEQUAL);
    if (with_depth) device.load_device_transform();
}

}  // namespace

void OGL_Draw_DC_Rectangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int left,
                           int right, int bottom, int top) {
    OGL_Device_Data& device = *static_cast<OGL_Device_Data*>(renderer);
    if (device.command.in_render_thread) {
        // Called back from inside a command: this thread is the render
        // thread, so it draws here, after what is queued, instead of posting.
        device.flush_batch();
        OGL_Execute_DC_Rectangle(renderer, rendition, left, right, bottom, top);
        return;
    }
    device.command.rendition = rendition;
    device.command.rect_left = left;
    device.command.rect_right = right;
    device.command.rect_bottom = bottom;
    device.command.rect_top = top;
    device.post_command(CMD_RECTANGLE);
}

void OGL_Execute_DC_Rectangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int left,
                              int right, int bottom, int top) {
    OGL_Device_Data& device = *static_cast<OGL_Device_Data*>(renderer);
    if (!opengl_draws_face(*rendition)) {
        draw_with_host_routine(device, rendition, left, right, bottom, top);
        return;
    }

    // The rectangle's corners are (left, bottom) and (right + 1, top + 1):
    // the bounds are inclusive pixel columns and rows, and bounds given the
    // wrong way round cover what lies between the two corners (columns
    // right + 1 to left - 1), as the host's routine does too. The span is cut
    // to the window and its one-pixel border in 64 bits, so that no bound
    // overflows.
    const int64_t width = device.viewport_size.x;
    const int64_t height = device.viewport_size.y;
    const Rectangle_Span columns = rectangle_span(left, right);
    const Rectangle_Span rows = rectangle_span(bottom, top);
    const int64_t x0 = std::max<int64_t>(columns.from, -1);
    const int64_t x1 = std::min<int64_t>(columns.to, width + 1);
    const int64_t y0 = std::max<int64_t>(rows.from, -1);
    const int64_t y1 = std::min<int64_t>(rows.to, height + 1);
    if (x0 >= x1 || y0 >= y1) return;

    if (device.current_state.shade_model != GL_FLAT) {
        device.current_state.shade_model = GL_FLAT;
        glShadeModel(GL_FLAT);
    }
    glViewport(0, 0, device.viewport_size.x, device.viewport_size.y);
    device.load_device_transform();
    device.update_color(rendition->color.color);
    const int32_t pattern = rendition->face.pattern;
    if (device.current_state.face_pattern != pattern) {
        device.current_state.face_pattern = pattern;
        glPolygonStipple(device.face_stipples[pattern]);
    }
    if (pattern == SOLID_FACE_PATTERN)
        glDisable(GL_POLYGON_STIPPLE);
    else
        glEnable(GL_POLYGON_STIPPLE);
    glDepthFunc(GL_ALWAYS);
    glEnable(GL_DEPTH_TEST);

    // The far end of the device depth range, whatever the buffer depth.
    const float z = device.buffer_depth >= 2 ? device.max_depth_value : RECTANGLE_DEVICE_Z;
    const float left_x = float(x0), right_x = float(x1);
    const float bottom_y = float(y0), top_y = float(y1);
    glBegin(GL_TRIANGLES);
    glVertex3f(left_x, bottom_y, z);
    glVertex3f(left_x, top_y, z);
    glVertex3f(right_x, top_y, z);
    glVertex3f(left_x, bottom_y, z);
    glVertex3f(right_x, top_y, z);
    glVertex3f(right_x, bottom_y, z);
    glEnd();

    glDepthFunc(GL_LEQUAL);
    // Without a depth range the depth test belongs off, as the transform
    // leaves it (it switches it off and records that in its mirror).
    if (device.buffer_depth < 2) device.load_device_transform();
    if (pattern != SOLID_FACE_PATTERN) glDisable(GL_POLYGON_STIPPLE);
    if (device.software_emulation) glFlush();
}

// Called on the host's thread, where no OpenGL context is current: it keeps
// only the fallback for faces that OpenGL cannot stipple, and leaves OpenGL
// and the render thread's mirrors alone.
void OGL_Prepare_DC_Rectangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int left,
                              int right, int bottom, int top) {
    // The fallback goes through the rectangle command, so that its pieces
    // land at the far end of the depth range the render thread is using.
    if (!opengl_draws_face(*rendition))
        OGL_Draw_DC_Rectangle(renderer, rendition, left, right, bottom, top);
}

void OGL_Empty_Action(HT_Renderer_Data*, const HT_Rendition*) {}
