// A model as the viewer draws it: meshes of triangles, line segments and
// points in world space (node transforms applied), each with per-vertex
// normals and, where the file has them, vertex colours and texture
// coordinates, and the diffuse colour and texture of its material; and what
// the import had to warn about, and how many materials it used and textures
// it could not have. It knows nothing of cameras or devices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/types.h"

// Vertices placed in a model, counting each placement of a mesh: a small
// file that places one mesh many times must not fill the memory.
constexpr size_t MODEL_PLACED_VERTEX_LIMIT = size_t(32) << 20;

// The most warnings a model keeps: a few are shown, and more say no more.
constexpr size_t MODEL_WARNING_LIMIT = 64;

struct Model_Vector {
    float x;
    float y;
    float z;
};

// A decoded texture image in the host's layout: HT_RGB32 pixels, top row
// first.
struct Model_Texture {
    int width = 0;
    int height = 0;
    std::vector<HT_RGB32> pixels;
};

struct Model_Mesh {
    std::vector<Model_Vector> positions;
    std::vector<Model_Vector> normals;         // one per position
    std::vector<HT_RGB32> colors;              // empty, or one per position
    std::vector<float> texture_coordinates;    // empty, or s, t per position
    std::vector<uint32_t> triangles;           // three indices per triangle
    std::vector<uint32_t> lines;               // two indices per line segment
    std::vector<uint32_t> dots;                // vertices drawn as points
    HT_RGB32 diffuse = HT_Make_RGB32(200, 200, 200);
    int texture = -1;                          // index into Model::textures, or -1

    template <class Visit>
    void for_each_drawn_vertex(Visit visit) const {
        for (uint32_t index : triangles) visit(positions[index]);
        for (uint32_t index : lines) visit(positions[index]);
        for (uint32_t index : dots) visit(positions[index]);
    }
};

struct Model {
    std::vector<Model_Mesh> meshes;
    std::vector<Model_Texture> textures;
    Model_Vector center = {0, 0, 0};
    float radius = 0;  // of the bounding sphere around center
    // The file's materials that the drawn meshes use, each once.
    size_t materials = 0;
    // The textures those materials name that could not be had, each name
    // once; every one of them is also a warning, while warnings are kept.
    size_t textures_missing = 0;
    // What the importer warned about and what could not be had (a texture),
    // one line each; the model is drawn all the same.
    std::vector<std::string> warnings;
    size_t vertex_count() const;
    size_t triangle_count() const;
    size_t line_count() const;
    size_t dot_count() const;
};
