// Writing depth values: they land in the depth buffer as given, rows as far
// apart as the row step says, colours untouched; the board is asked to put
// depths back only when it can have kept them ("Fast Readback" on).
#include <vector>

#include "tests/pixels/pixel_fixture.h"

namespace {

class Depth_Write : public Pixel_Test {};

}  // namespace

TEST_F(Depth_Write, ValuesLandAsGivenWithTheRowStepInBytes) {
    ASSERT_TRUE(open(32, 24, 16));
    clear_depth();
    const uint32_t red = host_pixel(255, 0, 0);
    std::vector<uint32_t> colors(4 * 4, red);
    draw_image({0, 23, 0}, {3, 20, 0}, 16, colors.data());

    // Row step 100 bytes: the second row starts 50 values on.
    std::vector<uint16_t> spaced(100, 0);
    for (int x = 0; x < 3; ++x) {
        spaced[x] = uint16_t(1000 * (x + 1));
        spaced[50 + x] = uint16_t(2000 * (x + 1));
    }
    write_depth({0, 23, 0}, {2, 22, 0}, 100, spaced.data());
    // Row steps 0 and -5: rows packed, width x 2 bytes apart.
    const uint16_t packed[6] = {11, 12, 13, 21, 22, 23};
    write_depth({10, 23, 0}, {12, 22, 0}, 0, packed);
    write_depth({20, 23, 0}, {22, 22, 0}, -5, packed);

    const std::vector<uint16_t> depths = read_all_depths();
    for (int x = 0; x < 3; ++x) {
        EXPECT_NEAR(depths[x], 1000 * (x + 1), 1) << x;
        EXPECT_NEAR(depths[32 + x], 2000 * (x + 1), 1) << x;
        for (int left : {10, 20}) {
            EXPECT_NEAR(depths[left + x], packed[x], 1) << left + x;
            EXPECT_NEAR(depths[32 + left + x], packed[3 + x], 1) << left + x;
        }
    }
    EXPECT_EQ(depths[3], 0xFFFF);
    // The colours stayed.
    const std::vector<uint32_t> shown = read_all_colors();
    EXPECT_EQ(shown[0] & 0xFFFFFF, red & 0xFFFFFF);
    EXPECT_EQ(shown[32 + 2] & 0xFFFFFF, red & 0xFFFFFF);
}

TEST_F(Depth_Write, TheBoardIsAskedOnlyWithFastReadbackOn) {
    ASSERT_TRUE(open(32, 24, 16));
    clear_depth();
    const uint16_t values[4] = {100, 200, 300, 400};
    for (bool fast : {false, true}) {
        use_board(fast);
        winx::Gl_Recorder recorder;
        write_depth({4, 10, 0}, {5, 9, 0}, 4, values);
        const std::vector<winx::Gl_Call> reads = calls_named(recorder.calls(), "glReadPixels");
        EXPECT_EQ(recorder.count("glDrawPixels"), fast ? 0u : 2u);
        ASSERT_EQ(reads.size(), fast ? 1u : 0u);
        if (fast) {
            EXPECT_EQ(reads[0].numbers,
                      (std::vector<double>{4, 24 - 1 - 10, 2, 2, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT}));
            EXPECT_EQ(object->board_request_block[2], 6159u);
        }
    }
    // Without "Fast Readback" the host's values went in.
    const std::vector<uint16_t> depths = read_all_depths();
    EXPECT_NEAR(depths[(23 - 10) * 32 + 4], 100, 1);
    EXPECT_NEAR(depths[(23 - 9) * 32 + 5], 400, 1);
}

TEST_F(Depth_Write, EmptyOrOutsideRectanglesWriteNothing) {
    ASSERT_TRUE(open(16, 12, 16));
    clear_depth();
    std::vector<uint16_t> values(64, 5);
    winx::Gl_Recorder recorder;
    write_depth({5, 5, 0}, {4, 5, 0}, 0, values.data());
    write_depth({5, 5, 0}, {6, 6, 0}, 0, values.data());
    write_depth({20, 5, 0}, {21, 4, 0}, 0, values.data());
    EXPECT_EQ(recorder.count("glDrawPixels"), 0u);
    // Reaching over the left and top edges: only the inside is written, from
    // the matching values.
    std::vector<uint16_t> numbered(16);
    for (int i = 0; i < 16; ++i) numbered[i] = uint16_t(100 + i);
    write_depth({-2, 12, 0}, {1, 9, 0}, 0, numbered.data());
    const std::vector<uint16_t> depths = read_all_depths();
    // Window (0, 11) is row 1, column 2 of the values.
    EXPECT_NEAR(depths[0], 100 + 4 + 2, 1);
    EXPECT_NEAR(depths[16 * 2 + 1], 100 + 12 + 3, 1);
    EXPECT_EQ(depths[2], 0xFFFF);
}
