// Pixel rectangles from corner points, and their clipping to the window.
#include "pixels/pixel_rectangle.h"

#include <algorithm>
#include <cmath>

namespace {

// Far beyond any window, and small enough that a width, a height or a row
// offset computed from two such values fits in 32 bits.
constexpr int32_t COORDINATE_LIMIT = (1 << 30) - 1;

}  // namespace

int32_t truncate_coordinate(float value) {
    if (std::isnan(value)) return 0;
    double held = std::clamp(double(value), -double(COORDINATE_LIMIT), double(COORDINATE_LIMIT));
    return int32_t(held);
}

Pixel_Rectangle pixel_rectangle(const HT_Point3D& start, const HT_Point3D& end) {
    Pixel_Rectangle rectangle;
    if (std::isnan(start.x) || std::isnan(start.y) || std::isnan(end.x) || std::isnan(end.y)) {
        return rectangle;
    }
    rectangle.left = truncate_coordinate(start.x);
    rectangle.top = truncate_coordinate(start.y);
    int64_t width = int64_t(truncate_coordinate(end.x)) - rectangle.left + 1;
    int64_t height = int64_t(rectangle.top) - truncate_coordinate(end.y) + 1;
    if (width < 1 || height < 1) return rectangle;
    // At most 2^31 - 1 each, since both corners lie within +-(2^30 - 1).
    rectangle.width = int32_t(width);
    rectangle.height = int32_t(height);
    return rectangle;
}

Pixel_Rectangle clip_to_window(const Pixel_Rectangle& rectangle, HT_Int_XY window_size) {
    Pixel_Rectangle clipped;
    if (rectangle.empty() || window_size.x < 1 || window_size.y < 1) return clipped;
    int32_t left = std::max(rectangle.left, 0);
    int32_t right = std::min(rectangle.right(), window_size.x - 1);
    int32_t top = std::min(rectangle.top, window_size.y - 1);
    int32_t bottom = std::max(rectangle.bottom(), 0);
    if (left > right || bottom > top) return clipped;
    clipped.left = left;
    clipped.top = top;
    clipped.width = right - left + 1;
    clipped.height = top - bottom + 1;
    return clipped;
}

int32_t row_from_top(const Pixel_Rectangle& rectangle, HT_Int_XY window_size) {
    return window_size.y - 1 - rectangle.top;
}
