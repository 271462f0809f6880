// Images the host shares by counted handle: colour images (HT_RGB32 pixels)
// and depth images (16-bit values), rows top row first.
#pragma once

#include <cstdint>
#include <vector>

#include "host/counted.h"
#include "host/types.h"

class HT_Image : public HT_Counted {
public:
    // With pixels null the image owns zero-filled memory of height x
    // row_bytes bytes, row_bytes raised to what the width needs; otherwise it refers to the caller's memory, and owns it
    // (releasing it with delete[]) when take_ownership is set.
    HT_Image(const HT_Point3D& origin, int32_t width, int32_t height, HT_Image_Format format,
             int32_t row_bytes, void* pixels, bool take_ownership);

    const HT_Point3D& origin() const { return origin_; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    HT_Image_Format format() const { return format_; }
    int32_t row_bytes() const { return row_bytes_; }
    // The first byte of the top row; each further row starts row_bytes later.
    // Null for an image of no pixels, or when its memory could not be had.
    uint8_t* pixels() const { return pixels_; }

protected:
    ~HT_Image() override;

private:
    HT_Point3D origin_;
    int32_t width_;
    int32_t height_;
    HT_Image_Format format_;
    int32_t row_bytes_;
    uint8_t* pixels_;
    bool owns_pixels_;
};

class HT_Shared_Image : public HT_Shared_Handle<HT_Image> {
public:
    HT_Shared_Image() = default;
    // A new image object (count 1) held by this handle; the handle stays null
    // when not even the image object can be had. Negative sizes are taken as
    // 0; an image with its own memory gets rows at least as long as its width
    // needs.
    HT_Shared_Image(const HT_Point3D& origin, int32_t width, int32_t height, HT_Image_Format format,
                    int32_t row_bytes, void* pixels, bool take_ownership);
};
