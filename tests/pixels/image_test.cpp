// Drawing host images: rows in the right place and order whatever the row
// step, the point pass of one-row images with its chunks and depths, images
// marked for the board, the depth test put back as the mirror says, and
// images that are empty or reach outside the window.
#include <vector>

#include "tests/pixels/pixel_fixture.h"

namespace {

class Image : public Pixel_Test {};

}  // namespace

TEST_F(Image, RowsAreDrawnTopRowFirstWhateverTheRowStep) {
    ASSERT_TRUE(open(32, 24, 16));
    const uint32_t top[3] = {host_pixel(255, 0, 0), host_pixel(0, 255, 0), host_pixel(0, 0, 255)};
    const uint32_t bottom[3] = {host_pixel(10, 20, 30), host_pixel(40, 50, 60), host_pixel(70, 80, 90)};
    // Rows stored top first with padding, and bottom first with a negative step.
    uint32_t padded[8] = {top[0], top[1], top[2], 0, bottom[0], bottom[1], bottom[2], 0};
    uint32_t bottom_up[6] = {bottom[0], bottom[1], bottom[2], top[0], top[1], top[2]};
    draw_image({2, 5, 0}, {4, 4, 0}, 16, padded);
    draw_image({10, 5, 0}, {12, 4, 0}, -12, bottom_up + 3);

    const winx::Window_Snapshot shown = present();
    for (int left : {2, 10}) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(shown.at(left + x, 5), top[x] & 0xFFFFFF) << left + x;
            EXPECT_EQ(shown.at(left + x, 4), bottom[x] & 0xFFFFFF) << left + x;
        }
    }
}

TEST_F(Image, OneRowOf700PixelsDrawsPointsInChunksOf300) {
    ASSERT_TRUE(open(720, 8, 16));
    clear_depth();
    std::vector<uint32_t> row(700);
    for (int x = 0; x < 700; ++x) row[x] = host_pixel(uint8_t(x), uint8_t(x >> 8), 7);

    winx::Gl_Recorder recorder;
    // Depth from 1000 at the start to 60000 at the far end.
    draw_image({10, 3, 1000}, {709, 3, 60000}, 0, row.data());
    const std::vector<winx::Gl_Call> calls = recorder.calls();

    std::vector<double> chunks;
    size_t flushes_after_chunks = 0;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].name != "glDrawArrays") continue;
        EXPECT_EQ(calls[i].numbers.at(0), GL_POINTS);
        chunks.push_back(calls[i].numbers.at(2));
        if (i + 1 < calls.size() && calls[i + 1].name == "glFlush") ++flushes_after_chunks;
    }
    EXPECT_EQ(chunks, (std::vector<double>{300, 300, 100}));
    EXPECT_EQ(flushes_after_chunks, 3u);
    EXPECT_EQ(recorder.count("glDrawPixels"), 1u);
    // The points left OpenGL's current colour unknown.
    EXPECT_EQ(object->current_state.color, UNSET_COLOR);

    // The row leaves its interpolated depths behind: device z maps onto
    // depths 0.5 to 1.0.
    const std::vector<uint16_t> depths = read_all_depths();
    for (int k : {0, 350, 699}) {
        const double z = 1000.0 + (60000.0 - 1000.0) * (k + 1) / 700.0;
        const double expected = (0.5 + 0.5 * z / 65535.0) * 65535.0;
        EXPECT_NEAR(depths[4 * 720 + 10 + k], expected, 3.0) << "pixel " << k;
    }
    const winx::Window_Snapshot shown = present();
    EXPECT_EQ(shown.at(10 + 299, 3), 0x2B0107u);
}

TEST_F(Image, OnePixelImageDrawsOnePointAndThenThePixel) {
    ASSERT_TRUE(open(32, 24, 16));
    const uint32_t pixel = host_pixel(30, 20, 10, 255);
    winx::Gl_Recorder recorder;
    draw_image({4, 6, 0}, {4, 6, 0}, 4, &pixel);
    const std::vector<winx::Gl_Call> colors = calls_named(recorder.calls(), "glColor4ub");
    ASSERT_EQ(colors.size(), 1u);
    EXPECT_EQ(colors[0].numbers, (std::vector<double>{30, 20, 10, 255}));
    EXPECT_EQ(recorder.count("glBegin"), 1u);
    EXPECT_EQ(recorder.count("glDrawPixels"), 1u);
    EXPECT_EQ(object->current_state.color, UNSET_COLOR);
}

