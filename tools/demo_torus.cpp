// Torus geometry: a ring of radius 1 around a tube of radius 0.4, tilted
// toward the viewer, in perspective.
#include "tools/demo_torus.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int BANDS = 40;       // around the ring
constexpr int TUBE_STEPS = 20;  // around the tube
constexpr float RING_RADIUS = 1.0f;
constexpr float TUBE_RADIUS = 0.4f;
constexpr float VIEWER_DISTANCE = 4.0f;
constexpr float PI = 3.14159265f;

struct Vec3 {
    float x, y, z;
};

Vec3 turned(Vec3 v) {
    // 60 degrees about x (tilts the ring toward the viewer), then 25 about y.
    const float cx = std::cos(1.05f), sx = std::sin(1.05f), cy = std::cos(0.44f), sy = std::sin(0.44f);
    Vec3 a{v.x, v.y * cx - v.z * sx, v.y * sx + v.z * cx};
    return {a.x * cy + a.z * sy, a.y, -a.x * sy + a.z * cy};
}

HT_Point3D projected(const Torus_View& view, Vec3 v) {
    // Larger z lies farther from the viewer, as device depth does.
    float w = VIEWER_DISTANCE / (VIEWER_DISTANCE + v.z);
    float depth = (v.z + RING_RADIUS + TUBE_RADIUS) / (2 * (RING_RADIUS + TUBE_RADIUS));
    return {view.center_x + v.x * view.scale * w, view.center_y + v.y * view.scale * w,
            std::clamp(depth, 0.0f, 1.0f) * view.max_depth * 0.9f};
}

// Position and normal of the surface point at ring angle u, tube angle v.
void surface(float u, float v, Vec3* position, Vec3* normal) {
    Vec3 n{std::cos(u) * std::cos(v), std::sin(u) * std::cos(v), std::sin(v)};
    *position = turned({std::cos(u) * (RING_RADIUS + TUBE_RADIUS * std::cos(v)),
                        std::sin(u) * (RING_RADIUS + TUBE_RADIUS * std::cos(v)), TUBE_RADIUS * std::sin(v)});
    *normal = turned(n);
}

HT_RGB32 lit(float u, const Vec3& normal) {
    const Vec3 light{-0.45f, 0.55f, -0.70f};  // toward the light, unit length
    float diffuse = std::max(0.0f, normal.x * light.x + normal.y * light.y + normal.z * light.z);
    // Half vector between the light and the viewer (0, 0, -1), for a highlight.
    Vec3 half{light.x, light.y, light.z - 1};
    float length = std::sqrt(half.x * half.x + half.y * half.y + half.z * half.z);
    float specular = std::pow(std::max(0.0f, (normal.x * half.x + normal.y * half.y + normal.z * half.z) / length), 24.0f);
    // The base colour runs from copper to teal around the ring.
    float blend = 0.5f + 0.5f * std::sin(u);
    float base[3] = {0.85f - 0.6f * blend, 0.45f + 0.2f * blend, 0.2f + 0.5f * blend};
    uint8_t channel[3];
    for (int c = 0; c < 3; ++c) {
        float value = base[c] * (0.18f + 0.82f * diffuse) + 0.6f * specular;
        channel[c] = uint8_t(std::clamp(value, 0.0f, 1.0f) * 255.0f + 0.5f);
    }
    return HT_Make_RGB32(channel[0], channel[1], channel[2]);
}

}  // namespace

std::vector<Shaded_Strip> torus_strips(const Torus_View& view) {
    std::vector<Shaded_Strip> strips(BANDS);
    for (int band = 0; band < BANDS; ++band) {
        for (int step = 0; step <= TUBE_STEPS; ++step) {
            float v = 2 * PI * float(step) / TUBE_STEPS;
            for (int edge = 0; edge < 2; ++edge) {
                float u = 2 * PI * float(band + edge) / BANDS;
                Vec3 position, normal;
                surface(u, v, &position, &normal);
                strips[size_t(band)].points.push_back(projected(view, position));
                strips[size_t(band)].colors.push_back(lit(u, normal));
            }
        }
    }
    return strips;
}

std::vector<std::vector<HT_Point3D>> torus_edges(const Torus_View& view) {
    std::vector<std::vector<HT_Point3D>> rings;
    for (int band = 0; band < BANDS; band += 4) {
        std::vector<HT_Point3D> ring;
        float u = 2 * PI * float(band) / BANDS;
        for (int step = 0; step <= TUBE_STEPS; ++step) {
            Vec3 position, normal;
            surface(u, 2 * PI * float(step) / TUBE_STEPS, &position, &normal);
            HT_Point3D point = projected(view, position);
            point.z = std::max(0.0f, point.z - view.max_depth * 0.004f);
            ring.push_back(point);
        }
        rings.push_back(ring);
    }
    return rings;
}
