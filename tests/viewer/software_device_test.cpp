// The software reference's own drawing: depth test with the GL_LEQUAL rule
// in device z, the clearing rectangle that resets depth to the far end, and
// triangles through the host's routines landing in its picture.
#include <gtest/gtest.h>

#include "viewer/software_device.h"

namespace {

uint32_t at(const Software_Device& device, int x, int y) { return device.image().at(x, y); }

TEST(Software_Device, DepthTestKeepsTheNearerAndTheEqual) {
    Software_Device device(4, 4, 16);
    device.plot(1, 1, 100, 0xFF0000FF);
    device.plot(1, 1, 200, 0xFF00FF00);  // farther: hidden
    EXPECT_EQ(at(device, 1, 1), 0x0000FFu);
    device.plot(1, 1, 100, 0xFFFF0000);  // equal: drawn
    EXPECT_EQ(at(device, 1, 1), 0xFF0000u);
    device.plot(-1, 0, 0, 0xFFFFFFFF);   // outside: nothing, no crash
    device.plot(4, 3, 0, 0xFFFFFFFF);
    device.plot(1, 2, 70000, 0xFFFFFFFF);  // beyond 16 bits of depth
    EXPECT_EQ(at(device, 1, 2), 0u);
}

TEST(Software_Device, TheClearingRectangleResetsColourAndDepth) {
    Software_Device device(4, 4, 16);
    device.plot(2, 2, 0, 0xFF0000FF);
    HT_Rendition background;
    background.color.color = 0xFF102030;
    device.actions.draw_dc_rectangle.function(&device, &background, 0, 3, 0, 3);
    EXPECT_EQ(at(device, 2, 2), 0x102030u);
    device.plot(2, 2, 65535, 0xFF00FF00);  // at the far end: passes again
    EXPECT_EQ(at(device, 2, 2), 0x00FF00u);
    // Bounds past the picture are cut to it; rows below stay.
    background.color.color = 0xFF405060;
    device.actions.draw_dc_rectangle.function(&device, &background, -5, 100, 3, 100);
    EXPECT_EQ(at(device, 0, 3), 0x405060u);
    EXPECT_EQ(at(device, 3, 3), 0x405060u);
    EXPECT_EQ(at(device, 0, 2), 0x102030u);
}

TEST(Software_Device, TrianglesGoThroughTheHostsRoutinesIntoThePicture) {
    Software_Device device(8, 8, 24);
    HT_Rendition rendition;
    const HT_Point3D strip[] = {{0, 0, 10}, {8, 0, 10}, {0, 8, 10}, {8, 8, 10}};
    const HT_RGB32 colors[] = {0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000};
    device.actions.draw_dc_gouraud_polytriangle.function(&device, &rendition, 4, strip, colors);
    int red = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) red += at(device, x, y) == 0xFF0000u;
    EXPECT_EQ(red, 64) << "two triangles of a strip cover the square once";
    const HT_Point3D line[] = {{0.5f, 0.5f, 0}, {7.5f, 7.5f, 0}};
    rendition.color.color = 0xFF00FF00;
    device.actions.draw_dc_polyline.function(&device, &rendition, 2, line);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(at(device, i, i), 0x00FF00u) << i;
}

}  // namespace
