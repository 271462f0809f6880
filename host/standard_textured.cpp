// The standard textured polytriangle routine: each triangle of the strip is
// scan-converted; at every pixel the face pattern lets through, the
// interpolated vertex colour is modulated by the nearest texel and sent to
// the device as a coloured dot. Interpolation is affine, or
// perspective-correct when the rendition asks for it and every vertex of the
// triangle has a positive 1/w. Without a usable texture the strip shows its
// vertex colours.
#include <cmath>

#include "host/raster.h"
#include "host/raster_mask.h"
#include "host/standard.h"
#include "host/standard_output.h"
#include "host/texture_sampler.h"

namespace {

// Under perspective the colour and texture attributes are divided by w at
// the vertices and Q carries 1/w; under affine interpolation Q is 1.
enum Attribute { DEPTH, RED, GREEN, BLUE, S, T, Q, ATTRIBUTE_COUNT };

bool finite(const HT_Point3D& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

class Texture_Painter final : public HT_Span_Sink {
public:
    Texture_Painter(const HT_Dot_Writer& dots, const HT_Face_Mask& mask, const HT_Texture_Sampler& sampler)
        : dots_(dots), mask_(mask), sampler_(sampler) {}

    void span(const HT_Raster_Span& span) override {
        mask_.for_each_covered(span, [&](int x, double k) {
            auto at = [&](int a) { return span.values[a] + k * span.steps[a]; };
            const double q = at(Q);
            if (!(q > 0)) return;
            const double w = 1.0 / q;
            const HT_RGB32 surface =
                HT_Make_RGB32(HT_Channel_Of(at(RED) * w), HT_Channel_Of(at(GREEN) * w), HT_Channel_Of(at(BLUE) * w));
            const HT_RGB32 color = sampler_.usable() ? sampler_.shade(at(S) * w, at(T) * w, surface) : surface;
            dots_.dot(x, span.y, at(DEPTH), color);
        });
    }

private:
    const HT_Dot_Writer& dots_;
    const HT_Face_Mask& mask_;
    const HT_Texture_Sampler& sampler_;
};

HT_Raster_Vertex raster_vertex(const HT_Point3D& p, HT_RGB32 color, const HT_Parameter& parameter,
                               double q) {
    HT_Raster_Vertex v = {p.x, p.y, {}};
    v.attributes[DEPTH] = p.z;
    v.attributes[RED] = HT_Red(color) * q;
    v.attributes[GREEN] = HT_Green(color) * q;
    v.attributes[BLUE] = HT_Blue(color) * q;
    v.attributes[S] = parameter.s * q;
    v.attributes[T] = parameter.t * q;
    v.attributes[Q] = q;
    return v;
}

bool usable_inverse_w(const float* values, int k) {
    for (int i = k; i < k + 3; ++i)
        if (!(values[i] > 0) || !std::isfinite(values[i])) return false;
    return true;
}

}  // namespace

void HD_Standard_Draw_DC_Textured_Polytriangle(HT_Renderer_Data* renderer,
                                               const HT_Rendition* rendition, int count,
                                               const HT_Point3D* points, const HT_RGB32* colors,
                                               const HT_Parameter* parameters,
                                               const float* vertex_values) {
    if (rendition == nullptr || points == nullptr || colors == nullptr || parameters == nullptr)
        return;
    if (count < 3) return;
    HT_Device_Data* device = HT_Device_Of(renderer);
    if (device == nullptr) return;
    const HT_Dot_Writer dots(*device, renderer, rendition);
    if (!dots.ready()) return;

    // Held for the whole call, so neither can go away under the loop.
    const HT_Texture_Handle texture = rendition->color.texture.texture_handle();
    HT_Shared_Image image;
    if (!texture.is_null()) image = texture->image();
    const HT_Texture_Sampler sampler(image.get(), texture.is_null() ? HT_WRAP_CLAMP : texture->wrap_s,
                                     texture.is_null() ? HT_WRAP_CLAMP : texture->wrap_t);

    const bool perspective =
        rendition->surface.texture_interpolation == HT_TEXTURE_PERSPECTIVE && vertex_values != nullptr;
    const HT_Raster_Bounds bounds = HT_Raster_Bounds_Of(renderer);
    const HT_Face_Mask mask = HT_Face_Mask_Of(*device, *rendition);
    Texture_Painter painter(dots, mask, sampler);

    for (int k = 0; k + 2 < count; ++k) {
        if (!finite(points[k]) || !finite(points[k + 1]) || !finite(points[k + 2])) continue;
        const bool divide = perspective && usable_inverse_w(vertex_values, k);
        HT_Raster_Vertex v[3];
        for (int i = 0; i < 3; ++i)
            v[i] = raster_vertex(points[k + i], colors[k + i], parameters[k + i],
                                 divide ? vertex_values[k + i] : 1.0);
        HT_Rasterize_Triangle(v[0], v[1], v[2], ATTRIBUTE_COUNT, bounds, painter);
    }
}
