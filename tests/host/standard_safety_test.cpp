// Bad input to the standard routines: missing arrays, counts, renderers and
// actions, non-finite and enormous coordinates. Each returns promptly and
// draws nothing outside the window.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "host/standard.h"
#include "tests/support/recording_device.h"

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();
const float INF = std::numeric_limits<float>::infinity();

// Calls all eight routines with the same points.
void draw_all(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count, const HT_Point3D* points,
              const HT_RGB32* colors, const HT_Parameter* parameters, const float* inverse_w) {
    HD_Standard_Draw_DC_Polyline(renderer, rendition, count, points);
    HD_Standard_Draw_DC_Colorized_Polyline(renderer, rendition, count, points, colors, 0);
    HD_Standard_Draw_DC_Gouraud_Polyline(renderer, rendition, count, points, colors);
    HD_Standard_Draw_DC_Polytriangle(renderer, rendition, count, points);
    HD_Standard_Draw_DC_Colorized_Polytriangle(renderer, rendition, count, points, colors, 1);
    HD_Standard_Draw_DC_Gouraud_Polytriangle(renderer, rendition, count, points, colors);
    HD_Standard_Draw_DC_Textured_Polytriangle(renderer, rendition, count, points, colors, parameters, inverse_w);
}

HT_Rendition everything_in_software() {
    HT_Rendition rendition;
    rendition.line.pattern = HT_USER_LINE_PATTERN;
    rendition.line.dashes = {1, 1};
    rendition.line.weight = 3;
    rendition.line.cap_style = HT_CAP_ROUND;
    rendition.line.join_style = HT_JOIN_ROUND;
    rendition.face.pattern = HT_USER_FACE_PATTERN;
    for (uint32_t& row : rendition.face.user_rows) row = 0xFFFFFFFFu;
    rendition.surface.texture_interpolation = HT_TEXTURE_PERSPECTIVE;
    return rendition;
}

}  // namespace

TEST(StandardSafety, MissingArraysCountsRenderersAndActionsDrawNothing) {
    Recording_Device device(32, 32);
    const HT_Rendition rendition = everything_in_software();
    const HT_Point3D points[4] = {{1, 1, 0}, {1, 30, 0}, {30, 1, 0}, {30, 30, 0}};
    const HT_RGB32 colors[4] = {};
    const HT_Parameter parameters[4] = {};
    const float inverse_w[4] = {1, 1, 1, 1};
    for (int count : {INT_MIN, -5, 0, 1}) draw_all(&device, &rendition, count, points, colors, parameters, inverse_w);
    draw_all(&device, &rendition, 4, nullptr, colors, parameters, inverse_w);
    draw_all(&device, nullptr, 4, points, colors, parameters, inverse_w);
    HD_Standard_Draw_DC_Colorized_Polyline(&device, &rendition, 4, points, nullptr, 1);
    HD_Standard_Draw_DC_Gouraud_Polytriangle(&device, &rendition, 4, points, nullptr);
    HD_Standard_Draw_DC_Textured_Polytriangle(&device, &rendition, 4, points, colors, nullptr, inverse_w);
    HD_Standard_Draw_DC_Rectangle(&device, nullptr, 0, 10, 0, 10);
    EXPECT_TRUE(device.calls.empty());
    EXPECT_EQ(device.dots, 0);

    // A renderer that is no device, none at all, and a device without actions.
    HT_Renderer_Data plain;
    draw_all(&plain, &rendition, 4, points, colors, parameters, inverse_w);
    HD_Standard_Draw_DC_Rectangle(&plain, &rendition, 0, 10, 0, 10);
    draw_all(nullptr, &rendition, 4, points, colors, parameters, inverse_w);
    HD_Standard_Draw_DC_Rectangle(nullptr, &rendition, 0, 10, 0, 10);
    HT_Device_Data bare;
    draw_all(&bare, &rendition, 4, points, colors, parameters, inverse_w);
    HD_Standard_Draw_DC_Rectangle(&bare, &rendition, 0, 10, 0, 10);
}

