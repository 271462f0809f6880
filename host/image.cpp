// Host images: pixel memory of their own or the caller's, shared by counted
// handle. An image never throws out of its constructor: memory that cannot be
// had leaves it without pixels.
#include "host/image.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace {

int32_t bytes_per_pixel(HT_Image_Format format) {
    switch (format) {
        case HT_IMAGE_FORMAT_MAPPED_8: return 1;
        case HT_IMAGE_FORMAT_MAPPED_16:
        case HT_IMAGE_FORMAT_DEPTH16: return 2;
        default: return 4;  // RGB32, and the widest guess for an unknown format
    }
}

}  // namespace

HT_Image::HT_Image(const HT_Point3D& origin, int32_t width, int32_t height, HT_Image_Format format,
                   int32_t row_bytes, void* pixels, bool take_ownership)
    : origin_(origin),
      width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      format_(format),
      row_bytes_(std::max(row_bytes, 0)),
      pixels_(static_cast<uint8_t*>(pixels)),
      owns_pixels_(take_ownership) {
    if (pixels != nullptr) return;

    // Memory of our own: rows at least as long as the width needs, so that a
    // reader walking width pixels per row stays inside the block.
    int64_t row_needed = int64_t(width_) * bytes_per_pixel(format_);
    if (row_needed > INT32_MAX) {
        row_bytes_ = 0;
        owns_pixels_ = false;
        return;
    }
    row_bytes_ = std::max(row_bytes_, int32_t(row_needed));
    owns_pixels_ = true;
    if (height_ == 0 || row_bytes_ == 0) return;
    if (size_t(height_) > SIZE_MAX / size_t(row_bytes_)) return;
    pixels_ = new (std::nothrow) uint8_t[size_t(height_) * size_t(row_bytes_)]();
}

HT_Image::~HT_Image() {
    if (owns_pixels_) delete[] pixels_;
}

HT_Shared_Image::HT_Shared_Image(const HT_Point3D& origin, int32_t width, int32_t height,
                                 HT_Image_Format format, int32_t row_bytes, void* pixels,
                                 bool take_ownership)
    : HT_Shared_Handle<HT_Image>(new (std::nothrow) HT_Image(origin, width, height, format,
                                                             row_bytes, pixels, take_ownership)) {}
