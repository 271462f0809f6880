// A made-up mesh of a given number of triangles in triangle strips of a
// given length: rows of quads that tile a window, each strip a run of quads
// along a row, colours and depths varying across the window, so that the
// cost of a frame grows with the triangles while the area drawn stays the
// window. It draws nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/types.h"

namespace bench {

struct Synthetic_Mesh {
    std::vector<HT_Point3D> points;  // device points, strip after strip
    std::vector<HT_RGB32> colors;    // one per point
    std::vector<int> strip_sizes;    // vertices of each strip, in order
    size_t triangle_count() const;
};

// `triangles` triangles (at least 1) in strips of `strip_vertices` vertices
// (at least 3), the last strip shorter where they do not divide, over a
// width × height window at device depths of `buffer_depth` bits.
Synthetic_Mesh make_synthetic_mesh(size_t triangles, int strip_vertices, int width, int height, int buffer_depth);

}  // namespace bench