TEST(StandardSafety, NonFiniteVerticesLeaveOutOnlyWhatTouchesThem) {
    Recording_Device device(32, 32);
    HT_Rendition rendition = everything_in_software();
    rendition.line.weight = 1;
    // The third triangle of the strip and the last segment touch the NaN.
    const HT_Point3D points[5] = {{1, 1, 0}, {1, 10, 0}, {10, 1, 0}, {10, 10, 0}, {NaN, 20, 0}};
    HD_Standard_Draw_DC_Polytriangle(&device, &rendition, 5, points);
    EXPECT_EQ(device.lit_count(), 81);
    EXPECT_EQ(device.outside, 0);

    Recording_Device lines(32, 32);
    rendition.line.dashes = {100};
    const HT_Point3D broken[5] = {{1.5f, 3.5f, 0}, {20.5f, 3.5f, 0}, {5, INF, 0}, {1.5f, 8.5f, 0}, {20.5f, 8.5f, NaN}};
    HD_Standard_Draw_DC_Polyline(&lines, &rendition, 5, broken);
    ASSERT_EQ(lines.calls.size(), 1u);
    EXPECT_EQ(lines.calls[0].points.size(), 2u);
    EXPECT_EQ(lines.lit_count(), 19);

    // Non-finite texture coordinates and 1/w: drawn, inside the window.
    Recording_Device textured(32, 32);
    const HT_Point3D quad[4] = {{1, 1, 0}, {1, 10, 0}, {10, 1, 0}, {10, 10, 0}};
    const HT_RGB32 colors[4] = {};
    const HT_Parameter parameters[4] = {{NaN, INF, 0}, {-INF, NaN, 0}, {1e30f, -1e30f, 0}, {0, 0, 0}};
    const float inverse_w[4] = {NaN, INF, -1, 0};
    HD_Standard_Draw_DC_Textured_Polytriangle(&textured, &rendition, 4, quad, colors, parameters, inverse_w);
    EXPECT_EQ(textured.lit_count(), 81);
}

TEST(StandardSafety, HugeCoordinatesAreClippedToTheWindow) {
    Recording_Device device(64, 64);
    const HT_Rendition rendition = everything_in_software();
    const HT_Point3D huge[4] = {{-1e30f, -1e30f, 0}, {-1e30f, 1e30f, 0}, {1e30f, -1e30f, 0}, {1e30f, 1e30f, 0}};
    const HT_RGB32 colors[4] = {};
    const HT_Parameter parameters[4] = {};
    const float inverse_w[4] = {1, 1, 1, 1};
    draw_all(&device, &rendition, 4, huge, colors, parameters, inverse_w);
    HD_Standard_Draw_DC_Rectangle(&device, &rendition, INT_MIN, INT_MAX, INT_MIN, INT_MAX);
    EXPECT_EQ(device.outside, 0);
    EXPECT_EQ(device.lit_count(), 64 * 64);

    // A dashed line across the whole float range: only the part near the
    // window is cut into dashes.
    Recording_Device dashes(64, 64);
    HT_Rendition thin = rendition;
    thin.line.weight = 0;
    const HT_Point3D across[2] = {{-3e38f, 5.5f, 0}, {3e38f, 5.5f, 0}};
    HD_Standard_Draw_DC_Polyline(&dashes, &thin, 2, across);
    EXPECT_LT(dashes.calls.size(), 40u);
    for (const Recording_Device::Call& call : dashes.calls)
        for (const HT_Point3D& p : call.points) EXPECT_TRUE(p.x > -10 && p.x < 74) << p.x;

    // An absurd weight and an absurd window.
    Recording_Device heavy(64, 64);
    HT_Rendition wide = rendition;
    wide.line.pattern = 0;
    wide.line.weight = INT_MAX;
    const HT_Point3D line[3] = {{10, 10, 0}, {50, 50, 0}, {1e30f, 10, 0}};
    HD_Standard_Draw_DC_Polyline(&heavy, &wide, 3, line);
    EXPECT_EQ(heavy.lit_count(), 64 * 64);
    heavy.current_options.set_window_size({INT_MAX, INT_MAX});
    HD_Standard_Draw_DC_Polyline(&heavy, &wide, 3, line);
}

TEST(StandardSafety, AWindowWithoutSizeIsBoundedAtAFixedLimit) {
    Recording_Device device(64, 64);
    device.current_options.set_window_size({0, 0});
    const HT_Rendition rendition = everything_in_software();
    const HT_Point3D near[3] = {{100, 100, 0}, {100, 110, 0}, {110, 100, 0}};
    const HT_Point3D far[3] = {{20000, 20000, 0}, {20000, 20010, 0}, {20010, 20000, 0}};
    HD_Standard_Draw_DC_Polytriangle(&device, &rendition, 3, far);
    EXPECT_EQ(device.dots, 0);
    HD_Standard_Draw_DC_Polytriangle(&device, &rendition, 3, near);
    EXPECT_EQ(device.dots, 45);
}
