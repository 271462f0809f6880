// Rectangles as the window shows them: inclusive bounds, order against the
// queued batch, user face patterns drawn by the host's routine on the render
// thread, the far depth at every buffer depth, and bounds that enclose
// nothing.
#include <climits>

#include <gtest/gtest.h>

#include "tests/support/device_fixture.h"
#include "tests/support/pixel_checks.h"

using namespace test_support;

namespace {

const HT_RGB32 RED_COLOR = HT_Make_RGB32(255, 0, 0);
const HT_RGB32 BLUE_COLOR = HT_Make_RGB32(0, 0, 255);
const HT_RGB32 GREEN_COLOR = HT_Make_RGB32(0, 255, 0);

class Rectangle_Pixels : public testing::Test {
protected:
    void start(int buffer_depth = 24) {
        Device_Settings settings;
        settings.buffer_depth = buffer_depth;
        ASSERT_TRUE(driver.start(settings)) << driver.error();
    }
    void rectangle(const HT_Rendition& rendition, int left, int right, int bottom, int top) {
        driver.call(driver.actions().draw_dc_rectangle, &rendition, left, right, bottom, top);
    }
    Running_Device driver;
};

TEST_F(Rectangle_Pixels, EqualBoundsFillExactlyOnePixel) {
    start();
    rectangle(solid_rendition(RED_COLOR), 17, 17, 23, 23);
    const winx::Window_Snapshot shown = driver.show_and_capture();
    EXPECT_TRUE(looks_like(shown.at(17, 23), RED));
    EXPECT_EQ(lit_pixel_count(shown), 1);
}

TEST_F(Rectangle_Pixels, CoversPolylinesQueuedBeforeIt) {
    start();
    const HT_Rendition blue = solid_rendition(BLUE_COLOR);
    const HT_Point3D line[2] = {{0.5f, 20.5f, 0}, {63.5f, 20.5f, 0}};
    driver.call(driver.actions().draw_dc_polyline, &blue, 2, line);
    rectangle(solid_rendition(RED_COLOR), 10, 29, 10, 29);
    const winx::Window_Snapshot shown = driver.show_and_capture();
    EXPECT_TRUE(looks_like(shown.at(20, 20), RED));
    EXPECT_TRUE(looks_like(shown.at(40, 20), BLUE));
    EXPECT_TRUE(looks_like(shown.at(5, 20), BLUE));
}

// The rectangle lies at the far end of the depth range whatever the buffer
// depth: it shows, and a polyline at the farthest device z drawn after it
// still passes the depth test over it.
TEST_F(Rectangle_Pixels, LiesAtTheFarEndWithSixteenBitDepth) {
    start(16);
    rectangle(solid_rendition(RED_COLOR), 0, 63, 0, 63);
    const HT_Rendition blue = solid_rendition(BLUE_COLOR);
    const HT_Point3D line[2] = {{0.5f, 40.5f, 65535}, {63.5f, 40.5f, 65535}};
    driver.call(driver.actions().draw_dc_polyline, &blue, 2, line);
    const winx::Window_Snapshot shown = driver.show_and_capture();
    EXPECT_TRUE(looks_like(shown.at(30, 30), RED));
    EXPECT_TRUE(looks_like(shown.at(30, 40), BLUE));
}

TEST_F(Rectangle_Pixels, UserFacePatternIsDrawnByTheHostRoutine) {
    start();
    HT_Rendition patterned = solid_rendition(RED_COLOR);
    patterned.face.pattern = HT_USER_FACE_PATTERN;
    for (int r = 0; r < 32; ++r) patterned.face.user_rows[r] = r % 2 == 0 ? 0xFFFFFFFFu : 0;
    rectangle(patterned, 4, 40, 4, 40);
    // Drawn after the patterned rectangle, so the command must have finished.
    rectangle(solid_rendition(BLUE_COLOR), 50, 55, 50, 55);
    const winx::Window_Snapshot shown = driver.show_and_capture();
    for (int y = 4; y <= 40; ++y)
        EXPECT_EQ(looks_like(shown.at(20, y), RED), y % 32 % 2 == 0) << y;
    EXPECT_TRUE(looks_like(shown.at(52, 52), BLUE));
}

// Like the rectangle's own triangles, the host routine's pixels overwrite
// what lies nearer, and leave the far depth behind them.
TEST_F(Rectangle_Pixels, UserFacePatternOverwritesNearerDrawing) {
    start(16);
    const HT_Point3D near_square[4] = {{0, 0, 10}, {0, 64, 10}, {64, 0, 10}, {64, 64, 10}};
    const HT_Rendition blue = solid_rendition(BLUE_COLOR);
    driver.call(driver.actions().draw_dc_polytriangle, &blue, 4, near_square);
    HT_Rendition patterned = solid_rendition(RED_COLOR);
    patterned.face.pattern = HT_USER_FACE_PATTERN;
    for (int r = 0; r < 32; ++r) patterned.face.user_rows[r] = 0xFFFFFFFFu;
    rectangle(patterned, 10, 20, 10, 20);
    // A square at mid depth shows where the rectangle left the far depth.
    const HT_Point3D middle_square[4] = {{0, 0, 30000}, {0, 64, 30000}, {64, 0, 30000}, {64, 64, 30000}};
    const HT_Rendition green = solid_rendition(GREEN_COLOR);
    driver.call(driver.actions().draw_dc_polytriangle, &green, 4, middle_square);
    const winx::Window_Snapshot shown = driver.show_and_capture();
    EXPECT_TRUE(looks_like(shown.at(15, 15), GREEN));
    EXPECT_TRUE(looks_like(shown.at(30, 30), BLUE));
}

TEST_F(Rectangle_Pixels, BoundsThatEncloseNothingFillNothing) {
    start();
    const HT_Rendition red = solid_rendition(RED_COLOR);
    // left = right + 1: the corners share their x.
    rectangle(red, 30, 29, 5, 20);
    rectangle(red, 5, 20, 30, 29);
    rectangle(red, INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    rectangle(red, 100, 200, 100, 200);
    rectangle(solid_rendition(BLUE_COLOR), INT_MIN, INT_MAX, 60, 60);
    const winx::Window_Snapshot shown = driver.show_and_capture();
    EXPECT_EQ(lit_pixel_count(shown), 64);
    EXPECT_TRUE(looks_like(shown.at(0, 60), BLUE));
    EXPECT_TRUE(looks_like(shown.at(63, 60), BLUE));
}

// Bounds given the wrong way round fill what lies between the corners (left,
// bottom) and (right + 1, top + 1): for 30, 10, 5, 20 the columns 11 to 29 of
// rows 5 to 20. The host's routine for face pattern 73 fills the same pixels,
// so every face pattern gives one answer.
TEST_F(Rectangle_Pixels, ReversedBoundsFillWhatLiesBetweenTheCornersOnBothPaths) {
    HT_Rendition solid = solid_rendition(RED_COLOR);
    HT_Rendition user = solid;
    user.face.pattern = 73;
    for (uint32_t& row : user.face.user_rows) row = 0xFFFFFFFFu;
    for (const HT_Rendition* rendition : {&solid, &user}) {
        SCOPED_TRACE(rendition->face.pattern);
        start();
        rectangle(*rendition, 30, 10, 5, 20);
        rectangle(*rendition, 40, 50, 40, 30);
        const winx::Window_Snapshot shown = driver.show_and_capture();
        EXPECT_EQ(lit_pixel_count(shown), 19 * 16 + 11 * 9);
        EXPECT_TRUE(looks_like(shown.at(11, 5), RED));
        EXPECT_TRUE(looks_like(shown.at(29, 20), RED));
        EXPECT_TRUE(looks_like(shown.at(10, 12), BLACK));
        EXPECT_TRUE(looks_like(shown.at(30, 12), BLACK));
        EXPECT_TRUE(looks_like(shown.at(20, 21), BLACK));
        EXPECT_TRUE(looks_like(shown.at(40, 31), RED));
        EXPECT_TRUE(looks_like(shown.at(50, 39), RED));
        EXPECT_TRUE(looks_like(shown.at(45, 30), BLACK));
        EXPECT_TRUE(looks_like(shown.at(45, 40), BLACK));
        driver.stop();
    }
}

}  // namespace
