// The standard rectangle routine: the pixels of the rectangle (both bounds
// inclusive) that the face pattern lets through, as dots in the rendition's
// colour at the far end of the device's depth range, where the device puts
// its own rectangles. The dots go through the device's depth test as it
// stands: a device that overwrites with its rectangles lets them all pass.
#include <algorithm>
#include <cstdint>
#include <utility>

#include "host/raster.h"
#include "host/raster_mask.h"
#include "host/standard.h"
#include "host/standard_output.h"

namespace {

// The largest device z for the host's "Buffer Depth": 2^depth - 1, formed in
// 64 bits; depths beyond 32 bits act as 32. A dot beyond it would be clipped
// away; without a depth buffer (0 or 1 bits) any z lands at the same depth.
double far_device_depth(const HT_Device_Data& device) {
    const HT_Option* option = device.option_tables[0].find("Buffer Depth");
    const int32_t bits = option != nullptr ? option->value().as_int(0) : 24;
    if (bits < 2) return 0.0;
    return double((uint64_t{1} << std::min(bits, 32)) - 1u);
}

// The pixels from the first value up to, not including, the second along
// one axis: those between `first` and `last + 1`, in either order, in 64 bits
// so that no bound overflows.
std::pair<int64_t, int64_t> pixel_span(int first, int last) {
    const int64_t a = first, b = int64_t(last) + 1;
    return {std::min(a, b), std::max(a, b)};
}

}  // namespace

void HD_Standard_Draw_DC_Rectangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                   int left, int right, int bottom, int top) {
    if (rendition == nullptr) return;
    HT_Device_Data* device = HT_Device_Of(renderer);
    if (device == nullptr) return;
    const HT_Dot_Writer dots(*device, renderer, rendition);
    if (!dots.ready()) return;
    // The rectangle lies between the corners (left, bottom) and (right + 1,
    // top + 1), as a device fills it: bounds given the wrong way round cover
    // the pixels strictly between them (columns right + 1 to left - 1).
    const HT_Raster_Bounds bounds = HT_Raster_Bounds_Of(renderer);
    const auto [x_from, x_to] = pixel_span(left, right);
    const auto [y_from, y_to] = pixel_span(bottom, top);
    const int first_x = int(std::max<int64_t>(x_from, bounds.left));
    const int last_x = int(std::min<int64_t>(x_to, bounds.right) - 1);
    const int first_y = int(std::max<int64_t>(y_from, bounds.bottom));
    const int last_y = int(std::min<int64_t>(y_to, bounds.top) - 1);
    const HT_Face_Mask mask = HT_Face_Mask_Of(*device, *rendition);
    const HT_RGB32 color = rendition->color.color;
    const double depth = far_device_depth(*device);
    for (int y = first_y; y <= last_y; ++y) {
        if (mask.rows[y & 31] == 0) continue;
        for (int x = first_x; x <= last_x; ++x)
            if (mask.covers(x, y)) dots.dot(x, y, depth, color);
    }
}
