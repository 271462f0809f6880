// Reading colour and depth back into new host images. The host's call is
// carried to the render thread. With "Fast Readback" on an accelerated board
// the board keeps the pixels itself (FAST_READ_COLOR, FAST_READ_DEPTH) and
// the host receives a placeholder image of the right shape; otherwise the
// part of the rectangle inside the window is read in one transfer straight
// into the image's own memory, and its rows are put top row first in place.
// Whatever lies outside the window reads as a cleared frame: opaque black,
// the farthest depth.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

#include "driver/actions.h"
#include "driver/device.h"
#include "pixels/board_request.h"
#include "pixels/gl_features.h"
#include "pixels/pixel_lock.h"
#include "pixels/pixel_post.h"
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

// Each pixel of a row read from the frame buffer as the host takes it: blue,
// green, red (from red, green, blue where `reorder` says OpenGL gave that
// order), and alpha 255. The window has no alpha planes to speak of: a
// format with them would hand back the alpha of whatever was drawn, and the
// host would take such a pixel for the placeholder of a fast read.
void to_host_pixels(uint8_t* row, int32_t width, bool reorder) {
    for (int32_t i = 0; i < width; ++i) {
        uint32_t pixel;
        std::memcpy(&pixel, row + i * 4, 4);
        if (reorder) pixel = (pixel & 0xFF00FF00u) | (pixel >> 16 & 0xFFu) | (pixel & 0xFFu) << 16;
        pixel |= 0xFF000000u;
        std::memcpy(row + i * 4, &pixel, 4);
    }
}

// Exchanges two rows of `size` bytes through a small buffer.
void swap_rows(uint8_t* a, uint8_t* b, size_t size) {
    uint8_t buffer[1024];
    for (size_t done = 0; done < size; done += sizeof(buffer)) {
        const size_t part = std::min(sizeof(buffer), size - done);
        std::memcpy(buffer, a + done, part);
        std::memcpy(a + done, b + done, part);
        std::memcpy(b + done, buffer, part);
    }
}

// Names that platform/gl.h leaves out: where OpenGL's rows of a read start
// (the image's own row step, in pixels), and colours in the host's own byte
// order (OpenGL 1.2, or 1.1 with GL_EXT_bgra).
constexpr GLenum PACK_ROW_LENGTH = 0x0D02;
constexpr GLenum BGRA = 0x80E1;

enum class Plane { colors, depths };

// The block `visible` from the frame buffer into `pixels`, the memory of an
// image of `image`'s shape, in one read straight into the image's rows (whose
// steps are a multiple of 4 bytes, as OpenGL packs them). OpenGL hands the
// rows bottom row first; they are turned round in place. Colours come in
// the host's byte order where OpenGL can give it, else as red, green, blue,
// alpha, reordered in place; either way they go to the host opaque.
void read_block(Plane plane, const Pixel_Rectangle& image, const Pixel_Rectangle& visible,
                uint8_t* pixels, int32_t row_bytes) {
    const bool colors = plane == Plane::colors;
    const bool host_order = colors && (gl_version_at_least(1, 2) || gl_has_extension("GL_EXT_bgra"));
    const int bytes_per_pixel = colors ? 4 : 2;
    uint8_t* first_row = pixels + ptrdiff_t(image.top - visible.top) * row_bytes +
                         ptrdiff_t(visible.left - image.left) * bytes_per_pixel;
    glPixelStorei(PACK_ROW_LENGTH, row_bytes / bytes_per_pixel);
    if (colors) {
        glReadPixels(visible.left, visible.bottom(), visible.width, visible.height,
                     host_order ? BGRA : GL_RGBA, GL_UNSIGNED_BYTE, first_row);
    } else {
        glReadPixels(visible.left, visible.bottom(), visible.width, visible.height, GL_DEPTH_COMPONENT,
                     GL_UNSIGNED_SHORT, first_row);
    }
    glPixelStorei(PACK_ROW_LENGTH, 0);

    const size_t row_size = size_t(visible.width) * bytes_per_pixel;
    for (int32_t upper = 0, lower = visible.height - 1; upper <= lower; ++upper, --lower) {
        uint8_t* a = first_row + ptrdiff_t(upper) * row_bytes;
        uint8_t* b = first_row + ptrdiff_t(lower) * row_bytes;
        if (upper != lower) swap_rows(a, b, row_size);
        if (colors) {
            to_host_pixels(a, visible.width, !host_order);
            if (upper != lower) to_host_pixels(b, visible.width, !host_order);
        }
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
        device->command.result_image = &result;
        post_pixel_action(device, CMD_READ_COLOR, rendition, start, end);
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
        if (!visible.empty()) read_block(Plane::colors, image, visible, pixels, local->row_bytes());
    }
    if (device->software_emulation == 1) glFlush();
    assign_shared_handle(result, local);
}

void OGL_Read_DC_Depth(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                       const HT_Point3D* start, const HT_Point3D* end, HT_Shared_Image& result) {
    OGL_Device_Data* device = static_cast<OGL_Device_Data*>(renderer);
    if (!device->command.in_render_thread) {
        device->command.result_image = &result;
        post_pixel_action(device, CMD_READ_DEPTH, rendition, start, end);
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
            if (!visible.empty()) read_block(Plane::depths, image, visible, pixels, local->row_bytes());
            glGetError();
        }
        if (device->software_emulation == 1) glFlush();
    }
    assign_shared_handle(result, local);
}
