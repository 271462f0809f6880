// The least OpenGL can be asked to do for a frame of smooth triangles: one
// array of every triangle's three vertices, positions and colours side by
// side, drawn by one glDrawArrays(GL_TRIANGLES). The ideal baselines build
// it; it holds no state of OpenGL's and sets only its client arrays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/types.h"

namespace bench {

class Triangle_Array {
public:
    void clear() { vertices_.clear(); }
    void add(const HT_Point3D& point, HT_RGB32 color) {
        vertices_.push_back({point.x, point.y, point.z,
                             {HT_Red(color), HT_Green(color), HT_Blue(color), HT_Alpha(color)}});
    }
    // Each triangle of a strip of `count` vertices, in the strip's order.
    void add_strip(const HT_Point3D* points, const HT_RGB32* colors, int count);
    size_t vertex_count() const { return vertices_.size(); }

    // On the calling thread's current context, with the vertex and colour
    // arrays on.
    void draw() const;

private:
    struct Vertex {
        float x, y, z;
        uint8_t rgba[4];
    };
    std::vector<Vertex> vertices_;
};

}  // namespace bench
