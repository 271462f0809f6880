// Reads of many rows: the frame buffer gives rows bottom first and the image
// holds them top first, so every row must land in its own place, whether
// OpenGL hands the rows top first in one read (where it can) or they are
// read in bands and copied, the last band being shorter than the others, and
// the same when no band buffer can be had and the rows are read in place and
// turned round. Depth rows of an odd width are padded as OpenGL packs them.
// The band paths are taken under the plain OpenGL 1.1 layer, which also
// makes the colours come as red, green, blue, alpha.
#include <cstring>
#include <memory>
#include <vector>

#include "tests/support/failing_allocation.h"
#include "tests/pixels/pixel_fixture.h"
#include "tests/pixels/plain_gl.h"

namespace {

constexpr int WIDTH = 301;
constexpr int HEIGHT = 250;

uint32_t frame_pixel(int x, int y) { return host_pixel(uint8_t(x), uint8_t(y), uint8_t(x * 3 + y)); }

// The parameter: true for the plain OpenGL 1.1 layer (reads in bands).
class Readback_Rows : public Pixel_Test, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        Pixel_Test::SetUp();
        if (GetParam()) plain = std::make_unique<Plain_Gl_Layer>();
    }
    void TearDown() override {
        Pixel_Test::TearDown();
        plain.reset();
    }

    // Fills the window with frame_pixel, top row first.
    void draw_frame() {
        std::vector<uint32_t> pixels;
        for (int y = HEIGHT - 1; y >= 0; --y)
            for (int x = 0; x < WIDTH; ++x) pixels.push_back(frame_pixel(x, y));
        draw_image({0, HEIGHT - 1, 0}, {WIDTH - 1, 0, 0}, WIDTH * 4, pixels.data());
    }
    // Every pixel of a read of the rectangle from (left, top) to (right,
    // bottom): the frame inside the window, opaque black outside.
    void expect_read(int left, int top, int right, int bottom) {
        HT_Shared_Image image;
        read_color({float(left), float(top), 0}, {float(right), float(bottom), 0}, image);
        ASSERT_FALSE(image.is_null());
        int wrong = 0;
        for (int y = top; y >= bottom; --y)
            for (int x = left; x <= right; ++x) {
                const bool inside = x >= 0 && x < WIDTH && y >= 0 && y < HEIGHT;
                const uint32_t expected = inside ? frame_pixel(x, y) & 0xFFFFFF : 0;
                const uint32_t got = color_at(image, x - left, top - y) & 0xFFFFFF;
                if (got != expected && ++wrong <= 5)
                    ADD_FAILURE() << x << "," << y << ": " << std::hex << got << " not " << expected;
            }
        EXPECT_EQ(wrong, 0);
    }

    std::unique_ptr<Plain_Gl_Layer> plain;
};

}  // namespace

TEST_P(Readback_Rows, EveryRowOfAManyRowReadLandsInItsPlace) {
    ASSERT_TRUE(open(WIDTH, HEIGHT, 16));
    draw_frame();
    expect_read(0, HEIGHT - 1, WIDTH - 1, 0);
    expect_read(-5, HEIGHT + 9, 150, 100);
    expect_read(200, 180, WIDTH + 3, -7);
    if (!GetParam()) return;
    // Bands of 54 rows of 1204 bytes: without that buffer the rows are read
    // in place.
    failing_allocation::fail_next_array_of(54 * WIDTH * 4);
    expect_read(0, HEIGHT - 1, WIDTH - 1, 0);
    EXPECT_TRUE(failing_allocation::failed());
}

// Depth rows of 602 bytes, packed 604 bytes apart: the whole window read at
// once gives what each row read on its own gives.
TEST_P(Readback_Rows, DepthRowsOfAnOddWidthReadWholeMatchRowsReadAlone) {
    ASSERT_TRUE(open(WIDTH, HEIGHT, 16));
    std::vector<uint16_t> values;
    for (int y = HEIGHT - 1; y >= 0; --y)
        for (int x = 0; x < WIDTH; ++x) values.push_back(uint16_t(x * 97 + y * 211));
    write_depth({0, HEIGHT - 1, 0}, {WIDTH - 1, 0, 0}, WIDTH * 2, values.data());

    const std::vector<uint16_t> whole = read_all_depths();
    int wrong = 0;
    for (int y = 0; y < HEIGHT; y += 7) {
        HT_Shared_Image row;
        read_depth({0, float(y), 0}, {WIDTH - 1, float(y), 0}, row);
        for (int x = 0; x < WIDTH; ++x)
            if (depth_at(row, x, 0) != whole[size_t(HEIGHT - 1 - y) * WIDTH + x] && ++wrong <= 5)
                ADD_FAILURE() << x << "," << y;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_NE(whole.front(), whole.back());
}

INSTANTIATE_TEST_SUITE_P(TopRowFirstAndInBands, Readback_Rows, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "InBands" : "TopRowFirst";
                         });
