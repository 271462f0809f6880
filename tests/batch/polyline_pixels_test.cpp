// Polylines as the window shows them: colours of consecutive batches,
// stipples, line widths, per-vertex colours, polylines longer than the batch,
// the depth given to polyline vertices outside the depth range, and input
// that cannot be drawn.
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/device_fixture.h"
#include "tests/support/pixel_checks.h"

using namespace test_support;

namespace {

const HT_RGB32 RED_COLOR = HT_Make_RGB32(255, 0, 0);
const HT_RGB32 GREEN_COLOR = HT_Make_RGB32(0, 255, 0);
const HT_RGB32 BLUE_COLOR = HT_Make_RGB32(0, 0, 255);

class Polyline_Pixels : public testing::Test {
protected:
    void start(int width = 64, int height = 64, int buffer_depth = 24) {
        Device_Settings settings;
        settings.width = width;
        settings.height = height;
        settings.buffer_depth = buffer_depth;
        ASSERT_TRUE(driver.start(settings)) << driver.error();
    }
    // A horizontal line over the pixel row y, covering columns x0 to x1 - 1.
    void row_line(const HT_Rendition& rendition, int y, int x0, int x1, float z = 100) {
        const HT_Point3D points[2] = {{x0 + 0.5f, y + 0.5f, z}, {x1 + 0.5f, y + 0.5f, z}};
        polyline(rendition, 2, points);
    }
    void polyline(const HT_Rendition& rendition, int count, const HT_Point3D* points) {
        driver.call(driver.actions().draw_dc_polyline, &rendition, count, points);
    }
    Running_Device driver;
};

TEST_F(Polyline_Pixels, AlternatingColoursEachKeepTheirOwn) {
    start();
    const HT_Rendition red = solid_rendition(RED_COLOR);
    const HT_Rendition blue = solid_rendition(BLUE_COLOR);
    row_line(red, 10, 5, 50);
    row_line(blue, 20, 5, 50);
    row_line(red, 30, 5, 50);
    row_line(blue, 40, 5, 50);
    const winx::Window_Snapshot shown = driver.show_and_capture();
    for (int x = 5; x < 50; ++x) {
        EXPECT_TRUE(looks_like(shown.at(x, 10), RED)) << x;
        EXPECT_TRUE(looks_like(shown.at(x, 20), BLUE)) << x;
        EXPECT_TRUE(looks_like(shown.at(x, 30), RED)) << x;
        EXPECT_TRUE(looks_like(shown.at(x, 40), BLUE)) << x;
    }
}

TEST_F(Polyline_Pixels, LinePatternThreeLightsTheStipplePixels) {
    start();
    HT_Rendition stippled = solid_rendition(RED_COLOR);
    stippled.line.pattern = 3;
    row_line(stippled, 12, 0, 60);
    const winx::Window_Snapshot shown = driver.show_and_capture();
    // glLineStipple(2, 0x31FF): each bit covers two pixels, lowest bit first;
    // nothing else in the window is lit.
    int stipple_pixels = 0;
    for (int x = 0; x < 60; ++x) {
        const bool on = (0x31FF >> ((x / 2) % 16)) & 1;
        stipple_pixels += on;
        EXPECT_EQ(on, looks_like(shown.at(x, 12), RED)) << "column " << x;
    }
    EXPECT_EQ(lit_pixel_count(shown), stipple_pixels);
}

TEST_F(Polyline_Pixels, WeightZeroAfterAWideLineIsOnePixelWide) {
    start();
    HT_Rendition wide = solid_rendition(RED_COLOR);
    wide.line.weight = 3;
    HT_Rendition thin = solid_rendition(BLUE_COLOR);
    thin.line.weight = 0;
    row_line(wide, 10, 5, 50);
    row_line(thin, 40, 5, 50);
    const winx::Window_Snapshot shown = driver.show_and_capture();
    for (int y : {9, 10, 11}) EXPECT_TRUE(looks_like(shown.at(20, y), RED)) << y;
    EXPECT_TRUE(looks_like(shown.at(20, 40), BLUE));
    EXPECT_TRUE(looks_like(shown.at(20, 39), BLACK));
    EXPECT_TRUE(looks_like(shown.at(20, 41), BLACK));
}

TEST_F(Polyline_Pixels, ColoursPerVertexColourEachSegmentByItsLastVertex) {
    start();
    const HT_Rendition rendition = solid_rendition(BLUE_COLOR);
    const HT_Point3D points[3] = {{4.5f, 20.5f, 10}, {30.5f, 20.5f, 10}, {60.5f, 20.5f, 10}};
    const HT_RGB32 colors[3] = {BLUE_COLOR, RED_COLOR, GREEN_COLOR};
    driver.call(driver.actions().draw_dc_colorized_polyline, &rendition, 3, points, colors, char(0));
    const winx::Window_Snapshot shown = driver.show_and_capture();
    EXPECT_TRUE(looks_like(shown.at(10, 20), RED));
    EXPECT_TRUE(looks_like(shown.at(50, 20), GREEN));
}

TEST_F(Polyline_Pixels, OneColourFlagDrawsInTheFirstColour) {
    start();
    const HT_Rendition rendition = solid_rendition(BLUE_COLOR);
    const HT_Point3D points[3] = {{4.5f, 20.5f, 10}, {30.5f, 20.5f, 10}, {60.5f, 20.5f, 10}};
    const HT_RGB32 colors[3] = {GREEN_COLOR, RED_COLOR, BLUE_COLOR};
    driver.call(driver.actions().draw_dc_colorized_polyline, &rendition, 3, points, colors, char(1));
    const winx::Window_Snapshot shown = driver.show_and_capture();
    EXPECT_TRUE(looks_like(shown.at(10, 20), GREEN));
    EXPECT_TRUE(looks_like(shown.at(50, 20), GREEN));
}

// A serpentine of ten rows of 100 vertices: the batch holds 300 vertices, so
// the polyline is drawn in pieces, which must join without a gap.
TEST_F(Polyline_Pixels, AThousandVertexPolylineIsDrawnEndToEnd) {
    start(128, 64);
    std::vector<HT_Point3D> points;
    for (int row = 0; row < 10; ++row) {
        for (int k = 0; k < 100; ++k) {
            const int column = row % 2 == 0 ? k : 99 - k;
            points.push_back({10.5f + column, 5.5f + 4 * row, 50});
        }
    }
    polyline(solid_rendition(RED_COLOR), int(points.size()), points.data());
    const winx::Window_Snapshot shown = driver.show_and_capture();
    for (int row = 0; row < 10; ++row) {
        for (int x = 11; x < 109; ++x)
            EXPECT_TRUE(looks_like(shown.at(x, 5 + 4 * row), RED)) << "row " << row << " x " << x;
        if (row == 9) continue;
        const int joiner_x = row % 2 == 0 ? 109 : 10;
        for (int y = 6 + 4 * row; y < 9 + 4 * row; ++y)
            EXPECT_TRUE(looks_like(shown.at(joiner_x, y), RED)) << "joiner after row " << row;
    }
}

// Each state key compares the shade model as well as the colour: after a
// smooth primitive, one too short to be drawn included, a flat primitive of
// the colour the key last held flat is drawn in that colour, whichever kinds
// the two are.
TEST_F(Polyline_Pixels, FlatPrimitiveAfterASmoothOneKeepsItsColour) {
    start();
    const HT_Rendition red = solid_rendition(RED_COLOR);
    const HT_Rendition green = solid_rendition(GREEN_COLOR);
    const HT_RGB32 greens[3] = {GREEN_COLOR, GREEN_COLOR, GREEN_COLOR};
    auto& actions = driver.actions();
    // Each flat primitive covers the pixel (x, y) and nothing above y + 3.
    auto flat = [&](int kind, int x, int y) {
        const HT_Point3D dot = {x + 0.5f, y + 0.5f, 10};
        const HT_Point3D line[2] = {{x - 0.5f, y + 0.5f, 10}, {x + 1.5f, y + 0.5f, 10}};
        const HT_Point3D strip[3] = {{x - 1.0f, y - 1.0f, 10}, {x + 3.0f, y - 1.0f, 10}, {x - 1.0f, y + 3.0f, 10}};
        if (kind == 0) driver.call(actions.draw_dc_dot, &red, &dot);
        if (kind == 1) driver.call(actions.draw_dc_polyline, &red, 2, line);
        if (kind == 2) driver.call(actions.draw_dc_polytriangle, &red, 3, strip);
    };
    // Each smooth primitive is green and lies far from the flat ones.
    auto smooth = [&](int kind, int x) {
        const HT_Point3D line[2] = {{x + 0.5f, 60.5f, 10}, {x + 2.5f, 60.5f, 10}};
        const HT_Point3D strip[3] = {{float(x), 58, 10}, {x + 3.0f, 58, 10}, {float(x), 61, 10}};
        if (kind == 0) driver.call(actions.draw_dc_gouraud_polyline, &green, 1, line, greens);
        if (kind == 1) driver.call(actions.draw_dc_gouraud_polyline, &green, 2, line, greens);
        if (kind == 2) driver.call(actions.draw_dc_gouraud_polytriangle, &green, 3, strip, greens);
    };
    for (int first = 0; first < 3; ++first)
        for (int between = 0; between < 3; ++between)
            for (int second = 0; second < 3; ++second) {
                const int x = 2 + 7 * (first * 3 + between);
                const int y = 4 + 6 * second;
                flat(first, x, y + 20);
                smooth(between, x);
                flat(second, x, y);
            }
    const winx::Window_Snapshot shown = driver.show_and_capture();
    for (int first = 0; first < 3; ++first)
        for (int between = 0; between < 3; ++between)
            for (int second = 0; second < 3; ++second) {
                const int x = 2 + 7 * (first * 3 + between);
                EXPECT_TRUE(looks_like(shown.at(x, 4 + 6 * second), RED))
                    << "flat kind " << first << ", smooth kind " << between << ", flat kind " << second;
            }
}

// Over a triangle at device z 1000, polyline vertices whose z lies outside
// the depth range (here 16 bits) are drawn at the front instead of clipped.
TEST_F(Polyline_Pixels, OutOfRangeDepthsAreDrawnInFront) {
    start(64, 64, 16);
    const HT_Rendition backdrop = solid_rendition(BLUE_COLOR);
    const HT_Point3D strip[4] = {{0, 0, 1000}, {0, 64, 1000}, {64, 0, 1000}, {64, 64, 1000}};
    driver.call(driver.actions().draw_dc_polytriangle, &backdrop, 4, strip);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const HT_Rendition red = solid_rendition(RED_COLOR);
    row_line(red, 10, 5, 50, 70000.0f);
    row_line(red, 20, 5, 50, -5.0f);
    row_line(red, 30, 5, 50, nan);
    row_line(red, 40, 5, 50, 1e-8f);
    const winx::Window_Snapshot shown = driver.show_and_capture();
    for (int y : {10, 20, 30, 40}) EXPECT_TRUE(looks_like(shown.at(25, y), RED)) << y;
    EXPECT_TRUE(looks_like(shown.at(25, 50), BLUE));
}

TEST_F(Polyline_Pixels, UndrawableInputLeavesTheRestOfTheFrame) {
    start();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const HT_Rendition red = solid_rendition(RED_COLOR);
    row_line(red, 10, 5, 50);
    const HT_Point3D bad_x[3] = {{5, 30, 10}, {nan, 31, 10}, {50, 30, 10}};
    const HT_Point3D bad_y[2] = {{5, inf, 10}, {50, 31, 10}};
    const HT_Point3D bad_triangle[3] = {{0, 0, nan}, {-inf, 64, 10}, {64, 0, inf}};
    polyline(red, 3, bad_x);
    polyline(red, 2, bad_y);
    polyline(red, 0, bad_x);
    polyline(red, -7, bad_x);
    polyline(red, 5, nullptr);
    driver.call(driver.actions().draw_dc_polytriangle, &red, 3, bad_triangle);
    driver.call(driver.actions().draw_dc_dot, &red, &bad_x[1]);
    HT_Rendition past_tables = solid_rendition(BLUE_COLOR);
    past_tables.line.pattern = 1000000;
    row_line(past_tables, 40, 5, 50);
    past_tables.line.pattern = -3;
    row_line(past_tables, 40, 5, 50);
    row_line(solid_rendition(BLUE_COLOR), 50, 5, 50);
    const winx::Window_Snapshot shown = driver.show_and_capture();
    for (int x = 5; x < 50; ++x) {
        EXPECT_TRUE(looks_like(shown.at(x, 10), RED)) << x;
        EXPECT_TRUE(looks_like(shown.at(x, 50), BLUE)) << x;
    }
    for (int y : {20, 30, 31}) EXPECT_TRUE(looks_like(shown.at(25, y), BLACK)) << y;
}

}  // namespace
