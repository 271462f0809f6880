// Counting a model's vertices, triangles, line segments and dots.
#include "viewer/model.h"

size_t Model::vertex_count() const {
    size_t count = 0;
    for (const Model_Mesh& mesh : meshes) count += mesh.positions.size();
    return count;
}

size_t Model::triangle_count() const {
    size_t count = 0;
    for (const Model_Mesh& mesh : meshes) count += mesh.triangles.size() / 3;
    return count;
}

size_t Model::line_count() const {
    size_t count = 0;
    for (const Model_Mesh& mesh : meshes) count += mesh.lines.size() / 2;
    return count;
}

size_t Model::dot_count() const {
    size_t count = 0;
    for (const Model_Mesh& mesh : meshes) count += mesh.dots.size();
    return count;
}
