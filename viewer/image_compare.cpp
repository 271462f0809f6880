// Per-pixel comparison of two captures.
#include "viewer/image_compare.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool differs(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int channel_a = int((a >> shift) & 0xFF), channel_b = int((b >> shift) & 0xFF);
        if (std::abs(channel_a - channel_b) > tolerance) return true;
    }
    return false;
}

bool same_size(const winx::Window_Snapshot& a, const winx::Window_Snapshot& b) {
    return a.width == b.width && a.height == b.height && a.pixels.size() == b.pixels.size();
}

}  // namespace

Image_Difference compare_images(const winx::Window_Snapshot& a, const winx::Window_Snapshot& b, int tolerance) {
    Image_Difference result;
    if (!same_size(a, b)) {
        result.total = result.differing = std::max(a.pixels.size(), b.pixels.size());
        return result;
    }
    result.total = a.pixels.size();
    for (size_t i = 0; i < a.pixels.size(); ++i)
        if (differs(a.pixels[i], b.pixels[i], tolerance)) ++result.differing;
    return result;
}

Rgba_Image difference_picture(const winx::Window_Snapshot& a, const winx::Window_Snapshot& b, int tolerance) {
    Rgba_Image picture = rgba_of(a);
    const bool comparable = same_size(a, b);
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        uint8_t* pixel = &picture.bytes[4 * i];
        if (!comparable || differs(a.pixels[i], b.pixels[i], tolerance)) {
            pixel[0] = 255;
            pixel[1] = 0;
            pixel[2] = 255;
        } else {
            for (int c = 0; c < 3; ++c) pixel[c] = uint8_t(pixel[c] / 4);
        }
    }
    return picture;
}
