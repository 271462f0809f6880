// Two renderer objects drawing one-row images from two host threads at once:
// each object's point rows are its own, so neither picks up the other's
// points, colours or depths. Meant to run under ThreadSanitizer as well.
#include <thread>
#include <vector>

#include "tests/pixels/pixel_fixture.h"
#include "tests/support/test_device.h"

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 8;

struct Drawer {
    HWND window = nullptr;
    HT_Device_Data* device = nullptr;
    HT_Rendition rendition;
    float near_z = 0;
    float far_z = 0;
    uint8_t shade = 0;
};

void draw_rows(Drawer& drawer) {
    std::vector<uint32_t> row(WIDTH, host_pixel(drawer.shade, 0, 0));
    auto& action = drawer.device->actions.draw_dc_image;
    for (int round = 0; round < 20; ++round) {
        for (int y = 0; y < HEIGHT; ++y) {
            const HT_Point3D start{0, float(y), drawer.near_z};
            const HT_Point3D end{WIDTH - 1, float(y), drawer.far_z};
            action.function(action.object, &drawer.rendition, &start, &end, 0, row.data());
        }
    }
}

// The depth a point of the row ends with: device z onto 0.5 to 1.0.
double expected_depth(const Drawer& drawer, int k) {
    const double z = drawer.near_z + (drawer.far_z - drawer.near_z) * (k + 1) / WIDTH;
    return (0.5 + 0.5 * z / 65535.0) * 65535.0;
}

class Two_Objects : public testing::Test {
protected:
    void TearDown() override {
        for (Drawer& drawer : drawers) {
            if (drawer.device != nullptr) test_device::destroy(drawer.device);
            if (drawer.window != nullptr) winx::destroy_window(drawer.window);
        }
    }
    Drawer drawers[2];
};

}  // namespace

TEST_F(Two_Objects, OneRowImagesDrawnAtOnceStayApart) {
    for (int i = 0; i < 2; ++i) {
        Drawer& drawer = drawers[i];
        drawer.window = winx::create_window(WIDTH, HEIGHT, "two objects");
        ASSERT_NE(drawer.window, nullptr);
        drawer.device = test_device::create();
        ASSERT_NE(drawer.device, nullptr);
        test_device::attach(drawer.device, drawer.window, WIDTH, HEIGHT);
        test_device::set_buffer_depth(drawer.device, 16);
        drawer.device->start_device();
        // The ordinary read, so that the test sees the pixels.
        test_device::driver(drawer.device)->fast_readback = false;
        // The depth buffer at its farthest first; the rows' depths run far
        // to near in one object and near to far in the other, so that points
        // of one object drawn by the other would show.
        std::vector<uint16_t> farthest(WIDTH * HEIGHT, 0xFFFF);
        const HT_Point3D start{0, HEIGHT - 1, 0};
        const HT_Point3D end{WIDTH - 1, 0, 0};
        auto& write = drawer.device->actions.write_dc_depth;
        write.function(write.object, &drawer.rendition, &start, &end, 0, farthest.data());
        drawer.near_z = i == 0 ? 60000 : 2000;
        drawer.far_z = i == 0 ? 2000 : 60000;
        drawer.shade = i == 0 ? 100 : 200;
    }

    std::thread first(draw_rows, std::ref(drawers[0]));
    std::thread second(draw_rows, std::ref(drawers[1]));
    first.join();
    second.join();

    for (Drawer& drawer : drawers) {
        HT_Shared_Image depths;
        HT_Shared_Image colors;
        const HT_Point3D start{0, HEIGHT - 1, 0};
        const HT_Point3D end{WIDTH - 1, 0, 0};
        auto& read_depth = drawer.device->actions.read_dc_depth;
        read_depth.function(read_depth.object, &drawer.rendition, &start, &end, depths);
        auto& read_color = drawer.device->actions.read_dc_color;
        read_color.function(read_color.object, &drawer.rendition, &start, &end, colors);
        ASSERT_FALSE(depths.is_null());
        for (int y = 0; y < HEIGHT; ++y) {
            for (int k = 0; k < WIDTH; k += 7) {
                ASSERT_NEAR(depth_at(depths, k, y), expected_depth(drawer, k), 3.0) << k << "," << y;
                ASSERT_EQ(color_at(colors, k, y) & 0xFFFFFF, uint32_t(drawer.shade) << 16) << k << "," << y;
            }
        }
    }
}