TEST_F(Image, ThePointPassNeedsADepthBufferAndASingleRow) {
    for (int depth : {0, 1}) {
        ASSERT_TRUE(open(32, 24, depth));
        const uint32_t row[4] = {host_pixel(1, 2, 3), host_pixel(1, 2, 3), host_pixel(1, 2, 3),
                                 host_pixel(1, 2, 3)};
        winx::Gl_Recorder recorder;
        draw_image({0, 3, 0}, {3, 3, 0}, 16, row);
        EXPECT_EQ(recorder.count("glDrawArrays") + recorder.count("glBegin"), 0u) << depth;
        EXPECT_EQ(recorder.count("glDrawPixels"), 1u);
        TearDown();
        device = nullptr;
        window = nullptr;
    }
    ASSERT_TRUE(open(32, 24, 16));
    const std::vector<uint32_t> rows(8, host_pixel(1, 2, 3));
    winx::Gl_Recorder recorder;
    // Two rows, and a row whose end y is not the truncated start y.
    draw_image({0, 3, 0}, {3, 2, 0}, 16, rows.data());
    draw_image({0, 10, 0}, {3, 10.5f, 0}, 16, rows.data());
    EXPECT_EQ(recorder.count("glDrawArrays") + recorder.count("glBegin"), 0u);
    EXPECT_EQ(recorder.count("glDrawPixels"), 2u) << "one call an image";
}

TEST_F(Image, DepthTestIsPutBackAsTheMirrorSays) {
    for (int depth : {16, 0}) {
        ASSERT_TRUE(open(32, 24, depth));
        const std::vector<uint32_t> rows(8, host_pixel(1, 2, 3));
        winx::Gl_Recorder recorder;
        draw_image({0, 3, 0}, {3, 2, 0}, 16, rows.data());
        const std::vector<winx::Gl_Call> enables = calls_named(recorder.calls(), "glEnable");
        bool depth_test_enabled = false;
        for (const winx::Gl_Call& call : enables)
            if (call.numbers.at(0) == GL_DEPTH_TEST) depth_test_enabled = true;
        EXPECT_EQ(depth_test_enabled, depth == 16) << "buffer depth " << depth;
        TearDown();
        device = nullptr;
        window = nullptr;
    }
}

TEST_F(Image, MarkedImagesGoToTheBoardOnlyWhenItAccelerates) {
    ASSERT_TRUE(open(32, 24, 16));
    const uint32_t marked[4] = {host_pixel(1, 2, 3, 0), host_pixel(4, 5, 6), host_pixel(7, 8, 9),
                                host_pixel(9, 9, 9)};
    for (int emulation : {0, 1}) {
        object->software_emulation = emulation;
        winx::Gl_Recorder recorder;
        draw_image({6, 9, 0}, {7, 8, 0}, 8, marked);
        EXPECT_EQ(recorder.count("glDrawPixels"), emulation == 0 ? 0u : 1u);
        const std::vector<winx::Gl_Call> reads = calls_named(recorder.calls(), "glReadPixels");
        ASSERT_EQ(reads.size(), emulation == 0 ? 1u : 0u);
        if (emulation == 0) {
            EXPECT_TRUE(winx::is_board_request_block(reads[0].pointers.at(0)));
            EXPECT_EQ(reads[0].numbers, (std::vector<double>{6, 24 - 1 - 9, 2, 2, GL_RGB, GL_UNSIGNED_INT}));
            EXPECT_EQ(object->board_request_block[2], 6158u);
        }
    }
}

TEST_F(Image, ImagesReachingOutsideTheWindowDrawTheirInside) {
    ASSERT_TRUE(open(16, 12, 16));
    // 4 x 4 pixels, each telling its own column and row.
    std::vector<uint32_t> pixels;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            pixels.push_back(host_pixel(uint8_t(40 + column), uint8_t(80 + row), 200));
    // Two columns left of the window and one row above it; then the
    // bottom-right corner reaching past the right and bottom edges.
    draw_image({-2, 12, 0}, {1, 9, 0}, 16, pixels.data());
    draw_image({14, 1, 0}, {17, -2, 0}, 16, pixels.data());
    // Entirely outside, and empty: nothing at all.
    winx::Gl_Recorder recorder;
    draw_image({100, 50, 0}, {103, 47, 0}, 16, pixels.data());
    draw_image({5, 5, 0}, {4, 5, 0}, 16, pixels.data());
    EXPECT_EQ(recorder.calls().size(), 0u);

    const winx::Window_Snapshot shown = present();
    for (int y = 9; y <= 11; ++y)
        for (int x = 0; x <= 1; ++x)
            EXPECT_EQ(shown.at(x, y), 0x0000C8u | uint32_t(40 + x + 2) << 16 | uint32_t(80 + 12 - y) << 8)
                << x << "," << y;
    for (int y = 0; y <= 1; ++y)
        for (int x = 14; x <= 15; ++x)
            EXPECT_EQ(shown.at(x, y), 0x0000C8u | uint32_t(40 + x - 14) << 16 | uint32_t(80 + 1 - y) << 8)
                << x << "," << y;
    EXPECT_EQ(shown.at(2, 9), 0u);
    EXPECT_EQ(shown.at(13, 1), 0u);
}
