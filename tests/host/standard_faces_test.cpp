// The standard polytriangle and rectangle routines: coverage with a fill
// rule that draws shared edges once, face patterns aligned to the window,
// and the colours and depths of the dots they send.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "host/standard.h"
#include "tests/support/recording_device.h"

namespace {

HT_Rendition user_pattern(uint32_t row) {
    HT_Rendition rendition;
    rendition.face.pattern = HT_USER_FACE_PATTERN;
    for (uint32_t& r : rendition.face.user_rows) r = row;
    return rendition;
}

int most_writes(const Recording_Device& device) {
    int most = 0;
    for (int y = 0; y < device.height(); ++y)
        for (int x = 0; x < device.width(); ++x) most = std::max(most, device.pixel(x, y).writes);
    return most;
}

}  // namespace

TEST(StandardFaces, CoverThePixelCentresInsideAndOnlyThePatternsBits) {
    // Corners off the pixel grid, so no centre lies on an edge and the plain
    // reference fill of the recording device must agree exactly.
    const HT_Point3D triangle[3] = {{3.13f, 2.21f, 0}, {50.77f, 10.42f, 0}, {20.31f, 40.93f, 0}};
    Recording_Device reference(64, 48);
    reference.fill_triangle(triangle[0], triangle[1], triangle[2], 1);

    Recording_Device solid(64, 48);
    HT_Rendition rendition;
    HD_Standard_Draw_DC_Polytriangle(&solid, &rendition, 3, triangle);
    EXPECT_GT(solid.lit_count(), 600);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(solid.lit(x, y), reference.lit(x, y)) << x << "," << y;
    EXPECT_EQ(solid.pixel(20, 20).color, rendition.color.color);

    // Alternating columns: bit 31 - x mod 32 is set for even x.
    Recording_Device columns(64, 48);
    rendition = user_pattern(0xAAAAAAAAu);
    HD_Standard_Draw_DC_Polytriangle(&columns, &rendition, 3, triangle);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(columns.lit(x, y), reference.lit(x, y) && x % 2 == 0) << x << "," << y;

    // The device's own 8 x 8 patterns, tiled from the window's origin.
    Recording_Device shaded(64, 48);
    rendition = HT_Rendition();
    rendition.face.pattern = 10;
    HD_Standard_Draw_DC_Polytriangle(&shaded, &rendition, 3, triangle);
    const uint8_t* bits = shaded.face_patterns[10];
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(shaded.lit(x, y), reference.lit(x, y) && ((bits[y % 8] >> (7 - x % 8)) & 1))
                << x << "," << y;
}

TEST(StandardFaces, SharedEdgesAreDrawnOnce) {
    // A square strip whose diagonal and sides run through pixel centres.
    Recording_Device square(32, 32);
    HT_Rendition rendition;
    const HT_Point3D quad[4] = {{0.5f, 0.5f, 0}, {0.5f, 20.5f, 0}, {20.5f, 0.5f, 0}, {20.5f, 20.5f, 0}};
    HD_Standard_Draw_DC_Polytriangle(&square, &rendition, 4, quad);
    EXPECT_EQ(square.lit_count(), 400);
    EXPECT_EQ(most_writes(square), 1);

    // A fan of separate calls around a centre on a pixel centre, spokes
    // through pixel centres in every direction.
    Recording_Device fan(40, 40);
    const HT_Point3D centre = {20.5f, 20.5f, 0};
    const HT_Point3D rim[8] = {{30.5f, 20.5f, 0}, {30.5f, 30.5f, 0}, {20.5f, 30.5f, 0}, {10.5f, 30.5f, 0},
                               {10.5f, 20.5f, 0}, {10.5f, 10.5f, 0}, {20.5f, 10.5f, 0}, {30.5f, 10.5f, 0}};
    for (int i = 0; i < 8; ++i) {
        const HT_Point3D triangle[3] = {centre, rim[i], rim[(i + 1) % 8]};
        HD_Standard_Draw_DC_Polytriangle(&fan, &rendition, 3, triangle);
    }
    EXPECT_EQ(fan.lit_count(), 400);
    EXPECT_EQ(most_writes(fan), 1);

    // A jittered mesh drawn as strips, row by row: no pixel twice, no holes.
    Recording_Device mesh(64, 64);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> jitter(-2.0f, 2.0f);
    HT_Point3D grid[9][9];
    for (int j = 0; j < 9; ++j)
        for (int i = 0; i < 9; ++i) {
            const bool border = i == 0 || j == 0 || i == 8 || j == 8;
            grid[j][i] = {4 + 7.0f * i + (border ? 0 : jitter(random)), 4 + 7.0f * j + (border ? 0 : jitter(random)), 0};
        }
    for (int j = 0; j < 8; ++j) {
        HT_Point3D strip[18];
        for (int i = 0; i < 9; ++i) {
            strip[2 * i] = grid[j][i];
            strip[2 * i + 1] = grid[j + 1][i];
        }
        HD_Standard_Draw_DC_Polytriangle(&mesh, &rendition, 18, strip);
    }
    EXPECT_EQ(most_writes(mesh), 1);
    EXPECT_EQ(mesh.lit_count(), 56 * 56);
}

