// Putting the part of a host image that lies inside the window into the
// frame buffer: one glDrawPixels where one call gives exactly the pixels that
// drawing the rows one by one gives, the rows one by one only where no
// buffer for one call can be had. The point pass of one-row images and the
// board's marked images are image.cpp's.
#pragma once

#include <cstdint>
#include <memory>

#include "driver/device.h"
#include "pixels/pixel_rectangle.h"

// The drawing of `visible`, the part of `image` inside the window, from the
// host's pixels (4 bytes each: blue, green, red, alpha; the first is the
// image's upper-left pixel, and row_step bytes lead from one row to the one
// below). Construction picks the way and gets the buffer it needs, so that
// a caller can leave the frame untouched when ready() is false. Render
// thread only.
class Image_Block {
public:
    Image_Block(const Pixel_Rectangle& image, const Pixel_Rectangle& visible, int32_t row_step,
                const uint8_t* pixels);

    bool ready() const { return way_ != Way::none; }
    // Draws with depth testing off, at raster depth `depth`. Afterwards depth
    // testing is as the state mirror says and the pixel-transfer state as it
    // was.
    void draw(OGL_Device_Data* device, int32_t depth) const;

private:
    enum class Way { in_place, through_buffer, row_by_row, none };

    const uint8_t* row_at(int32_t y) const;
    void draw_in_place(int32_t depth) const;
    void draw_through_buffer(int32_t depth) const;
    void draw_row_by_row(int32_t depth) const;

    Pixel_Rectangle image_;
    Pixel_Rectangle visible_;
    int32_t row_step_;
    const uint8_t* pixels_;
    Way way_ = Way::none;
    std::unique_ptr<uint8_t[]> buffer_;
};
