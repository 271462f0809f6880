// The recording device's actions and its plain drawing.
#include "recording_device.h"

#include <algorithm>
#include <cmath>

namespace {

Recording_Device& device_of(HT_Renderer_Data* renderer) { return *static_cast<Recording_Device*>(renderer); }

// The colour a piece shows: the rendition's, the one given, or the last
// vertex's of the segment or triangle ending at `last`.
HT_RGB32 color_at(const HT_Rendition* rendition, const HT_RGB32* colors, bool one_color, int last) {
    if (colors == nullptr) return rendition->color.color;
    return one_color ? colors[0] : colors[last];
}

template <Recording_Device::Call::Kind kind>
void lines(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count, const HT_Point3D* points,
           const HT_RGB32* colors, bool one_color) {
    Recording_Device& device = device_of(renderer);
    device.record(kind, rendition, count, points, colors, one_color);
    for (int i = 0; i + 1 < count; ++i)
        device.draw_line(points[i], points[i + 1], color_at(rendition, colors, one_color, i + 1));
}

template <Recording_Device::Call::Kind kind>
void triangles(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count,
               const HT_Point3D* points, const HT_RGB32* colors, bool one_color) {
    Recording_Device& device = device_of(renderer);
    device.record(kind, rendition, count, points, colors, one_color);
    for (int i = 0; i + 2 < count; ++i)
        device.fill_triangle(points[i], points[i + 1], points[i + 2],
                             color_at(rendition, colors, one_color, i + 2));
}

void colorized_dot(HT_Renderer_Data* renderer, const HT_Rendition*, const HT_Point3D* point,
                   const HT_RGB32* color) {
    Recording_Device& device = device_of(renderer);
    ++device.dots;
    const int x = int(std::floor(point->x)), y = int(std::floor(point->y));
    if (x < 0 || y < 0 || x >= device.width() || y >= device.height()) ++device.outside;
    else device.plot(x, y, point->z, *color);
}

}  // namespace

Recording_Device::Recording_Device(int width, int height)
    : width_(width), height_(height), pixels_(size_t(width) * height) {
    current_options.set_window_size({width, height});
    using Kind = Call::Kind;
    actions.draw_dc_polyline = {this, [](HT_Renderer_Data* r, const HT_Rendition* rendition, int count,
                                         const HT_Point3D* points) {
                                    lines<Kind::polyline>(r, rendition, count, points, nullptr, false);
                                }};
    actions.draw_dc_colorized_polyline = {
        this, [](HT_Renderer_Data* r, const HT_Rendition* rendition, int count, const HT_Point3D* points,
                 const HT_RGB32* colors, char one_color) {
            lines<Kind::colorized_polyline>(r, rendition, count, points, colors, one_color != 0);
        }};
    actions.draw_dc_gouraud_polyline = {
        this, [](HT_Renderer_Data* r, const HT_Rendition* rendition, int count, const HT_Point3D* points,
                 const HT_RGB32* colors) {
            lines<Kind::gouraud_polyline>(r, rendition, count, points, colors, false);
        }};
    actions.draw_dc_polytriangle = {this, [](HT_Renderer_Data* r, const HT_Rendition* rendition, int count,
                                             const HT_Point3D* points) {
                                        triangles<Kind::polytriangle>(r, rendition, count, points, nullptr,
                                                                      false);
                                    }};
    actions.draw_dc_colorized_polytriangle = {
        this, [](HT_Renderer_Data* r, const HT_Rendition* rendition, int count, const HT_Point3D* points,
                 const HT_RGB32* colors, char one_color) {
            triangles<Kind::colorized_polytriangle>(r, rendition, count, points, colors, one_color != 0);
        }};
    actions.draw_dc_gouraud_polytriangle = {
        this, [](HT_Renderer_Data* r, const HT_Rendition* rendition, int count, const HT_Point3D* points,
                 const HT_RGB32* colors) {
            triangles<Kind::gouraud_polytriangle>(r, rendition, count, points, colors, false);
        }};
    actions.draw_dc_colorized_dot = {this, colorized_dot};
}

int Recording_Device::lit_count() const {
    return int(std::count_if(pixels_.begin(), pixels_.end(), [](const Pixel& p) { return p.writes > 0; }));
}

void Recording_Device::plot(int x, int y, float z, HT_RGB32 color) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    Pixel& p = pixels_[size_t(y) * width_ + x];
    p.color = color;
    p.z = z;
    ++p.writes;
}

void Recording_Device::draw_line(const HT_Point3D& a, const HT_Point3D& b, HT_RGB32 color) {
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    const bool x_major = std::fabs(dx) >= std::fabs(dy);
    const double along = x_major ? dx : dy;
    if (!(along != 0) || !std::isfinite(along)) return;
    const double start = x_major ? a.x : a.y;
    const double low = std::min(start, start + along), high = std::max(start, start + along);
    const int limit = x_major ? width_ : height_;
    const int first = int(std::max(std::ceil(low - 0.5), -1.0));
    for (int i = first; i < limit && i + 0.5 < high; ++i) {
        const double t = (i + 0.5 - start) / along;
        const double across = (x_major ? a.y : a.x) + t * (x_major ? dy : dx);
        const float z = float(a.z + t * (double(b.z) - a.z));
        const int j = int(std::clamp(std::floor(across), -1.0, double(std::max(width_, height_))));
        if (x_major) plot(i, j, z, color);
        else plot(j, i, z, color);
    }
}

void Recording_Device::fill_triangle(const HT_Point3D& a, const HT_Point3D& b, const HT_Point3D& c,
                                     HT_RGB32 color) {
    auto edge = [](const HT_Point3D& p, const HT_Point3D& q, double x, double y) {
        return (double(q.x) - p.x) * (y - p.y) - (double(q.y) - p.y) * (x - p.x);
    };
    const double area = edge(a, b, c.x, c.y);
    if (!(area != 0) || !std::isfinite(area)) return;
    auto clamp_index = [](double v, int limit) { return int(std::clamp(v, 0.0, double(limit))); };
    const int x0 = clamp_index(std::floor(std::min({a.x, b.x, c.x})), width_);
    const int x1 = clamp_index(std::ceil(std::max({a.x, b.x, c.x})), width_);
    const int y0 = clamp_index(std::floor(std::min({a.y, b.y, c.y})), height_);
    const int y1 = clamp_index(std::ceil(std::max({a.y, b.y, c.y})), height_);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const double cx = x + 0.5, cy = y + 0.5;
            const double e0 = edge(a, b, cx, cy) / area, e1 = edge(b, c, cx, cy) / area,
                         e2 = edge(c, a, cx, cy) / area;
            if (e0 >= 0 && e1 >= 0 && e2 >= 0) plot(x, y, float(a.z), color);
        }
}

void Recording_Device::record(Call::Kind kind, const HT_Rendition* rendition, int count,
                              const HT_Point3D* points, const HT_RGB32* colors, bool one_color) {
    Call call;
    call.kind = kind;
    call.points.assign(points, points + count);
    if (colors != nullptr) call.colors.assign(colors, colors + (one_color ? 1 : count));
    call.one_color = one_color;
    call.rendition.color.color = rendition->color.color;
    call.rendition.line = rendition->line;
    call.rendition.face = rendition->face;
    call.rendition.surface = rendition->surface;
    calls.push_back(call);
}