TEST(StandardFaces, ColoursFollowTheFlatRuleOrAreInterpolatedWithDepth) {
    const HT_Point3D quad[4] = {{0, 0, 0}, {0, 10, 0}, {40, 0, 400}, {40, 10, 400}};
    const HT_RGB32 colors[4] = {HT_Make_RGB32(0, 0, 0), HT_Make_RGB32(0, 0, 0), HT_Make_RGB32(200, 0, 0),
                                HT_Make_RGB32(200, 0, 100)};
    HT_Rendition rendition = user_pattern(0xFFFFFFFFu);

    Recording_Device flat(48, 16);
    HD_Standard_Draw_DC_Colorized_Polytriangle(&flat, &rendition, 4, quad, colors, 0);
    EXPECT_EQ(flat.pixel(2, 2).color, colors[2]) << "first triangle: its last vertex";
    EXPECT_EQ(flat.pixel(37, 8).color, colors[3]) << "second triangle: its last vertex";

    Recording_Device single(48, 16);
    HD_Standard_Draw_DC_Colorized_Polytriangle(&single, &rendition, 4, quad, colors, 1);
    EXPECT_EQ(single.pixel(37, 8).color, colors[0]);

    Recording_Device smooth(48, 16);
    HD_Standard_Draw_DC_Gouraud_Polytriangle(&smooth, &rendition, 4, quad, colors);
    for (int x = 0; x < 40; ++x) {
        const Recording_Device::Pixel& p = smooth.pixel(x, 3);
        const double f = (x + 0.5) / 40;
        EXPECT_NEAR(HT_Red(p.color), 200 * f, 1.0) << x;
        EXPECT_EQ(HT_Alpha(p.color), 255);
        EXPECT_NEAR(p.z, 400 * f, 1e-3) << x;
    }
    EXPECT_LT(HT_Blue(smooth.pixel(38, 1).color), HT_Blue(smooth.pixel(38, 8).color));
}

TEST(StandardRectangle, DrawsThePatternsPixelsAtTheFarDepth) {
    Recording_Device device(64, 64);
    HT_Rendition rendition = user_pattern(0);
    rendition.color.color = HT_Make_RGB32(1, 2, 3);
    for (int r = 0; r < 32; ++r) rendition.face.user_rows[r] = r % 2 == 0 ? 0xAAAAAAAAu : 0x55555555u;
    HD_Standard_Draw_DC_Rectangle(&device, &rendition, 10, 41, 5, 20);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool inside = x >= 10 && x <= 41 && y >= 5 && y <= 20;
            ASSERT_EQ(device.lit(x, y), inside && (x + y) % 2 == 0) << x << "," << y;
        }
    EXPECT_EQ(device.pixel(10, 6).z, 16777215.0f);
    EXPECT_EQ(device.pixel(10, 6).color, rendition.color.color);

    // With a 16-bit depth range the far end is 65535: 16777215 would be
    // clipped away by the device.
    HT_Option_Value sixteen(HT_OPTION_TYPE_INTEGER, 1);
    sixteen.set_as_int(0, 16);
    device.option_tables[0].find("Buffer Depth")->set(sixteen);
    HD_Standard_Draw_DC_Rectangle(&device, &rendition, 10, 10, 6, 6);
    EXPECT_EQ(device.pixel(10, 6).z, 65535.0f);

    // One pixel, bounds given the wrong way round, and a rectangle mostly
    // outside the window.
    Recording_Device small(64, 64);
    rendition = user_pattern(0xFFFFFFFFu);
    HD_Standard_Draw_DC_Rectangle(&small, &rendition, 7, 7, 9, 9);
    EXPECT_EQ(small.lit_count(), 1);
    EXPECT_TRUE(small.lit(7, 9));
    // Reversed bounds cover what lies between the corners (left, bottom) and
    // (right + 1, top + 1), as the device's own rectangle does: columns 21
    // to 29 of row 39.
    HD_Standard_Draw_DC_Rectangle(&small, &rendition, 30, 20, 40, 38);
    EXPECT_EQ(small.lit_count(), 1 + 9);
    EXPECT_TRUE(small.lit(21, 39));
    EXPECT_TRUE(small.lit(29, 39));
    EXPECT_FALSE(small.lit(20, 39));
    EXPECT_FALSE(small.lit(30, 39));
    EXPECT_FALSE(small.lit(25, 38));
    EXPECT_FALSE(small.lit(25, 40));
    HD_Standard_Draw_DC_Rectangle(&small, &rendition, 21, 20, 0, 63);
    EXPECT_EQ(small.lit_count(), 1 + 9);
    HD_Standard_Draw_DC_Rectangle(&small, &rendition, -2000000000, 2000000000, 60, 2000000000);
    EXPECT_EQ(small.lit_count(), 1 + 9 + 64 * 4);
    EXPECT_EQ(small.outside, 0);
}
