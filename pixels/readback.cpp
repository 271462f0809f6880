// Reading colour and depth back into new host images. The host's call is
// carried to the render thread. With "Fast Readback" on an accelerated board
// the board keeps the pixels itself (FAST_READ_COLOR, FAST_READ_DEPTH) and
// the host receives a placeholder image of the right shape; otherwise the
// part of the rectangle inside the window is read row by row, top row first,
// straight into the image's own memory. Whatever lies outside the window
// reads as a cleared frame: opaque black, the farthest depth.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

#include "driver/actions.h"
#include "driver/device.h"
#include "pixels/board_request.h"
#include "pixels/pixel_lock.h"
#include "pixels/pixel_rectangle.h"
#include "pixels/shared_handles.h"
#include "platform/gl.h"

namespace {

constexpr uint32_t OUTSIDE_COLOR = 0xFF000000u;  // opaque black, as HT_RGB32
constexpr uint16_t OUTSIDE_DEPTH = 0xFFFF;

// Widths whose rows would not fit in 32 bits give images without pixels.
int32_t row_bytes_of(int64_t bytes) { return int32_t(std::min<int64_t>(bytes, INT32_MAX)); }

int32_t color_row_bytes(int32_t width) { return row_bytes_of(int64_t(width) * 4); }

// Two bytes a value, every row starting on a 4-byte boundary.
int32_t depth_row_bytes(int32_t width) { return row_bytes_of((int64_t(width) * 2 + 3) & ~int64_t(3)); }

void post_read(OGL_Device_Data* device, Command_Code code, const HT_Rendition* rendition,
               const HT_Point3D* start, const HT_Point3D* end, HT_Shared_Image& result) {
    Render_Command& command = device->command;
    command.rendition = rendition;
    command.start_point = start;
    command.end_point = end;
    command.result_image = &result;
    device->post_command(code);
}

// A new image for the rectangle, held by `target` alone. An empty rectangle
// gives an image of no pixels.
void make_image(HT_Shared_Image& target, const HT_Point3D& origin, const Pixel_Rectangle& rectangle,
                HT_Image_Format format, int32_t row_bytes) {
    HT_Shared_Image temporary(origin, rectangle.width, rectangle.height, format, row_bytes, nullptr,
                              false);
    assign_shared_handle(target, temporary);
    reset_shared_handle(temporary);
}

// The image's pixel memory, or null when it has none to be written (no
// pixels, or memory that the host could not provide).
uint8_t* writable_pixels(const HT_Shared_Image& image, const Pixel_Rectangle& rectangle) {
    if (image.is_null() || rectangle.empty()) return nullptr;
    return image->pixels();
}

// Sets every value of the image that `visible` does not cover.
template <class Value>
void fill_outside(uint8_t* pixels, int32_t row_bytes, const Pixel_Rectangle& image,
                  const Pixel_Rectangle& visible, Value value) {
    auto fill = [&](Value* values, int32_t from, int32_t to) {
        for (int32_t column = from; column < to; ++column) {
            std::memcpy(&values[column], &value, sizeof(Value));
        }
    };
    const int32_t visible_from = visible.empty() ? 0 : visible.left - image.left;
    const int32_t visible_to = visible.empty() ? 0 : visible_from + visible.width;
    for (int32_t row = 0; row < image.height; ++row) {
        Value* values = reinterpret_cast<Value*>(pixels + ptrdiff_t(row) * row_bytes);
        const int32_t y = image.top - row;
        if (visible.empty() || y > visible.top || y < visible.bottom()) {
            fill(values, 0, image.width);
        } else {
            fill(values, 0, visible_from);
            fill(values, visible_to, image.width);
        }
    }
}

// The rows of `visible` from the frame buffer into `pixels`, the memory of an
// image of `image`'s shape; colour rows turned from red, green, blue, alpha
// into blue, green, red, alpha in place.
void read_color_rows(const Pixel_Rectangle& image, const Pixel_Rectangle& visible, uint8_t* pixels,
                     int32_t row_bytes) {
    const ptrdiff_t column_offset = ptrdiff_t(visible.left - image.left) * 4;
    for (int32_t y = visible.top; y >= visible.bottom(); --y) {
        uint8_t* row = pixels + ptrdiff_t(image.top - y) * row_bytes + column_offset;
        glReadPixels(visible.left, y, visible.width, 1, GL_RGBA, GL_UNSIGNED_BYTE, row);
        for (int32_t i = 0; i < visible.width; ++i) std::swap(row[i * 4], row[i * 4 + 2]);
    }
}

void read_depth_rows(const Pixel_Rectangle& image, const Pixel_Rectangle& visible, uint8_t* pixels,
                     int32_t row_bytes) {
    const ptrdiff_t column_offset = ptrdiff_t(visible.left - image.left) * 2;
    for (int32_t y = visible.top; y >= visible.bottom(); --y) {
        uint8_t* row = pixels + ptrdiff_t(image.top - y) * row_bytes + column_offset;
        glReadPixels(visible.left, y, visible.width, 1, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT, row);
        glGetError();
    }
}

// The fast path of both reads: a placeholder of the right shape for the host,
// the pixels kept by the board.
void fast_read(OGL_Device_Data* device, Board_Request_Code code, GLenum format_argument,
               const HT_Point3D& start, const Pixel_Rectangle& rectangle, HT_Image_Format format,
               int32_t row_bytes, HT_Shared_Image& result) {
    make_image(result, start, rectangle, format, row_bytes);
    if (rectangle.empty()) return;
    send_board_request(device, code, rectangle.left, row_from_top(rectangle, device->viewport_size),
                       rectangle.width, rectangle.height, format_argument);
}

bool use_fast_read(const OGL_Device_Data* device) {
    return device->fast_readback && device->software_emulation == 0;
}

}  // namespace

