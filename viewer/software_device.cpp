// The software reference's own drawing: pixels with a depth test, the
// clearing rectangle, and one-pixel lines stepped along their longer axis
// through pixel centres.
#include "viewer/software_device.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "host/standard.h"

namespace {

Software_Device* software(HT_Renderer_Data* renderer) { return static_cast<Software_Device*>(renderer); }

uint32_t rgb_of(HT_RGB32 color) { return color & 0x00FFFFFFu; }

void colorized_dot(HT_Renderer_Data* renderer, const HT_Rendition*, const HT_Point3D* point, const HT_RGB32* color) {
    if (point == nullptr || color == nullptr) return;
    if (!(std::isfinite(point->x) && std::isfinite(point->y) && std::isfinite(point->z))) return;
    software(renderer)->plot(int(std::floor(point->x)), int(std::floor(point->y)), point->z, *color);
}

void dot(HT_Renderer_Data* renderer, const HT_Rendition* rendition, const HT_Point3D* point) {
    if (rendition != nullptr) colorized_dot(renderer, rendition, point, &rendition->color.color);
}

void rectangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int left, int right, int bottom, int top) {
    if (rendition == nullptr) return;
    if (rendition->face.pattern != HT_SOLID_FACE_PATTERN) {
        HD_Standard_Draw_DC_Rectangle(renderer, rendition, left, right, bottom, top);
        return;
    }
    software(renderer)->fill(left, right, bottom, top, rendition->color.color);
}

// Steps from one end to the other, one pixel per step along the longer axis,
// depth interpolated.
void polyline(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count, const HT_Point3D* points) {
    if (rendition == nullptr || points == nullptr) return;
    Software_Device* device = software(renderer);
    for (int i = 0; i + 1 < count; ++i) {
        const HT_Point3D& a = points[i];
        const HT_Point3D& b = points[i + 1];
        if (!(std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z) && std::isfinite(b.x) &&
              std::isfinite(b.y) && std::isfinite(b.z)))
            continue;
        const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
        const double length = std::max(std::fabs(dx), std::fabs(dy));
        // The window bounds every line that can show.
        const int steps = int(std::min(std::ceil(length), 2.0 * (device->width() + device->height())));
        for (int k = 0; k <= steps; ++k) {
            const double f = steps > 0 ? double(k) / steps : 0.0;
            const double x = a.x + f * dx, y = a.y + f * dy;
            device->plot(int(std::floor(x)), int(std::floor(y)), a.z + f * (double(b.z) - a.z),
                         rendition->color.color);
        }
    }
}

}  // namespace

Software_Device::Software_Device(int width, int height, int buffer_depth) {
    image_.width = std::max(width, 0);
    image_.height = std::max(height, 0);
    image_.pixels.assign(size_t(image_.width) * size_t(image_.height), 0);
    depth_tested_ = buffer_depth > 1;
    far_depth_ = depth_tested_ ? double((uint64_t(1) << std::min(buffer_depth, 32)) - 1) : 0.0;
    depth_.assign(image_.pixels.size(), far_depth_);
    current_options.set_window_size({image_.width, image_.height});
    current_options.set_buffer_depth(buffer_depth);

    HT_Install_Action(this, actions.draw_dc_polyline, &polyline);
    HT_Install_Action(this, actions.draw_dc_polytriangle, &HD_Standard_Draw_DC_Polytriangle);
    HT_Install_Action(this, actions.draw_dc_colorized_polytriangle, &HD_Standard_Draw_DC_Colorized_Polytriangle);
    HT_Install_Action(this, actions.draw_dc_gouraud_polytriangle, &HD_Standard_Draw_DC_Gouraud_Polytriangle);
    HT_Install_Action(this, actions.draw_dc_textured_polytriangle, &HD_Standard_Draw_DC_Textured_Polytriangle);
    HT_Install_Action(this, actions.draw_dc_rectangle, &rectangle);
    HT_Install_Action(this, actions.draw_dc_dot, &dot);
    HT_Install_Action(this, actions.draw_dc_colorized_dot, &colorized_dot);
}

void Software_Device::plot(int x, int y, double z, HT_RGB32 color) {
    if (x < 0 || y < 0 || x >= image_.width || y >= image_.height) return;
    const size_t at = size_t(y) * size_t(image_.width) + size_t(x);
    if (depth_tested_) {
        if (!(z <= depth_[at])) return;
        depth_[at] = z;
    }
    image_.pixels[size_t(image_.height - 1 - y) * size_t(image_.width) + size_t(x)] = rgb_of(color);
}

// Colour and depth both overwritten: the rectangle lies at the far end and
// passes every depth test.
void Software_Device::fill(int left, int right, int bottom, int top, HT_RGB32 color) {
    left = std::max(left, 0);
    bottom = std::max(bottom, 0);
    right = std::min(right, image_.width - 1);
    top = std::min(top, image_.height - 1);
    for (int y = bottom; y <= top; ++y)
        for (int x = left; x <= right; ++x) {
            depth_[size_t(y) * size_t(image_.width) + size_t(x)] = far_depth_;
            image_.pixels[size_t(image_.height - 1 - y) * size_t(image_.width) + size_t(x)] = rgb_of(color);
        }
}
