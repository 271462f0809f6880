// Reading colour and depth back into new host images. The host's call is
// carried to the render thread. With "Fast Readback" on an accelerated board
// the board keeps the pixels itself (FAST_READ_COLOR, FAST_READ_DEPTH) and
// the host receives a placeholder image of the right shape; otherwise the
// part of the rectangle inside the window is read into the image's own
// memory: in one transfer that hands rows top row first where OpenGL can,
// else in bands of rows copied to their places, else in one transfer turned
// round in place.
// Whatever lies outside the window reads as a cleared frame: opaque black,
// the farthest depth.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
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

// A new image for the rectangle that the read is about to cover whole (the
// visible part read, the rest filled), in memory of the driver's own that the
// image takes over: the host would clear memory of its own first, which costs
// as much as a second pass over the pixels. Only the bytes that pad each row
// beyond its pixels are cleared. Without that memory the host's is used.
void make_image_to_cover(HT_Shared_Image& target, const HT_Point3D& origin, const Pixel_Rectangle& rectangle,
                         HT_Image_Format format, int32_t row_bytes, int32_t pixel_bytes) {
    const size_t row_size = size_t(rectangle.width) * size_t(pixel_bytes);
    uint8_t* memory = nullptr;
    if (!rectangle.empty() && size_t(row_bytes) >= row_size &&
        size_t(rectangle.height) <= SIZE_MAX / size_t(row_bytes))
        memory = new (std::nothrow) uint8_t[size_t(rectangle.height) * size_t(row_bytes)];
    if (memory == nullptr) return make_image(target, origin, rectangle, format, row_bytes);
    if (size_t(row_bytes) > row_size)
        for (int32_t row = 0; row < rectangle.height; ++row)
            std::memset(memory + size_t(row) * size_t(row_bytes) + row_size, 0, size_t(row_bytes) - row_size);
    HT_Shared_Image temporary(origin, rectangle.width, rectangle.height, format, row_bytes, memory, true);
    // Without even the image object nothing took the memory over.
    if (temporary.is_null()) delete[] memory;
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
// host would take such a pixel for the placeholder of a fast read. `target`
// may be `source`. One loop per order, so that each compiles to vector code.
void copy_host_pixels(uint8_t* target, const uint8_t* source, int32_t width, bool reorder) {
    constexpr uint32_t OPAQUE = 0xFF000000u;
    if (reorder) {
        for (int32_t i = 0; i < width; ++i) {
            uint32_t pixel;
            std::memcpy(&pixel, source + i * 4, 4);
            pixel = (pixel & 0x0000FF00u) | (pixel >> 16 & 0xFFu) | (pixel & 0xFFu) << 16 | OPAQUE;
            std::memcpy(target + i * 4, &pixel, 4);
        }
    } else {
        for (int32_t i = 0; i < width; ++i) {
            uint32_t pixel;
            std::memcpy(&pixel, source + i * 4, 4);
            pixel |= OPAQUE;
            std::memcpy(target + i * 4, &pixel, 4);
        }
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

// Where OpenGL's rows of a read start (the image's own row step, in
// pixels); a name that platform/gl.h leaves out.
constexpr GLenum PACK_ROW_LENGTH = 0x0D02;
// With GL_MESA_pack_invert, a read hands its rows top row first.
constexpr GLenum PACK_INVERT = 0x8758;

enum class Plane { colors, depths };

// Bands of rows of about this size stay in the processor's cache between
// being read from the frame buffer and being copied into the image.
constexpr size_t BAND_BYTES = 64 * 1024;

struct Block_Read {
    const Pixel_Rectangle& image;
    const Pixel_Rectangle& visible;
    uint8_t* pixels;
    int32_t row_bytes;
    bool colors;
    bool host_order;  // colours in the host's byte order, as OpenGL gives them

    int bytes_per_pixel() const { return colors ? 4 : 2; }
    // The image's memory for the visible part of window row y.
    uint8_t* row_at(int32_t y) const {
        return pixels + ptrdiff_t(image.top - y) * row_bytes +
               ptrdiff_t(visible.left - image.left) * bytes_per_pixel();
    }
    // Reads `rows` window rows from `first_row` up into memory that OpenGL
    // packs with rows `row_length` pixels apart (0: as wide as the block).
    void read(int32_t first_row, int32_t rows, int32_t row_length, void* target) const {
        glPixelStorei(PACK_ROW_LENGTH, row_length);
        if (colors)
            glReadPixels(visible.left, first_row, visible.width, rows, host_order ? GL_BGRA : GL_RGBA,
                         GL_UNSIGNED_BYTE, target);
        else
            glReadPixels(visible.left, first_row, visible.width, rows, GL_DEPTH_COMPONENT,
                         GL_UNSIGNED_SHORT, target);
        glPixelStorei(PACK_ROW_LENGTH, 0);
    }
};

// OpenGL hands rows bottom row first and the image holds them top row first:
// bands of rows are read into a buffer and each row copied to its place.
bool read_in_bands(const Block_Read& block) {
    const Pixel_Rectangle& visible = block.visible;
    const size_t row_size = size_t(visible.width) * block.bytes_per_pixel();
    // OpenGL packs each row of the band on a 4-byte boundary.
    const size_t band_step = (row_size + 3) & ~size_t(3);
    const int32_t band_rows = int32_t(std::clamp<size_t>(BAND_BYTES / band_step, 1, size_t(visible.height)));
    std::unique_ptr<uint8_t[]> band(new (std::nothrow) uint8_t[band_step * size_t(band_rows)]);
    if (!band) return false;
    for (int32_t done = 0; done < visible.height; done += band_rows) {
        const int32_t rows = std::min(band_rows, visible.height - done);
        const int32_t first_row = visible.bottom() + done;
        block.read(first_row, rows, 0, band.get());
        for (int32_t row = 0; row < rows; ++row) {
            const uint8_t* source = band.get() + size_t(row) * band_step;
            uint8_t* target = block.row_at(first_row + row);
            if (block.colors)
                copy_host_pixels(target, source, visible.width, !block.host_order);
            else
                std::memcpy(target, source, row_size);
        }
    }
    return true;
}

// Colours from a read straight into the image pass through the host's order
// only where OpenGL did not give it already: in red, green, blue order, or
// with the alpha of a format that keeps alpha planes.
bool colors_need_a_pass(const Block_Read& block) {
    if (!block.colors) return false;
    if (!block.host_order) return true;
    GLint alpha_bits = 0;
    glGetIntegerv(GL_ALPHA_BITS, &alpha_bits);
    return alpha_bits != 0;
}

// Where OpenGL can hand rows top row first: one read straight into the
// image's rows (whose steps are a multiple of 4 bytes, as OpenGL packs
// them), and nothing to copy.
void read_top_row_first(const Block_Read& block) {
    const Pixel_Rectangle& visible = block.visible;
    uint8_t* first_row = block.row_at(visible.top);
    glPixelStorei(PACK_INVERT, GL_TRUE);
    block.read(visible.bottom(), visible.height, block.row_bytes / block.bytes_per_pixel(), first_row);
    glPixelStorei(PACK_INVERT, GL_FALSE);
    if (!colors_need_a_pass(block)) return;
    for (int32_t row = 0; row < visible.height; ++row) {
        uint8_t* pixels = first_row + ptrdiff_t(row) * block.row_bytes;
        copy_host_pixels(pixels, pixels, visible.width, !block.host_order);
    }
}

// Without a band buffer: one read straight into the image's rows (whose
// steps are a multiple of 4 bytes, as OpenGL packs them), turned round in
// place.
void read_in_place(const Block_Read& block) {
    const Pixel_Rectangle& visible = block.visible;
    uint8_t* first_row = block.row_at(visible.top);
    block.read(visible.bottom(), visible.height, block.row_bytes / block.bytes_per_pixel(), first_row);
    const size_t row_size = size_t(visible.width) * block.bytes_per_pixel();
    for (int32_t upper = 0, lower = visible.height - 1; upper <= lower; ++upper, --lower) {
        uint8_t* a = first_row + ptrdiff_t(upper) * block.row_bytes;
        uint8_t* b = first_row + ptrdiff_t(lower) * block.row_bytes;
        if (upper != lower) swap_rows(a, b, row_size);
        if (block.colors) {
            copy_host_pixels(a, a, visible.width, !block.host_order);
            if (upper != lower) copy_host_pixels(b, b, visible.width, !block.host_order);
        }
    }
}

// The block `visible` from the frame buffer into `pixels`, the memory of an
// image of `image`'s shape. Colours come in the host's byte order where
// OpenGL can give it, else as red, green, blue, alpha, reordered; either way
// they go to the host opaque.
void read_block(Plane plane, const Pixel_Rectangle& image, const Pixel_Rectangle& visible,
                uint8_t* pixels, int32_t row_bytes) {
    const bool colors = plane == Plane::colors;
    const Block_Read block{image, visible, pixels, row_bytes, colors, colors && gl_takes_host_order()};
    if (gl_has_extension("GL_MESA_pack_invert"))
        read_top_row_first(block);
    else if (!read_in_bands(block))
        read_in_place(block);
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
    make_image_to_cover(local, origin, image, HT_IMAGE_FORMAT_RGB32, row_bytes, 4);
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
        make_image_to_cover(local, origin, image, HT_IMAGE_FORMAT_DEPTH16, row_bytes, 2);
        if (uint8_t* pixels = writable_pixels(local, image)) {
            fill_outside(pixels, local->row_bytes(), image, visible, OUTSIDE_DEPTH);
            if (!visible.empty()) read_block(Plane::depths, image, visible, pixels, local->row_bytes());
            glGetError();
        }
        if (device->software_emulation == 1) glFlush();
    }
    assign_shared_handle(result, local);
}
