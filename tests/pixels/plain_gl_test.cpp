// The paths for an OpenGL that has only what version 1.1 promises: colours
// read as red, green, blue, alpha and reordered by the driver, and texture
// sizes that are not powers of two resampled to ones that are (the layer of
// plain_gl.h makes the context say it is 1.1 without extensions).
#include <algorithm>
#include <memory>
#include <vector>

#include "tests/pixels/pixel_fixture.h"
#include "tests/pixels/plain_gl.h"

namespace {

class Plain_Gl : public Pixel_Test {
protected:
    void TearDown() override {
        Pixel_Test::TearDown();
        plain.reset();
    }
    std::unique_ptr<Plain_Gl_Layer> plain = std::make_unique<Plain_Gl_Layer>();
};

}  // namespace

TEST_F(Plain_Gl, ColoursAreReadAsRgbaAndReordered) {
    ASSERT_TRUE(open(32, 24, 16));
    const uint32_t pixels[6] = {host_pixel(10, 20, 30), host_pixel(40, 50, 60), host_pixel(70, 80, 90),
                                host_pixel(1, 2, 3),    host_pixel(4, 5, 6),    host_pixel(7, 8, 9)};
    draw_image({5, 11, 0}, {7, 10, 0}, 12, pixels);
    winx::Gl_Recorder recorder;
    HT_Shared_Image image;
    read_color({5, 11, 0}, {7, 10, 0}, image);
    const std::vector<winx::Gl_Call> reads = calls_named(recorder.calls(), "glReadPixels");
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].numbers.at(4), GL_RGBA);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(color_at(image, x, y) & 0xFFFFFF, pixels[y * 3 + x] & 0xFFFFFF) << x << "," << y;
}

TEST_F(Plain_Gl, TexturesOfOtherSizesAreResampledToPowersOfTwo) {
    ASSERT_TRUE(open(32, 32, 16));
    clear_depth();
    std::vector<uint32_t> pixels;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            pixels.push_back(host_pixel(uint8_t(50 + 60 * column), uint8_t(50 + 60 * row), 90));
    HT_Shared_Image image({0, 0, 0}, 3, 3, HT_IMAGE_FORMAT_RGB32, 12, nullptr, false);
    std::copy(pixels.begin(), pixels.end(), reinterpret_cast<uint32_t*>(image->pixels()));
    rendition.color.texture.id = 1;
    rendition.color.texture.texture = HT_Texture_Handle(new HT_Texture(HT_WRAP_CLAMP, HT_WRAP_CLAMP, image));

    // A 24-pixel square carrying the whole texture: 8 pixels a texel.
    const HT_Point3D points[4] = {{4, 4, 0}, {28, 4, 0}, {4, 28, 0}, {28, 28, 0}};
    const HT_RGB32 white[4] = {host_pixel(255, 255, 255), host_pixel(255, 255, 255),
                               host_pixel(255, 255, 255), host_pixel(255, 255, 255)};
    const HT_Parameter parameters[4] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    winx::Gl_Recorder recorder;
    auto& action = device->actions.draw_dc_textured_polytriangle;
    action.function(action.object, &rendition, 4, points, white, parameters, nullptr);
    const std::vector<winx::Gl_Call> loads = calls_named(recorder.calls(), "glTexImage2D");
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].numbers.at(3), 4);
    EXPECT_EQ(loads[0].numbers.at(4), 4);

    // The middle of each pixel's square shows that pixel; resampling moves
    // only the edges between them.
    const winx::Window_Snapshot shown = present();
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(shown.at(4 + 8 * column + 4, 28 - 8 * row - 4), pixels[row * 3 + column] & 0xFFFFFF)
                << column << "," << row;
}
