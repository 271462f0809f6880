// Two renderer objects driven from two host threads at once: polylines in
// alternating colours (each a state change posted while the shared batch lock
// is held), rectangles and show_frame through each object's own channel,
// then destruction, one thread after the other. Half of the rectangles have
// the user face pattern, which the host's routine draws on the render thread
// through the batch, so the render threads take the shared lock as well. The last frame is read back
// through each object's own channel before it is shown (the two windows lie
// over each other on the screen), and must be that object's picture. Meant to run under ThreadSanitizer as well; the
// rounds stop after a fixed time so that a slow build still finishes.
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "host/image.h"
#include "tests/support/device_fixture.h"
#include "tests/support/pixel_checks.h"
#include "tests/support/test_device.h"

using namespace test_support;

namespace {

constexpr int SIZE = 64;
constexpr int MAX_ROUNDS = 200;
constexpr auto TIME_LIMIT = std::chrono::seconds(2);

const HT_RGB32 RED_COLOR = HT_Make_RGB32(255, 0, 0);
const HT_RGB32 GREEN_COLOR = HT_Make_RGB32(0, 255, 0);
const HT_RGB32 BLUE_COLOR = HT_Make_RGB32(0, 0, 255);

// Object 0 starts its rows red, object 1 blue, so that a row drawn with the
// other object's state shows the wrong colour.
bool row_is_red(int object, int row) { return (row / 4 + object) % 2 == 0; }

struct Drawer {
    Running_Device driver;
    int object = 0;
    int rounds = 0;
    HT_Shared_Image last_frame;  // read before it was shown
};

// The colour of the last frame at device coordinates, as 0x00RRGGBB.
uint32_t last_frame_at(const Drawer& drawer, int x, int y) {
    const HT_Shared_Image& image = drawer.last_frame;
    uint32_t pixel = 0;
    std::memcpy(&pixel, image->pixels() + (SIZE - 1 - y) * image->row_bytes() + x * 4, 4);
    return pixel & 0xFFFFFFu;
}

// Rows 0, 4, ... 60 as polylines over columns 0 to 47; every second row also
// gets a green rectangle over columns 52 to 59, posted between the batches,
// alternately plain and with a user face pattern that covers every pixel.
void draw_frame(Drawer& drawer) {
    Running_Device& driver = drawer.driver;
    driver.clear_frame();
    const HT_Rendition red = solid_rendition(RED_COLOR);
    const HT_Rendition blue = solid_rendition(BLUE_COLOR);
    const HT_Rendition green = solid_rendition(GREEN_COLOR);
    HT_Rendition patterned_green = green;
    patterned_green.face.pattern = HT_USER_FACE_PATTERN;
    for (uint32_t& pattern_row : patterned_green.face.user_rows) pattern_row = 0xFFFFFFFFu;
    for (int row = 0; row < SIZE; row += 4) {
        const HT_Point3D line[2] = {{0.5f, row + 0.5f, 0}, {47.5f, row + 0.5f, 0}};
        driver.call(driver.actions().draw_dc_polyline, row_is_red(drawer.object, row) ? &red : &blue,
                    2, line);
        if (row % 8 == 0)
            driver.call(driver.actions().draw_dc_rectangle, row % 16 == 0 ? &green : &patterned_green,
                        52, 59, row, row);
    }
}

void drive(Drawer& drawer, std::mutex& destruction) {
    const auto deadline = std::chrono::steady_clock::now() + TIME_LIMIT;
    Running_Device& driver = drawer.driver;
    while (drawer.rounds < MAX_ROUNDS && std::chrono::steady_clock::now() < deadline) {
        draw_frame(drawer);
        driver.show();
        ++drawer.rounds;
    }
    draw_frame(drawer);
    const HT_Rendition rendition;
    const HT_Point3D upper_left{0, SIZE - 1, 0};
    const HT_Point3D lower_right{SIZE - 1, 0, 0};
    driver.call(driver.actions().read_dc_color, &rendition, &upper_left, &lower_right,
                drawer.last_frame);
    driver.show();
    // Renderer objects are destroyed on one host thread at a time.
    std::lock_guard<std::mutex> one_at_a_time(destruction);
    drawer.driver.stop();
}

}  // namespace

TEST(Two_Host_Threads, DrawingAtOnceKeepsEachObjectsPicture) {
    Drawer drawers[2];
    for (int object = 0; object < 2; ++object) {
        Device_Settings settings;
        settings.width = settings.height = SIZE;
        ASSERT_TRUE(drawers[object].driver.start(settings)) << drawers[object].driver.error();
        drawers[object].object = object;
        // The ordinary read, which hands back the pixels themselves.
        test_device::driver(&drawers[object].driver.device())->fast_readback = false;
    }

    std::mutex destruction;
    std::thread first(drive, std::ref(drawers[0]), std::ref(destruction));
    std::thread second(drive, std::ref(drawers[1]), std::ref(destruction));
    first.join();
    second.join();

    for (const Drawer& drawer : drawers) {
        SCOPED_TRACE(testing::Message() << "object " << drawer.object);
        EXPECT_GE(drawer.rounds, 1);
        ASSERT_FALSE(drawer.last_frame.is_null());
        for (int row = 0; row < SIZE; row += 4) {
            const uint32_t line_color = row_is_red(drawer.object, row) ? RED : BLUE;
            EXPECT_TRUE(looks_like(last_frame_at(drawer, 0, row), line_color)) << "row " << row;
            EXPECT_TRUE(looks_like(last_frame_at(drawer, 46, row), line_color)) << "row " << row;
            EXPECT_TRUE(looks_like(last_frame_at(drawer, 50, row), BLACK)) << "row " << row;
            EXPECT_EQ(looks_like(last_frame_at(drawer, 55, row), GREEN), row % 8 == 0) << "row " << row;
        }
    }
}
