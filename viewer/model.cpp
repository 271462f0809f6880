// Counting a model's vertices and triangles.
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
