// The synthetic mesh of the cost-against-work benchmarks: exactly the
// triangles asked for, in strips of the length asked for, tiling the window
// without overlap and in about square quads, so that a frame's cost grows
// with the triangles and not with the area drawn.
#include "bench/synthetic_mesh.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;
constexpr int DEPTH = 24;

double area(const HT_Point3D& a, const HT_Point3D& b, const HT_Point3D& c) {
    return std::fabs((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y)) / 2;
}

TEST(Synthetic_Mesh, HasTheTrianglesAndStripsAskedForInsideTheWindow) {
    for (int strip : {4, 16, 64}) {
        for (size_t triangles : {size_t(1), size_t(1000), size_t(12345)}) {
            SCOPED_TRACE(testing::Message() << triangles << " triangles in strips of " << strip);
            const bench::Synthetic_Mesh mesh = bench::make_synthetic_mesh(triangles, strip, WIDTH, HEIGHT, DEPTH);
            EXPECT_EQ(mesh.triangle_count(), triangles);
            size_t points = 0;
            for (size_t s = 0; s < mesh.strip_sizes.size(); ++s) {
                const int size = mesh.strip_sizes[s];
                if (s + 1 < mesh.strip_sizes.size()) {
                    EXPECT_EQ(size, strip);
                }
                EXPECT_GE(size, 3);
                EXPECT_LE(size, strip);
                points += size_t(size);
            }
            ASSERT_EQ(mesh.points.size(), points);
            ASSERT_EQ(mesh.colors.size(), points);
            for (const HT_Point3D& point : mesh.points) {
                EXPECT_TRUE(point.x >= 0 && point.x <= WIDTH && point.y >= 0 && point.y <= HEIGHT)
                    << point.x << ", " << point.y;
                EXPECT_TRUE(point.z >= 0 && point.z <= (1 << DEPTH) - 1) << point.z;
            }
        }
    }
}

// Each strip fills the rectangle around it, and the rectangles cover every
// pixel centre of the window once, but for the unfilled part of the last
// row: no strip lies over another, and the window is drawn all over.
TEST(Synthetic_Mesh, TilesTheWindowInAboutSquareQuads) {
    for (int strip : {4, 16, 64}) {
        SCOPED_TRACE(testing::Message() << "strips of " << strip);
        const bench::Synthetic_Mesh mesh = bench::make_synthetic_mesh(100000, strip, WIDTH, HEIGHT, DEPTH);
        std::vector<int> covered(size_t(WIDTH) * HEIGHT, 0);
        const HT_Point3D* points = mesh.points.data();
        for (int size : mesh.strip_sizes) {
            double filled = 0;
            float left = WIDTH, right = 0, bottom = HEIGHT, top = 0;
            for (int i = 0; i < size; ++i) {
                left = std::min(left, points[i].x);
                right = std::max(right, points[i].x);
                bottom = std::min(bottom, points[i].y);
                top = std::max(top, points[i].y);
                if (i + 2 < size) {
                    const double triangle = area(points[i], points[i + 1], points[i + 2]);
                    EXPECT_GT(triangle, 0);
                    filled += triangle;
                }
            }
            EXPECT_NEAR(filled, double(right - left) * (top - bottom), 1e-3 * filled);
            // The pixel centres x + 0.5 in [left, right), y + 0.5 in [bottom, top).
            for (int y = std::max(0, int(std::ceil(bottom - 0.5f))); y < HEIGHT && y + 0.5f < top; ++y)
                for (int x = std::max(0, int(std::ceil(left - 0.5f))); x < WIDTH && x + 0.5f < right; ++x)
                    ++covered[size_t(y) * WIDTH + size_t(x)];
            points += size;
        }
        const double row_height = mesh.points[0].y - mesh.points[1].y;
        size_t uncovered = 0;
        for (int count : covered) {
            EXPECT_LE(count, 1);
            uncovered += count == 0;
        }
        EXPECT_LE(double(uncovered), (row_height + 1) * WIDTH);
        const double quad_width = mesh.points[2].x - mesh.points[0].x;
        EXPECT_GT(quad_width / row_height, 0.5);
        EXPECT_LT(quad_width / row_height, 2.0);
    }
}

}  // namespace
