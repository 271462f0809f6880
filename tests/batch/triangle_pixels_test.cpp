// Polytriangles as the window shows them: the depth test between batches,
// strips longer than the batch, per-vertex colours under flat shading, and
// face patterns outside the stipple table.
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/device_fixture.h"
#include "tests/support/pixel_checks.h"

using namespace test_support;

namespace {

const HT_RGB32 RED_COLOR = HT_Make_RGB32(255, 0, 0);
const HT_RGB32 GREEN_COLOR = HT_Make_RGB32(0, 255, 0);
const HT_RGB32 BLUE_COLOR = HT_Make_RGB32(0, 0, 255);

class Triangle_Pixels : public testing::Test {
protected:
    void start(int width = 64, int height = 64) {
        Device_Settings settings;
        settings.width = width;
        settings.height = height;
        ASSERT_TRUE(driver.start(settings)) << driver.error();
    }
    void strip(const HT_Rendition& rendition, int count, const HT_Point3D* points) {
        driver.call(driver.actions().draw_dc_polytriangle, &rendition, count, points);
    }
    Running_Device driver;
};

TEST_F(Triangle_Pixels, ANearerTriangleHidesAFartherOneDrawnAfterIt) {
    start();
    const HT_Point3D near_square[4] = {{8, 8, 100}, {8, 56, 100}, {56, 8, 100}, {56, 56, 100}};
    const HT_Point3D far_square[4] = {{0, 0, 5000}, {0, 64, 5000}, {64, 0, 5000}, {64, 64, 5000}};
    strip(solid_rendition(RED_COLOR), 4, near_square);
    strip(solid_rendition(BLUE_COLOR), 4, far_square);
    const winx::Window_Snapshot shown = driver.show_and_capture();
    EXPECT_TRUE(looks_like(shown.at(32, 32), RED));
    EXPECT_TRUE(looks_like(shown.at(2, 2), BLUE));
}

// A band of 700 vertices: drawn in pieces of the batch's size that overlap
// by two vertices, it must cover the band without a gap.
TEST_F(Triangle_Pixels, AStripLongerThanTheBatchCoversItsWholeBand) {
    start(400, 32);
    std::vector<HT_Point3D> band;
    for (int i = 0; i < 700; ++i) band.push_back({float(i / 2) * 1.125f, i % 2 == 0 ? 8.0f : 24.0f, 10});
    strip(solid_rendition(GREEN_COLOR), int(band.size()), band.data());
    const winx::Window_Snapshot shown = driver.show_and_capture();
    for (int x = 0; x < 392; ++x) {
        EXPECT_TRUE(looks_like(shown.at(x, 12), GREEN)) << x;
        EXPECT_TRUE(looks_like(shown.at(x, 20), GREEN)) << x;
    }
    EXPECT_TRUE(looks_like(shown.at(394, 16), BLACK));
}

TEST_F(Triangle_Pixels, ColoursPerVertexColourEachTriangleByItsLastVertex) {
    start();
    const HT_Rendition rendition = solid_rendition(BLUE_COLOR);
    const HT_Point3D square[4] = {{0, 0, 10}, {0, 64, 10}, {64, 0, 10}, {64, 64, 10}};
    const HT_RGB32 colors[4] = {BLUE_COLOR, BLUE_COLOR, RED_COLOR, GREEN_COLOR};
    driver.call(driver.actions().draw_dc_colorized_polytriangle, &rendition, 4, square, colors,
                char(0));
    const winx::Window_Snapshot shown = driver.show_and_capture();
    EXPECT_TRUE(looks_like(shown.at(10, 10), RED));
    EXPECT_TRUE(looks_like(shown.at(54, 54), GREEN));
}

TEST_F(Triangle_Pixels, FacePatternsPastTheTableGoToTheHostRoutine) {
    start();
    const HT_Point3D square[4] = {{0, 0, 10}, {0, 32, 10}, {32, 0, 10}, {32, 32, 10}};
    HT_Rendition past_table = solid_rendition(RED_COLOR);
    for (int pattern : {-1, 74, 1 << 30}) {
        past_table.face.pattern = pattern;
        strip(past_table, 4, square);
    }
    const HT_Point3D other[4] = {{40, 40, 10}, {40, 60, 10}, {60, 40, 10}, {60, 60, 10}};
    strip(solid_rendition(BLUE_COLOR), 4, other);
    const winx::Window_Snapshot shown = driver.show_and_capture();
    EXPECT_TRUE(looks_like(shown.at(50, 50), BLUE));
}

}  // namespace
