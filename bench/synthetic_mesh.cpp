// Laying out the synthetic mesh (see synthetic_mesh.h). A strip of n
// vertices alternates between the top and the bottom edge of its row: it
// covers (n - 2) / 2 quads. The strips are set side by side in rows, as many
// to a row as keep the quads about square.
#include "bench/synthetic_mesh.h"

#include <algorithm>
#include <cmath>

namespace bench {

size_t Synthetic_Mesh::triangle_count() const {
    size_t count = 0;
    for (int size : strip_sizes) count += size_t(size - 2);
    return count;
}

Synthetic_Mesh make_synthetic_mesh(size_t triangles, int strip_vertices, int width, int height, int buffer_depth) {
    Synthetic_Mesh mesh;
    const size_t per_strip = size_t(strip_vertices - 2);
    const size_t strips = (triangles + per_strip - 1) / per_strip;
    const double strip_quads = per_strip / 2.0;
    const size_t strips_per_row =
        std::max<size_t>(1, size_t(std::lround(std::sqrt(double(width) * strips / (double(height) * strip_quads)))));
    const size_t rows = (strips + strips_per_row - 1) / strips_per_row;
    const double quad_width = width / (strips_per_row * strip_quads);
    const double row_height = double(height) / rows;
    const double far_z = std::ldexp(1.0, buffer_depth) - 1;

    mesh.points.reserve(strips * size_t(strip_vertices));
    mesh.colors.reserve(strips * size_t(strip_vertices));
    size_t left = triangles;
    for (size_t s = 0; s < strips; ++s) {
        const int size = int(std::min(left, per_strip)) + 2;
        left -= size_t(size - 2);
        mesh.strip_sizes.push_back(size);
        const double x0 = double(s % strips_per_row) * strip_quads * quad_width;
        const double bottom = double(s / strips_per_row) * row_height;
        for (int v = 0; v < size; ++v) {
            const double x = x0 + (v / 2) * quad_width;
            const double y = v % 2 == 0 ? bottom + row_height : bottom;
            mesh.points.push_back({float(x), float(y), float(far_z * (0.25 + 0.5 * y / height))});
            mesh.colors.push_back(HT_Make_RGB32(uint8_t(255 * x / width), uint8_t(255 * y / height),
                                                uint8_t(s * 37 % 256)));
        }
    }
    return mesh;
}

}  // namespace bench
