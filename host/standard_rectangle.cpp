// The standard rectangle routine: the pixels of the rectangle (both bounds
// inclusive) that the face pattern lets through, as dots in the rendition's
// colour at the far device depth that rectangles are drawn at.
#include <algorithm>
#include <cstdint>
#include <utility>

#include "host/raster.h"
#include "host/raster_mask.h"
#include "host/standard.h"
#include "host/standard_output.h"

namespace {

constexpr double RECTANGLE_DEPTH = 16777215.0;

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
    for (int y = first_y; y <= last_y; ++y) {
        if (mask.rows[y & 31] == 0) continue;
        for (int x = first_x; x <= last_x; ++x)
            if (mask.covers(x, y)) dots.dot(x, y, RECTANGLE_DEPTH, color);
    }
}
