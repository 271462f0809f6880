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

// Whether `pixel` matches one of `picture`'s pixels within one pixel of
// (x, y), x and y counted from the top-left corner.
bool matches_near(uint32_t pixel, const winx::Window_Snapshot& picture, int x, int y, int tolerance) {
    for (int row = std::max(y - 1, 0); row <= std::min(y + 1, picture.height - 1); ++row)
        for (int column = std::max(x - 1, 0); column <= std::min(x + 1, picture.width - 1); ++column)
            if (!differs(pixel, picture.pixels[size_t(row) * size_t(picture.width) + size_t(column)], tolerance))
                return true;
    return false;
}

// Pixel i of two pictures of the same size.
bool pixel_differs(const winx::Window_Snapshot& a, const winx::Window_Snapshot& b, size_t i, const Compare_Rule& rule) {
    if (!differs(a.pixels[i], b.pixels[i], rule.tolerance)) return false;
    if (!rule.line_color) return true;
    const uint32_t line = *rule.line_color;
    if (differs(a.pixels[i], line, rule.tolerance) && differs(b.pixels[i], line, rule.tolerance)) return true;
    const int x = int(i % size_t(a.width)), y = int(i / size_t(a.width));
    return !(matches_near(a.pixels[i], b, x, y, rule.tolerance) && matches_near(b.pixels[i], a, x, y, rule.tolerance));
}

}  // namespace

Image_Difference compare_images(const winx::Window_Snapshot& a, const winx::Window_Snapshot& b,
                                const Compare_Rule& rule) {
    Image_Difference result;
    if (!same_size(a, b)) {
        result.total = result.differing = std::max(a.pixels.size(), b.pixels.size());
        return result;
    }
    result.total = a.pixels.size();
    for (size_t i = 0; i < a.pixels.size(); ++i)
        if (pixel_differs(a, b, i, rule)) ++result.differing;
    return result;
}

Rgba_Image difference_picture(const winx::Window_Snapshot& a, const winx::Window_Snapshot& b,
                              const Compare_Rule& rule) {
    Rgba_Image picture = rgba_of(a);
    const bool comparable = same_size(a, b);
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        uint8_t* pixel = &picture.bytes[4 * i];
        if (!comparable || pixel_differs(a, b, i, rule)) {
            pixel[0] = 255;
            pixel[1] = 0;
            pixel[2] = 255;
        } else {
            for (int c = 0; c < 3; ++c) pixel[c] = uint8_t(pixel[c] / 4);
        }
    }
    return picture;
}
