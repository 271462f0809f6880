// Drawing a host image: a rectangle of 4-byte pixels (blue, green, red,
// alpha) whose first row is its top row. The host's call is carried to the
// render thread, which draws the part inside the window with glDrawPixels
// (image_block.cpp). A one-row image with a depth buffer is first drawn as
// points so that it leaves depths behind; an image whose first pixel's alpha
// is not 255 is, on an accelerated board, put back by the board itself
// instead (FAST_DRAW_COLOR), as the partner of a fast readback.
#include "pixels/image.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "driver/actions.h"
#include "pixels/board_request.h"
#include "pixels/image_block.h"
#include "pixels/pixel_post.h"
#include "pixels/pixel_rectangle.h"
#include "platform/gl.h"

namespace {

void enable_client_arrays(OGL_Device_Data* device) {
    if (!device->color_array_enabled) {
        glEnableClientState(GL_COLOR_ARRAY);
        device->color_array_enabled = true;
    }
    if (!device->vertex_array_enabled) {
        glEnableClientState(GL_VERTEX_ARRAY);
        device->vertex_array_enabled = true;
    }
}

void draw_point_chunk(Row_Point_Arrays& points, int count) {
    glColorPointer(3, GL_UNSIGNED_BYTE, sizeof(Batch_Color), points.colors);
    glVertexPointer(3, GL_FLOAT, sizeof(HT_Point3D), points.vertices);
    glDrawArrays(GL_POINTS, 0, count);
    glFlush();
}

}  // namespace

void OGL_Draw_Image_Row_Points(OGL_Device_Data* device, const HT_Point3D& start,
                               const HT_Point3D& end, const uint8_t* pixels, int32_t row_pixels) {
    const float n = end.x - start.x + 1.0f;
    if (n == 1.0f) {
        glColor4ub(pixels[2], pixels[1], pixels[0], pixels[3]);
        glBegin(GL_POINTS);
        glVertex3fv(&start.x);
        glEnd();
        return;
    }
    if (!(n > 0.0f)) return;

    // Point k stands on pixel k of the row, for k < n; never more points than
    // the row has pixels, and none left or right of the window.
    const double window_width = device->viewport_size.x;
    const double count = std::min(std::ceil(double(n)), double(row_pixels));
    const double first = std::max(0.0, std::ceil(-double(start.x)));
    const double stop = std::min(count, std::ceil(window_width - double(start.x)));
    if (!(first < stop)) return;

    const float dz = (end.z - start.z) / n;
    float z = first == 0.0 ? start.z : start.z + dz * float(first);
    Row_Point_Arrays& points = device->row_points;
    int filled = 0;
    for (int32_t k = int32_t(first); k < int32_t(stop); ++k) {
        z += dz;
        const uint8_t* pixel = pixels + ptrdiff_t(k) * 4;
        points.vertices[filled] = HT_Point3D{start.x + float(k), start.y, z};
        points.colors[filled].red = pixel[2];
        points.colors[filled].green = pixel[1];
        points.colors[filled].blue = pixel[0];
        if (++filled == MAX_ROW_POINTS) {
            draw_point_chunk(points, filled);
            filled = 0;
        }
    }
    if (filled > 0) draw_point_chunk(points, filled);
}

void OGL_Draw_DC_Image(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                       const HT_Point3D* start, const HT_Point3D* end, int row_step,
                       const void* pixels) {
    OGL_Device_Data* device = static_cast<OGL_Device_Data*>(renderer);
    if (!device->command.in_render_thread) {
        device->command.row_bytes = row_step;
        device->command.pixels = pixels;
        post_pixel_action(device, CMD_DRAW_IMAGE, rendition, start, end);
        return;
    }

    if (start == nullptr || end == nullptr || pixels == nullptr) return;
    const Pixel_Rectangle image = pixel_rectangle(*start, *end);
    if (image.empty()) return;
    const Pixel_Rectangle visible = clip_to_window(image, device->viewport_size);
    const uint8_t* source = static_cast<const uint8_t*>(pixels);
    const bool marked = source[3] != 255 && device->software_emulation == 0;

    // The pixel path's buffer is had before anything is drawn, so that
    // without it the frame stays as it was.
    const Image_Block block(image, visible, row_step, marked ? nullptr : source);
    if (!marked && !visible.empty() && !block.ready()) return;

    const bool one_row = float(image.top) == end->y;
    if (one_row && device->buffer_depth > 1 && !visible.empty()) {
        enable_client_arrays(device);
        OGL_Draw_Image_Row_Points(device, *start, *end, source, image.width);
        // The points leave OpenGL's current colour behind them.
        device->current_state.color = UNSET_COLOR;
    }

    if (marked) {
        send_board_request(device, FAST_DRAW_COLOR, image.left,
                           row_from_top(image, device->viewport_size), image.width, image.height,
                           GL_RGB);
        return;
    }
    block.draw(device, truncate_coordinate(start->z));
}
