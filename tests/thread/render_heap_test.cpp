// The render thread's memory across frames: a large frame makes the
// rasteriser allocate and free megabytes on the render thread, and the next
// frames must reuse that memory rather than have the kernel map it again, a
// page fault for every 4 KB of it each frame.
#include <sys/resource.h>

#include <vector>

#include <gtest/gtest.h>

#include "tests/support/device_fixture.h"

using namespace test_support;

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;

// Rows of small Gouraud quads over the whole window, 4-vertex strips: about
// 77,000 triangles, which bin to some twenty megabytes.
void draw_mesh_frame(Running_Device& driver) {
    driver.clear_frame();
    const HT_RGB32 tints[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
    const float step = 1.0f;
    for (float y = 0; y + step <= HEIGHT; y += step) {
        for (float x = 0; x + 2 * step <= WIDTH; x += 2 * step) {
            const HT_Point3D quad[4] = {
                {x, y, 100}, {x + step, y, 200}, {x, y + step, 300}, {x + step, y + step, 400}};
            HT_Rendition rendition = solid_rendition(0xFFFFFFFFu);
            driver.call(driver.actions().draw_dc_gouraud_polytriangle, &rendition, 4, quad, tints);
        }
    }
    driver.show();
}

long minor_faults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

}  // namespace

TEST(Render_Heap, FramesAfterTheFirstFaultInAlmostNoNewPages) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's allocator maps and keeps memory in its own way";
#endif
    Running_Device driver;
    Device_Settings settings;
    settings.width = WIDTH;
    settings.height = HEIGHT;
    ASSERT_TRUE(driver.start(settings)) << driver.error();
    for (int warm_up = 0; warm_up < 3; ++warm_up) draw_mesh_frame(driver);
    constexpr int FRAMES = 5;
    const long before = minor_faults();
    for (int frame = 0; frame < FRAMES; ++frame) draw_mesh_frame(driver);
    const long per_frame = (minor_faults() - before) / FRAMES;
    // Mapped afresh, the frame's memory costs over a thousand faults.
    EXPECT_LT(per_frame, 200) << "page faults a frame";
}
