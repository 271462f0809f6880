// Pixel operations whose memory cannot be had: the buffers of an image,
// the pixel memory of an image read back, the texture conversion buffer.
// The frame stays as it was, the host still gets a handle it can use, and a
// texture that could not be loaded is not taken as loaded.
#include <cstring>
#include <vector>

#include "tests/support/failing_allocation.h"
#include "tests/pixels/pixel_fixture.h"

namespace {

class Allocation_Failure : public Pixel_Test {};

}  // namespace

// Rows 402 bytes apart are not whole pixels apart: the image is reordered
// through a buffer of its own (800 bytes for two rows of 100 pixels), else
// through one of a row (400 bytes), else not drawn at all.
TEST_F(Allocation_Failure, ImageWithoutABufferLeavesTheFrameAsItWas) {
    ASSERT_TRUE(open(200, 16, 16));
    clear_depth();
    const std::vector<uint32_t> colors_before = read_all_colors();
    const std::vector<uint16_t> depths_before = read_all_depths();
    const std::vector<uint8_t> pixels(402 + 400, 255);

    failing_allocation::fail_next_arrays_of(800, 400);
    draw_image({10, 5, 0}, {109, 4, 0}, 402, pixels.data());
    EXPECT_TRUE(failing_allocation::failed());

    EXPECT_EQ(read_all_colors(), colors_before);
    EXPECT_EQ(read_all_depths(), depths_before);
    // Nothing stays locked or half done: the next image draws.
    draw_image({10, 5, 0}, {109, 4, 0}, 402, pixels.data());
    EXPECT_EQ(read_all_colors()[size_t(16 - 1 - 5) * 200 + 10], 0xFFFFFFFFu);
}

TEST_F(Allocation_Failure, ImageWithoutABlockBufferIsDrawnRowByRow) {
    ASSERT_TRUE(open(200, 16, 16));
    std::vector<uint8_t> pixels(402 + 400);
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 100; ++x) {
            const uint32_t pixel = host_pixel(uint8_t(row * 50 + x), uint8_t(x * 3), 7);
            std::memcpy(pixels.data() + row * 402 + x * 4, &pixel, 4);
        }

    failing_allocation::fail_next_array_of(800);
    draw_image({10, 5, 0}, {109, 4, 0}, 402, pixels.data());
    EXPECT_TRUE(failing_allocation::failed());

    const std::vector<uint32_t> colors = read_all_colors();
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 100; ++x) {
            uint32_t pixel;
            std::memcpy(&pixel, pixels.data() + row * 402 + x * 4, 4);
            EXPECT_EQ(colors[size_t(16 - 1 - 5 + row) * 200 + 10 + x], pixel) << x << "," << row;
        }
}

TEST_F(Allocation_Failure, ReadWithoutPixelMemoryHandsBackAnImageWithoutPixels) {
    ASSERT_TRUE(open(32, 24, 16));
    for (bool color : {true, false}) {
        HT_Shared_Image result;
        winx::Gl_Recorder recorder;
        // 10 x 4 pixels: 160 bytes of colour, 80 of depth; the driver asks
        // for memory it need not clear, then for the host's own.
        failing_allocation::fail_next_arrays_of(color ? 160 : 80, color ? 160 : 80);
        if (color) read_color({2, 10, 0}, {11, 7, 0}, result);
        else read_depth({2, 10, 0}, {11, 7, 0}, result);
        EXPECT_TRUE(failing_allocation::failed());
        ASSERT_FALSE(result.is_null());
        EXPECT_EQ(result->pixels(), nullptr);
        EXPECT_EQ(result->width(), 10);
        EXPECT_EQ(recorder.count("glReadPixels"), 0u);
    }
    // And the next read works.
    HT_Shared_Image result;
    read_color({2, 10, 0}, {11, 7, 0}, result);
    EXPECT_NE(result->pixels(), nullptr);
}

TEST_F(Allocation_Failure, TextureWithoutAConversionBufferIsNotTakenAsLoaded) {
    ASSERT_TRUE(open(32, 32, 16));
    HT_Shared_Image image({0, 0, 0}, 4, 4, HT_IMAGE_FORMAT_RGB32, 16, nullptr, false);
    rendition.color.texture.id = 9;
    rendition.color.texture.texture = HT_Texture_Handle(new HT_Texture(HT_WRAP_REPEAT, HT_WRAP_REPEAT, image));
    const HT_Point3D points[3] = {{0, 0, 0}, {8, 0, 0}, {0, 8, 0}};
    const HT_RGB32 colors[3] = {};
    const HT_Parameter parameters[3] = {};
    auto& action = device->actions.draw_dc_textured_polytriangle;

    winx::Gl_Recorder recorder;
    failing_allocation::fail_next_array_of(4 * 4 * 4);
    action.function(action.object, &rendition, 3, points, colors, parameters, nullptr);
    EXPECT_TRUE(failing_allocation::failed());
    EXPECT_EQ(recorder.count("glTexImage2D"), 0u);
    EXPECT_EQ(object->loaded_texture_id, 0);

    action.function(action.object, &rendition, 3, points, colors, parameters, nullptr);
    EXPECT_EQ(recorder.count("glTexImage2D"), 1u);
    EXPECT_EQ(object->loaded_texture_id, 9);
}

// A polyline longer than the batch whose own arrays cannot be had is still
// drawn, in pieces through the batch.
TEST_F(Allocation_Failure, LongPolylineWithoutArraysOfItsOwnIsStillDrawn) {
    ASSERT_TRUE(open(64, 16, 16));
    clear_depth();
    std::vector<HT_Point3D> points;
    for (int i = 0; i < 1000; ++i) points.push_back({0.5f + float(i % 60), 5.5f, 10});
    rendition.color.color = host_pixel(255, 255, 255);
    auto& action = device->actions.draw_dc_polyline;
    failing_allocation::fail_next_array_of(1000 * sizeof(HT_Point3D));
    action.function(action.object, &rendition, 1000, points.data());
    EXPECT_TRUE(failing_allocation::failed());
    const winx::Window_Snapshot shown = present();
    for (int x = 0; x < 59; ++x) EXPECT_EQ(shown.at(x, 5), 0xFFFFFFu) << x;
}
