// Every pixel of drawn images against what the images hold: odd sizes, rows
// stored top first with padding and bottom first (a negative row step), rows
// that are not whole pixels apart, images reaching out of the window on each
// side, single columns, and one-row images with and without their point pass.
// All are drawn over each other into one frame, in order, and the whole
// window is compared with the same images painted one pixel at a time. The
// frame is drawn once in place in the host's byte order and once through an
// OpenGL that offers only version 1.1, where the driver reorders the pixels.
#include <cstring>
#include <memory>
#include <vector>

#include "tests/pixels/pixel_fixture.h"
#include "tests/pixels/plain_gl.h"

namespace {

constexpr int WIDTH = 41;
constexpr int HEIGHT = 29;

struct Image_Case {
    int left;  // the image's pixel rectangle
    int top;
    int width;
    int height;
    int padding;      // bytes after each row
    bool bottom_up;   // rows stored bottom first, read with a negative step
    bool point_pass;  // a one-row image whose end y equals its start y
};

const Image_Case CASES[] = {
    {3, 20, 7, 5, 12, false, false},      // odd size, padded rows
    {12, 25, 1, 9, 0, true, false},       // one column, bottom first
    {-4, 31, 9, 7, 4, false, false},      // out at the left and the top
    {36, 3, 9, 7, 8, true, false},        // out at the right and the bottom
    {15, 14, 5, 3, 2, false, false},      // rows 22 bytes apart: not whole pixels
    {14, 12, 5, 3, 6, true, false},       // the same, bottom first
    {2, 9, 13, 1, 0, false, true},        // one row with its point pass
    {-3, 7, 11, 1, 4, true, true},        // one row, out at the left, negative step
    {20, 6, 17, 1, 0, false, false},      // one row, end y above start y: no point pass
    {30, 28, 13, 1, 0, true, false},      // one row on the top row, out at the right
    {-2, 30, 45, 3, 0, false, false},     // wider than the window, over its top
};

uint32_t case_pixel(int image, int column, int row) {
    return host_pixel(uint8_t(17 * image + column), uint8_t(200 - 3 * row), uint8_t(40 + 11 * image));
}

// The rows of one image in memory, and the row step and first row the host
// passes for them.
struct Stored_Image {
    std::vector<uint8_t> bytes;
    int row_step = 0;
    const uint8_t* first_row = nullptr;
};

Stored_Image store(int index, const Image_Case& image) {
    Stored_Image stored;
    const int row_size = image.width * 4 + image.padding;
    stored.bytes.assign(size_t(row_size) * image.height, 0);
    for (int row = 0; row < image.height; ++row) {
        const int slot = image.bottom_up ? image.height - 1 - row : row;
        for (int column = 0; column < image.width; ++column) {
            const uint32_t pixel = case_pixel(index, column, row);
            std::memcpy(&stored.bytes[size_t(slot) * row_size + column * 4], &pixel, 4);
        }
    }
    stored.row_step = image.bottom_up ? -row_size : row_size;
    stored.first_row = stored.bytes.data() + (image.bottom_up ? size_t(row_size) * (image.height - 1) : 0);
    return stored;
}

class Image_Pixels : public Pixel_Test, public testing::WithParamInterface<bool> {
protected:
    void TearDown() override {
        Pixel_Test::TearDown();
        plain.reset();
    }
    std::unique_ptr<Plain_Gl_Layer> plain = GetParam() ? std::make_unique<Plain_Gl_Layer>() : nullptr;
};

}  // namespace

TEST_P(Image_Pixels, EveryPixelIsTheImagesOwn) {
    ASSERT_TRUE(open(WIDTH, HEIGHT, 16));
    clear_depth();
    std::vector<uint32_t> expected(size_t(WIDTH) * HEIGHT, 0);
    int index = 0;
    for (const Image_Case& image : CASES) {
        const Stored_Image stored = store(index, image);
        // Corners that truncate to the rectangle. A point pass is drawn from
        // the unrounded start, so its corners lie half a pixel out, on the
        // pixels' centres; the single-row test wants the end y whole. A
        // one-row image without it ends half a pixel above its start.
        const float out = image.point_pass ? 0.5f : 0.0f;
        const float start_x = image.left < 0 ? float(image.left) - out : float(image.left) + out;
        const float end_y = image.point_pass   ? float(image.top)
                            : image.height > 1 ? float(image.top - image.height + 1)
                                               : float(image.top) + 0.5f;
        draw_image({start_x, float(image.top) + out, 100},
                   {float(image.left + image.width - 1) + out, end_y, 100}, stored.row_step,
                   stored.first_row);
        const int left = image.left;
        const int top = image.top;
        for (int row = 0; row < image.height; ++row)
            for (int column = 0; column < image.width; ++column) {
                const int x = left + column;
                const int y = top - row;
                if (x >= 0 && x < WIDTH && y >= 0 && y < HEIGHT)
                    expected[size_t(y) * WIDTH + x] = case_pixel(index, column, row) & 0xFFFFFF;
            }
        ++index;
    }

    const winx::Window_Snapshot shown = present();
    int wrong = 0;
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x)
            if (shown.at(x, y) != expected[size_t(y) * WIDTH + x] && ++wrong <= 10)
                ADD_FAILURE() << "pixel " << x << "," << y << ": 0x" << std::hex << shown.at(x, y)
                              << " instead of 0x" << expected[size_t(y) * WIDTH + x];
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(InPlaceAndReordered, Image_Pixels, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "OpenGL_1_1" : "Host_Byte_Order";
                         });