void OGL_Read_DC_Color(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                       const HT_Point3D* start, const HT_Point3D* end, HT_Shared_Image& result) {
    OGL_Device_Data* device = static_cast<OGL_Device_Data*>(renderer);
    if (!device->command.in_render_thread) {
        post_read(device, CMD_READ_COLOR, rendition, start, end, result);
        return;
    }

    const HT_Point3D origin = start != nullptr ? *start : HT_Point3D{0, 0, 0};
    const Pixel_Rectangle image =
        start != nullptr && end != nullptr ? pixel_rectangle(*start, *end) : Pixel_Rectangle{};
    const int32_t row_bytes = color_row_bytes(image.width);
    if (use_fast_read(device)) {
        fast_read(device, FAST_READ_COLOR, GL_RGB, origin, image, HT_IMAGE_FORMAT_RGB32, row_bytes,
                  result);
        return;
    }

    const Pixel_Rectangle visible = clip_to_window(image, device->viewport_size);
    glFinish();
    Pixel_Lock_Hold hold;
    HT_Shared_Image local;
    make_image(local, origin, image, HT_IMAGE_FORMAT_RGB32, row_bytes);
    if (uint8_t* pixels = writable_pixels(local, image)) {
        fill_outside(pixels, local->row_bytes(), image, visible, OUTSIDE_COLOR);
        if (!visible.empty()) read_color_rows(image, visible, pixels, local->row_bytes());
    }
    if (device->software_emulation == 1) glFlush();
    assign_shared_handle(result, local);
}

void OGL_Read_DC_Depth(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                       const HT_Point3D* start, const HT_Point3D* end, HT_Shared_Image& result) {
    OGL_Device_Data* device = static_cast<OGL_Device_Data*>(renderer);
    if (!device->command.in_render_thread) {
        post_read(device, CMD_READ_DEPTH, rendition, start, end, result);
        return;
    }

    const HT_Point3D origin = start != nullptr ? *start : HT_Point3D{0, 0, 0};
    const Pixel_Rectangle image =
        start != nullptr && end != nullptr ? pixel_rectangle(*start, *end) : Pixel_Rectangle{};
    const int32_t row_bytes = depth_row_bytes(image.width);
    if (use_fast_read(device)) {
        fast_read(device, FAST_READ_DEPTH, GL_DEPTH_COMPONENT, origin, image,
                  HT_IMAGE_FORMAT_DEPTH16, row_bytes, result);
        return;
    }

    const Pixel_Rectangle visible = clip_to_window(image, device->viewport_size);
    HT_Shared_Image local;
    {
        Pixel_Lock_Hold hold;
        glFinish();
        make_image(local, origin, image, HT_IMAGE_FORMAT_DEPTH16, row_bytes);
        if (uint8_t* pixels = writable_pixels(local, image)) {
            fill_outside(pixels, local->row_bytes(), image, visible, OUTSIDE_DEPTH);
            if (!visible.empty()) read_depth_rows(image, visible, pixels, local->row_bytes());
        }
        if (device->software_emulation == 1) glFlush();
    }
    assign_shared_handle(result, local);
}
