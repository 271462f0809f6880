// One draw call for all triangles (see triangle_array.h).
#include "bench/triangle_array.h"

#include "platform/gl.h"

namespace bench {

void Triangle_Array::add_strip(const HT_Point3D* points, const HT_RGB32* colors, int count) {
    for (int i = 0; i + 2 < count; ++i)
        for (int k = 0; k < 3; ++k) add(points[i + k], colors[i + k]);
}

void Triangle_Array::draw() const {
    if (vertices_.empty()) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &vertices_[0].x);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(Vertex), vertices_[0].rgba);
    glDrawArrays(GL_TRIANGLES, 0, GLsizei(vertices_.size()));
}

}  // namespace bench
