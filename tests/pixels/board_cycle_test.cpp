// The host's save-and-restore cycle through the board: colours and depths
// read with "Fast Readback" stay on the board, and putting them back gives
// the frame every pixel and depth value it had, also for rectangles that
// reach outside the window or are put back elsewhere. Requests the board
// kept nothing for, or nothing of that size, change nothing.
#include <vector>

#include "tests/pixels/pixel_fixture.h"

namespace {

constexpr int WIDTH = 48;
constexpr int HEIGHT = 32;

class Board_Cycle : public Pixel_Test {
protected:
    // A frame of many colours and depths.
    void draw_scene() {
        clear_depth();
        std::vector<uint32_t> colors;
        std::vector<uint16_t> depths;
        for (int y = 0; y < HEIGHT; ++y) {
            for (int x = 0; x < WIDTH; ++x) {
                colors.push_back(host_pixel(uint8_t(x * 5), uint8_t(y * 7), uint8_t(x * y)));
                depths.push_back(uint16_t(1000 + 977 * x + 1531 * y));
            }
        }
        const bool fast = object->fast_readback;
        object->fast_readback = false;
        draw_image({0, HEIGHT - 1, 0}, {WIDTH - 1, 0, 0}, WIDTH * 4, colors.data());
        write_depth({0, HEIGHT - 1, 0}, {WIDTH - 1, 0, 0}, WIDTH * 2, depths.data());
        object->fast_readback = fast;
    }

    // Covers the whole frame with one colour and one depth.
    void draw_over() {
        std::vector<uint32_t> white(WIDTH * HEIGHT, host_pixel(255, 255, 255));
        std::vector<uint16_t> near(WIDTH * HEIGHT, 7);
        const bool fast = object->fast_readback;
        object->fast_readback = false;
        draw_image({0, HEIGHT - 1, 0}, {WIDTH - 1, 0, 0}, WIDTH * 4, white.data());
        write_depth({0, HEIGHT - 1, 0}, {WIDTH - 1, 0, 0}, WIDTH * 2, near.data());
        object->fast_readback = fast;
    }

    // Reads the rectangle into the board and puts it back at `to`, the same
    // size, through the placeholders the host received.
    void save_and_restore(HT_Point3D start, HT_Point3D end, HT_Point3D to_start, HT_Point3D to_end) {
        HT_Shared_Image colors;
        HT_Shared_Image depths;
        read_color(start, end, colors);
        read_depth(start, end, depths);
        ASSERT_FALSE(colors.is_null());
        ASSERT_FALSE(depths.is_null());
        draw_over();
        draw_image(to_start, to_end, colors->row_bytes(), colors->pixels());
        write_depth(to_start, to_end, depths->row_bytes(),
                    reinterpret_cast<const uint16_t*>(depths->pixels()));
    }
};

}  // namespace

TEST_F(Board_Cycle, ReadDrawOverAndRestoreGivesBackEveryPixelAndDepth) {
    ASSERT_TRUE(open(WIDTH, HEIGHT, 16));
    use_board(true);
    draw_scene();
    const std::vector<uint32_t> colors_before = read_all_colors();
    const std::vector<uint16_t> depths_before = read_all_depths();

    save_and_restore({0, HEIGHT - 1, 0}, {WIDTH - 1, 0, 0}, {0, HEIGHT - 1, 0}, {WIDTH - 1, 0, 0});

    EXPECT_EQ(read_all_colors(), colors_before);
    EXPECT_EQ(read_all_depths(), depths_before);
}

TEST_F(Board_Cycle, PartsOutsideTheWindowAreNeitherKeptNorDrawn) {
    ASSERT_TRUE(open(WIDTH, HEIGHT, 16));
    use_board(true);
    draw_scene();
    const std::vector<uint32_t> colors_before = read_all_colors();
    const std::vector<uint16_t> depths_before = read_all_depths();

    // 10 columns left of the window to column 9, rows 35 (above) to 20.
    save_and_restore({-10, 35, 0}, {9, 20, 0}, {-10, 35, 0}, {9, 20, 0});

    const std::vector<uint32_t> colors = read_all_colors();
    const std::vector<uint16_t> depths = read_all_depths();
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            const size_t i = size_t(HEIGHT - 1 - y) * WIDTH + x;
            const bool restored = x <= 9 && y >= 20;
            EXPECT_EQ(colors[i], restored ? colors_before[i] : host_pixel(255, 255, 255)) << x << "," << y;
            EXPECT_EQ(depths[i], restored ? depths_before[i] : 7) << x << "," << y;
        }
    }
}

TEST_F(Board_Cycle, RestoringElsewhereMovesTheKeptBlock) {
    ASSERT_TRUE(open(WIDTH, HEIGHT, 16));
    use_board(true);
    draw_scene();
    const std::vector<uint32_t> colors_before = read_all_colors();

    // 8 x 6 pixels from (4, 10) put back at (30, 25).
    save_and_restore({4, 10, 0}, {11, 5, 0}, {30, 25, 0}, {37, 20, 0});

    const std::vector<uint32_t> colors = read_all_colors();
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(colors[size_t(HEIGHT - 1 - (25 - y)) * WIDTH + 30 + x],
                      colors_before[size_t(HEIGHT - 1 - (10 - y)) * WIDTH + 4 + x]);
        }
    }
    EXPECT_EQ(colors[size_t(HEIGHT - 1 - 10) * WIDTH + 4], host_pixel(255, 255, 255));
}

TEST_F(Board_Cycle, RequestsWithNothingKeptChangeNothing) {
    ASSERT_TRUE(open(WIDTH, HEIGHT, 16));
    use_board(true);
    draw_scene();
    // Nothing read yet: neither colours nor depths.
    std::vector<uint32_t> marked(WIDTH * HEIGHT, 0);
    std::vector<uint16_t> depths(WIDTH * HEIGHT, 0);
    const std::vector<uint32_t> colors_before = read_all_colors();
    const std::vector<uint16_t> depths_before = read_all_depths();
    draw_image({0, 9, 0}, {9, 0, 0}, 40, marked.data());
    write_depth({0, 9, 0}, {9, 0, 0}, 20, depths.data());
    EXPECT_EQ(read_all_colors(), colors_before);
    EXPECT_EQ(read_all_depths(), depths_before);

    // Kept for 10 x 10; a request of another size puts nothing back.
    HT_Shared_Image kept;
    read_color({0, 9, 0}, {9, 0, 0}, kept);
    draw_image({0, 9, 0}, {8, 0, 0}, 40, marked.data());
    EXPECT_EQ(read_all_colors(), colors_before);

}
