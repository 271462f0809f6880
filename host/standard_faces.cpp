// The three standard polytriangle routines: each triangle of the strip is
// scan-converted and its pixels that the face pattern lets through go to the
// device as coloured dots with interpolated depth. Triangles with a
// non-finite coordinate are left out.
#include <cmath>

#include "host/raster.h"
#include "host/raster_mask.h"
#include "host/standard.h"
#include "host/standard_output.h"

namespace {

enum Attribute { DEPTH, RED, GREEN, BLUE, ALPHA, ATTRIBUTE_COUNT };

bool finite(const HT_Point3D& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// Paints the spans of one triangle, in one colour or in interpolated ones.
class Face_Painter final : public HT_Span_Sink {
public:
    Face_Painter(const HT_Dot_Writer& dots, const HT_Face_Mask& mask) : dots_(dots), mask_(mask) {}

    void set_color(HT_RGB32 color) {
        color_ = color;
        interpolated_ = false;
    }
    void set_interpolated() { interpolated_ = true; }

    void span(const HT_Raster_Span& span) override {
        mask_.for_each_covered(span, [&](int x, double k) {
            const double z = span.values[DEPTH] + k * span.steps[DEPTH];
            HT_RGB32 color = color_;
            if (interpolated_) {
                auto channel = [&](int a) { return HT_Channel_Of(span.values[a] + k * span.steps[a]); };
                color = HT_Make_RGB32(channel(RED), channel(GREEN), channel(BLUE), channel(ALPHA));
            }
            dots_.dot(x, span.y, z, color);
        });
    }

private:
    const HT_Dot_Writer& dots_;
    const HT_Face_Mask& mask_;
    HT_RGB32 color_ = 0;
    bool interpolated_ = false;
};

HT_Raster_Vertex raster_vertex(const HT_Point3D& p, HT_RGB32 color) {
    HT_Raster_Vertex v = {p.x, p.y, {}};
    v.attributes[DEPTH] = p.z;
    v.attributes[RED] = HT_Red(color);
    v.attributes[GREEN] = HT_Green(color);
    v.attributes[BLUE] = HT_Blue(color);
    v.attributes[ALPHA] = HT_Alpha(color);
    return v;
}

void fill_strip(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count,
                const HT_Point3D* points, const HT_RGB32* colors, HT_Color_Mode mode) {
    if (rendition == nullptr || points == nullptr || count < 3) return;
    if (mode != HT_Color_Mode::rendition && colors == nullptr) return;
    HT_Device_Data* device = HT_Device_Of(renderer);
    if (device == nullptr) return;
    const HT_Dot_Writer dots(*device, renderer, rendition);
    if (!dots.ready()) return;
    const HT_Raster_Bounds bounds = HT_Raster_Bounds_Of(renderer);
    const HT_Face_Mask mask = HT_Face_Mask_Of(*device, *rendition);
    Face_Painter painter(dots, mask);
    const bool gouraud = mode == HT_Color_Mode::gouraud;
    if (gouraud) painter.set_interpolated();
    else if (mode == HT_Color_Mode::rendition) painter.set_color(rendition->color.color);
    else if (mode == HT_Color_Mode::single) painter.set_color(colors[0]);

    for (int k = 0; k + 2 < count; ++k) {
        if (!finite(points[k]) || !finite(points[k + 1]) || !finite(points[k + 2])) continue;
        // Flat colours: each triangle takes the colour of its last vertex.
        if (mode == HT_Color_Mode::flat) painter.set_color(colors[k + 2]);
        const HT_Raster_Vertex a = raster_vertex(points[k], gouraud ? colors[k] : 0);
        const HT_Raster_Vertex b = raster_vertex(points[k + 1], gouraud ? colors[k + 1] : 0);
        const HT_Raster_Vertex c = raster_vertex(points[k + 2], gouraud ? colors[k + 2] : 0);
        HT_Rasterize_Triangle(a, b, c, gouraud ? ATTRIBUTE_COUNT : DEPTH + 1, bounds, painter);
    }
}

}  // namespace

void HD_Standard_Draw_DC_Polytriangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                      int count, const HT_Point3D* points) {
    fill_strip(renderer, rendition, count, points, nullptr, HT_Color_Mode::rendition);
}

void HD_Standard_Draw_DC_Colorized_Polytriangle(HT_Renderer_Data* renderer,
                                                const HT_Rendition* rendition, int count,
                                                const HT_Point3D* points, const HT_RGB32* colors,
                                                char one_color) {
    fill_strip(renderer, rendition, count, points, colors,
               one_color != 0 ? HT_Color_Mode::single : HT_Color_Mode::flat);
}

void HD_Standard_Draw_DC_Gouraud_Polytriangle(HT_Renderer_Data* renderer,
                                              const HT_Rendition* rendition, int count,
                                              const HT_Point3D* points, const HT_RGB32* colors) {
    fill_strip(renderer, rendition, count, points, colors, HT_Color_Mode::gouraud);
}
