// Normals made for the corners that have none that can light them: a
// flat-faced solid keeps its hard edges, a gentle fold is smoothed, the
// file's good normals stay as they were, and lines and points are left alone.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <tuple>

#include "viewer/model_normals.h"

namespace {

// The unit cube as an OFF file gives it: eight shared corners, six faces of
// two triangles, no normals.
Model_Mesh shared_cube() {
    Model_Mesh mesh;
    for (int i = 0; i < 8; ++i) mesh.positions.push_back({float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1)});
    mesh.normals.assign(8, Model_Vector{0, 0, 0});
    const uint32_t faces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    for (const auto& f : faces) mesh.triangles.insert(mesh.triangles.end(), {f[0], f[1], f[2], f[0], f[2], f[3]});
    return mesh;
}

bool unit(const Model_Vector& n) { return std::fabs(std::hypot(n.x, n.y, n.z) - 1.0) < 1e-5; }

TEST(Model_Normals, EachFaceOfASolidWithoutNormalsKeepsItsOwnNormal) {
    Model_Mesh mesh = shared_cube();
    repair_normals(&mesh);
    // Every corner of a face has the face's axis as its normal, so the
    // eight shared corners became 24, each with a position it had before.
    EXPECT_EQ(mesh.positions.size(), 24u);
    ASSERT_EQ(mesh.normals.size(), mesh.positions.size());
    for (size_t t = 0; t < mesh.triangles.size(); t += 3) {
        const Model_Vector& a = mesh.positions[mesh.triangles[t]];
        const Model_Vector& b = mesh.positions[mesh.triangles[t + 1]];
        const Model_Vector& c = mesh.positions[mesh.triangles[t + 2]];
        // The axis along which the triangle's corners agree.
        const Model_Vector flat = {float(a.x == b.x && b.x == c.x), float(a.y == b.y && b.y == c.y),
                                   float(a.z == b.z && b.z == c.z)};
        for (int k = 0; k < 3; ++k) {
            const Model_Vector& n = mesh.normals[mesh.triangles[t + size_t(k)]];
            EXPECT_TRUE(unit(n));
            EXPECT_NEAR(std::fabs(n.x), flat.x, 1e-6);
            EXPECT_NEAR(std::fabs(n.y), flat.y, 1e-6);
            EXPECT_NEAR(std::fabs(n.z), flat.z, 1e-6);
        }
    }
}

// Two triangles folded by 30 degrees along a shared edge, as an STL file
// writes them (each with its own corners) with zero normals.
Model_Mesh folded_pair(float lift) {
    Model_Mesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, lift}, {0, 1, 0}};
    mesh.normals.assign(6, Model_Vector{0, 0, 0});
    mesh.triangles = {0, 1, 2, 3, 4, 5};
    return mesh;
}

TEST(Model_Normals, AGentleFoldIsSmoothedAcrossRepeatedCornersAndASharpOneIsNot) {
    Model_Mesh gentle = folded_pair(float(std::tan(30.0 * M_PI / 180.0) * std::sqrt(0.5)));
    repair_normals(&gentle);
    EXPECT_EQ(gentle.positions.size(), 6u);
    // The shared edge's corners, in either triangle, face the same way.
    EXPECT_EQ(std::make_tuple(gentle.normals[1].x, gentle.normals[1].y, gentle.normals[1].z),
              std::make_tuple(gentle.normals[3].x, gentle.normals[3].y, gentle.normals[3].z));
    EXPECT_NE(gentle.normals[0].x, gentle.normals[4].x) << "the far corners keep their own faces' normals";
    for (const Model_Vector& n : gentle.normals) EXPECT_TRUE(unit(n));

    Model_Mesh sharp = folded_pair(-10.0f);
    repair_normals(&sharp);
    EXPECT_NE(sharp.normals[1].z, sharp.normals[3].z) << "a fold of more than 80 degrees stays an edge";
}

TEST(Model_Normals, GoodNormalsStayAndBadOnesAreMade) {
    Model_Mesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}, {6, 6, 6}};
    // Not of unit length, yet good: kept as the file gave it.
    mesh.normals = {{0, 0, 2}, {0, 0, 0}, {NAN, 0, 1}, {0, 0, 0}, {0, 0, 0}};
    mesh.colors = {1, 2, 3, 4, 5};
    mesh.triangles = {0, 1, 2};
    mesh.lines = {3, 4};
    repair_normals(&mesh);
    EXPECT_EQ(mesh.normals[0].z, 2.0f);
    for (int v : {1, 2}) {
        EXPECT_EQ(mesh.normals[size_t(v)].x, 0.0f);
        EXPECT_EQ(mesh.normals[size_t(v)].y, 0.0f);
        EXPECT_EQ(mesh.normals[size_t(v)].z, 1.0f);
    }
    // A line's vertices are drawn unlit, without a normal.
    EXPECT_EQ(mesh.normals[3].z, 0.0f);
    EXPECT_EQ(mesh.positions.size(), 5u);
    EXPECT_EQ(mesh.colors.size(), 5u);
}

// A fan of very many triangles around one corner: smoothed all at once
// rather than pair by pair, and every corner lit.
TEST(Model_Normals, ACrowdedCornerIsSmoothedOverAllItsTriangles) {
    Model_Mesh mesh;
    mesh.positions.push_back({0, 0, 0});
    const int spokes = 5000;
    for (int i = 0; i <= spokes; ++i) {
        const double angle = M_PI * i / spokes;
        mesh.positions.push_back({float(std::cos(angle)), float(std::sin(angle)), 0});
    }
    for (int i = 0; i < spokes; ++i) mesh.triangles.insert(mesh.triangles.end(), {0, uint32_t(i + 1), uint32_t(i + 2)});
    mesh.normals.assign(mesh.positions.size(), Model_Vector{0, 0, 0});
    repair_normals(&mesh);
    EXPECT_EQ(mesh.positions.size(), size_t(spokes) + 2);
    for (const Model_Vector& n : mesh.normals) EXPECT_TRUE(unit(n) && std::fabs(n.z) > 0.999f);
}

}  // namespace
