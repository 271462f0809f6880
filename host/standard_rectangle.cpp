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

// The largest device z for the host's "Buffer Depth": 2^depth - 1. A dot
// beyond it would be clipped away; without a depth buffer (0 or 1 bits) any
// z lands at the same depth.
double far_device_depth(const HT_Device_Data& device) {
    const HT_Option* option = device.option_tables[0].find("Buffer Depth");
    const int32_t bits = option != nullptr ? option->value().as_int(0) : 24;
    if (bits < 2) return 0.0;
    return double((uint32_t(1) << std::min(bits, 30)) - 1u);
}

}  // namespace

void HD_Standard_Draw_DC_Rectangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                   int left, int right, int bottom, int top) {
    if (rendition == nullptr) return;
    HT_Device_Data* device = HT_Device_Of(renderer);
    if (device == nullptr) return;
    const HT_Dot_Writer dots(*device, renderer, rendition);
    if (!dots.ready()) return;
    // Bounds given the wrong way round still mean the same rectangle.
    if (left > right) std::swap(left, right);
    if (bottom > top) std::swap(bottom, top);
    const HT_Raster_Bounds bounds = HT_Raster_Bounds_Of(renderer);
    const int first_x = std::max(left, bounds.left);
    const int last_x = std::min(right, bounds.right - 1);
    const int first_y = std::max(bottom, bounds.bottom);
    const int last_y = std::min(top, bounds.top - 1);
    const HT_Face_Mask mask = HT_Face_Mask_Of(*device, *rendition);
    const HT_RGB32 color = rendition->color.color;
    const double depth = far_device_depth(*device);
    for (int y = first_y; y <= last_y; ++y) {
        if (mask.rows[y & 31] == 0) continue;
        for (int x = first_x; x <= last_x; ++x)
            if (mask.covers(x, y)) dots.dot(x, y, depth, color);
    }
}
