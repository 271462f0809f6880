// The pixel path of image drawing (see image_block.h). Each row of an image
// goes to the window row below the one before it, each pixel to exactly one
// window pixel. Three ways give that:
// - in place: OpenGL reads the host's own memory in the host's byte order
//   (GL_BGRA), with the host's row step as the row length. Rows stored top
//   first are drawn from the top row downward with a vertical zoom of -1;
//   rows stored bottom first (a negative step) upward from the bottom row.
// - through one buffer: the visible block reordered to red, green, blue,
//   alpha, bottom row first, and drawn in one call. For an OpenGL without
//   GL_BGRA, and for row steps that are not whole pixels or would make rows
//   overlap.
// - row by row through a buffer of one row, when the block's buffer cannot
//   be had.
#include "pixels/image_block.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "pixels/gl_features.h"
#include "pixels/pixel_lock.h"
#include "platform/gl.h"

namespace {

// Blue, green, red, alpha to red, green, blue, alpha.
void reorder_row(const uint8_t* source, uint8_t* target, int32_t pixel_count) {
    for (int32_t i = 0; i < pixel_count; ++i) {
        uint32_t pixel;
        std::memcpy(&pixel, source + i * 4, 4);
        pixel = (pixel & 0xFF00FF00u) | (pixel >> 16 & 0xFFu) | (pixel & 0xFFu) << 16;
        std::memcpy(target + i * 4, &pixel, 4);
    }
}

// OpenGL can read the rows where they lie when it takes the host's byte
// order and the rows are whole pixels apart without overlapping; a single
// row needs no step at all.
bool drawable_in_place(const Pixel_Rectangle& image, const Pixel_Rectangle& visible, int32_t row_step) {
    if (!gl_takes_host_order()) return false;
    if (visible.height == 1) return true;
    const int64_t step = row_step;
    return step % 4 == 0 && (step < 0 ? -step : step) >= int64_t(image.width) * 4;
}

}  // namespace

Image_Block::Image_Block(const Pixel_Rectangle& image, const Pixel_Rectangle& visible,
                         int32_t row_step, const uint8_t* pixels)
    : image_(image), visible_(visible), row_step_(row_step), pixels_(pixels) {
    if (visible.empty() || pixels == nullptr) return;
    if (drawable_in_place(image, visible, row_step)) {
        way_ = Way::in_place;
        return;
    }
    // The visible block lies inside the window, so its size cannot overflow.
    const size_t row_size = size_t(visible.width) * 4;
    buffer_.reset(new (std::nothrow) uint8_t[row_size * size_t(visible.height)]);
    if (buffer_) {
        way_ = Way::through_buffer;
        return;
    }
    if (visible.height > 1) buffer_.reset(new (std::nothrow) uint8_t[row_size]);
    if (buffer_) way_ = Way::row_by_row;
}

const uint8_t* Image_Block::row_at(int32_t y) const {
    return pixels_ + ptrdiff_t(image_.top - y) * row_step_ + ptrdiff_t(visible_.left - image_.left) * 4;
}

void Image_Block::draw(OGL_Device_Data* device, int32_t depth) const {
    if (!ready()) return;
    Pixel_Lock_Hold hold;
    glDisable(GL_DEPTH_TEST);
    if (way_ == Way::in_place) draw_in_place(depth);
    else if (way_ == Way::through_buffer) draw_through_buffer(depth);
    else draw_row_by_row(depth);
    if (device->depth_test_enabled) glEnable(GL_DEPTH_TEST);
}

void Image_Block::draw_in_place(int32_t depth) const {
    if (visible_.height == 1) {
        glRasterPos3i(visible_.left, visible_.top, depth);
        glDrawPixels(visible_.width, 1, GL_BGRA, GL_UNSIGNED_BYTE, row_at(visible_.top));
        return;
    }
    if (row_step_ < 0) {
        glPixelStorei(GL_UNPACK_ROW_LENGTH, -(row_step_ / 4));
        glRasterPos3i(visible_.left, visible_.bottom(), depth);
        glDrawPixels(visible_.width, visible_.height, GL_BGRA, GL_UNSIGNED_BYTE,
                     row_at(visible_.bottom()));
    } else {
        glPixelStorei(GL_UNPACK_ROW_LENGTH, row_step_ / 4);
        // With a zoom of -1 the first row fills the window row below the
        // raster position, so the position moves up one row from the top
        // row; a bitmap of no pixels moves it even where the row above lies
        // outside the window.
        glRasterPos3i(visible_.left, visible_.top, depth);
        glBitmap(0, 0, 0.0f, 0.0f, 0.0f, 1.0f, nullptr);
        glPixelZoom(1.0f, -1.0f);
        glDrawPixels(visible_.width, visible_.height, GL_BGRA, GL_UNSIGNED_BYTE, row_at(visible_.top));
        glPixelZoom(1.0f, 1.0f);
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

// The block reordered into the buffer, bottom row first, as OpenGL reads it.
void Image_Block::draw_through_buffer(int32_t depth) const {
    const size_t row_size = size_t(visible_.width) * 4;
    for (int32_t row = 0; row < visible_.height; ++row)
        reorder_row(row_at(visible_.bottom() + row), buffer_.get() + row * row_size, visible_.width);
    glRasterPos3i(visible_.left, visible_.bottom(), depth);
    glDrawPixels(visible_.width, visible_.height, GL_RGBA, GL_UNSIGNED_BYTE, buffer_.get());
}

void Image_Block::draw_row_by_row(int32_t depth) const {
    for (int32_t y = visible_.top; y >= visible_.bottom(); --y) {
        reorder_row(row_at(y), buffer_.get(), visible_.width);
        glRasterPos3i(visible_.left, y, depth);
        glDrawPixels(visible_.width, 1, GL_RGBA, GL_UNSIGNED_BYTE, buffer_.get());
    }
}
