// Textured strips: the texture image as OpenGL receives it (bottom row first,
// bytes reordered, sizes that are not powers of two), when it is loaded
// again, its wrap modes, the strips left to the host's standard routine, the
// rendition's own face stipple, and counts too small for a triangle.
#include <algorithm>
#include <vector>

#include "tests/pixels/pixel_fixture.h"

namespace {

class Texture : public Pixel_Test {
protected:
    // A texture of w x h pixels, given top row first, as the rendition's.
    void use_texture(int id, int wrap_s, int wrap_t, int w, int h, const std::vector<uint32_t>& pixels) {
        HT_Shared_Image image({0, 0, 0}, w, h, HT_IMAGE_FORMAT_RGB32, w * 4, nullptr, false);
        std::copy(pixels.begin(), pixels.end(), reinterpret_cast<uint32_t*>(image->pixels()));
        rendition.color.texture.id = id;
        rendition.color.texture.texture = HT_Texture_Handle(
            new HT_Texture(HT_Wrap_Mode(wrap_s), HT_Wrap_Mode(wrap_t), image));
    }

    // A square from (left, bottom) of `size` pixels, the whole texture on it,
    // with white vertices so that the texels show as they are.
    void draw_square(float left, float bottom, float size, int count = 4) {
        const HT_Point3D points[4] = {{left, bottom, 0}, {left + size, bottom, 0},
                                      {left, bottom + size, 0}, {left + size, bottom + size, 0}};
        const HT_RGB32 colors[4] = {host_pixel(255, 255, 255), host_pixel(255, 255, 255),
                                    host_pixel(255, 255, 255), host_pixel(255, 255, 255)};
        const HT_Parameter parameters[4] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
        const float vertex_values[4] = {1, 1, 1, 1};
        auto& action = device->actions.draw_dc_textured_polytriangle;
        action.function(action.object, &rendition, count, points, colors, parameters, vertex_values);
    }

    // The wrap modes of every load: pairs of GL_TEXTURE_WRAP_S and _T values.
    static std::vector<double> wrap_modes(const winx::Gl_Recorder& recorder) {
        std::vector<double> modes;
        for (const winx::Gl_Call& call : calls_named(recorder.calls(), "glTexParameteri"))
            if (call.numbers.at(1) == GL_TEXTURE_WRAP_S || call.numbers.at(1) == GL_TEXTURE_WRAP_T)
                modes.push_back(call.numbers.at(2));
        return modes;
    }
};

const uint32_t A = host_pixel(200, 10, 10);
const uint32_t B = host_pixel(10, 200, 10);
const uint32_t C = host_pixel(10, 10, 200);
const uint32_t D = host_pixel(200, 200, 10);

}  // namespace

TEST_F(Texture, ImageLoadsBottomRowFirstWithTheBytesReordered) {
    ASSERT_TRUE(open(32, 32, 16));
    clear_depth();
    // Top row A, B; bottom row C, D.
    use_texture(5, 3, 3, 2, 2, {A, B, C, D});
    draw_square(8, 8, 16);
    const winx::Window_Snapshot shown = present();
    EXPECT_EQ(shown.at(12, 20), A & 0xFFFFFF);
    EXPECT_EQ(shown.at(20, 20), B & 0xFFFFFF);
    EXPECT_EQ(shown.at(12, 12), C & 0xFFFFFF);
    EXPECT_EQ(shown.at(20, 12), D & 0xFFFFFF);
    EXPECT_EQ(object->loaded_texture_id, 5);
    EXPECT_EQ(object->current_state.color, UNSET_COLOR);
    EXPECT_EQ(object->current_state.shade_model, GL_SMOOTH);
}

TEST_F(Texture, SizesThatAreNotPowersOfTwoDrawTheWholeImage) {
    ASSERT_TRUE(open(32, 32, 16));
    clear_depth();
    // 3 x 3 pixels, every one its own colour.
    std::vector<uint32_t> pixels;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            pixels.push_back(host_pixel(uint8_t(50 + 60 * column), uint8_t(50 + 60 * row), 90));
    use_texture(6, 0, 0, 3, 3, pixels);
    draw_square(4, 4, 24);
    const winx::Window_Snapshot shown = present();
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(shown.at(4 + 8 * column + 4, 4 + 24 - 8 * row - 4), pixels[row * 3 + column] & 0xFFFFFF)
                << column << "," << row;
}

TEST_F(Texture, SameTextureLoadsOnceAndAgainAfterAResize) {
    ASSERT_TRUE(open(32, 32, 16));
    use_texture(7, 3, 3, 2, 2, {A, B, C, D});
    winx::Gl_Recorder recorder;
    draw_square(0, 0, 8);
    draw_square(10, 10, 8);
    EXPECT_EQ(recorder.count("glTexImage2D"), 1u);

    ASSERT_TRUE(winx::resize_window(window, 40, 30));
    device->current_options.set_window_size(HT_Int_XY{40, 30});
    device->start_device();
    draw_square(0, 0, 8);
    EXPECT_EQ(recorder.count("glTexImage2D"), 2u);
}

TEST_F(Texture, WrapModesLoadAsRepeatOrClampAndOthersGoToTheHost) {
    ASSERT_TRUE(open(32, 32, 16));
    const int drawable[][2] = {{3, 3}, {3, 2}, {0, 0}};
    const double expected[][2] = {{GL_REPEAT, GL_REPEAT}, {GL_REPEAT, GL_CLAMP}, {GL_CLAMP, GL_CLAMP}};
    for (int i = 0; i < 3; ++i) {
        use_texture(10 + i, drawable[i][0], drawable[i][1], 2, 2, {A, B, C, D});
        winx::Gl_Recorder recorder;
        draw_square(0, 0, 8);
        EXPECT_EQ(wrap_modes(recorder), (std::vector<double>{expected[i][0], expected[i][1]})) << i;
    }
    for (const auto& modes : {std::vector<int>{1, 3}, std::vector<int>{3, 4}}) {
        use_texture(20, modes[0], modes[1], 2, 2, {A, B, C, D});
        winx::Gl_Recorder recorder;
        draw_square(0, 0, 8);
        EXPECT_EQ(recorder.count("glTexImage2D"), 0u);
        EXPECT_EQ(recorder.count("glBegin"), 0u);
    }
    EXPECT_EQ(object->loaded_texture_id, 12);
}

// A "further" value other than plain interpolation is for the host's
// routine, which draws the strip from dots: OpenGL loads no texture for it
// and the texels still show.
TEST_F(Texture, AFurtherValueOtherThanPlainGoesToTheHost) {
    ASSERT_TRUE(open(32, 32, 16));
    clear_depth();
    use_texture(30, 3, 3, 2, 2, {A, A, A, A});
    rendition.surface.texture_interpolation = HT_TEXTURE_PERSPECTIVE;
    winx::Gl_Recorder recorder;
    draw_square(8, 8, 16);
    const winx::Window_Snapshot shown = present();
    EXPECT_EQ(recorder.count("glTexImage2D"), 0u);
    EXPECT_EQ(recorder.count("glBegin"), 0u);
    EXPECT_GT(recorder.count("glDrawArrays"), 0u);
    EXPECT_EQ(shown.at(16, 16), A & 0xFFFFFF);
}

TEST_F(Texture, StippledStripsLoadTheirOwnPatternFirst) {
    ASSERT_TRUE(open(32, 32, 16));
    use_texture(3, 3, 3, 2, 2, {A, B, C, D});
    rendition.face.pattern = 10;
    winx::Gl_Recorder recorder;
    draw_square(0, 0, 8);
    const std::vector<winx::Gl_Call> calls = recorder.calls();
    size_t stipple = calls.size();
    size_t enable = calls.size();
    size_t disable = calls.size();
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].name == "glPolygonStipple" && stipple == calls.size()) stipple = i;
        if (calls[i].name == "glEnable" && calls[i].numbers.at(0) == GL_POLYGON_STIPPLE) enable = i;
        if (calls[i].name == "glDisable" && calls[i].numbers.at(0) == GL_POLYGON_STIPPLE) disable = i;
    }
    ASSERT_LT(stipple, calls.size());
    EXPECT_EQ(calls[stipple].pointers.at(0), static_cast<const void*>(object->face_stipples[10]));
    EXPECT_LT(stipple, enable);
    EXPECT_LT(enable, disable);
    EXPECT_LT(disable, calls.size());
    EXPECT_EQ(object->current_state.face_pattern, 10);

    // The solid pattern: no stipple at all.
    rendition.face.pattern = 64;
    recorder.clear();
    draw_square(0, 0, 8);
    EXPECT_EQ(recorder.count("glPolygonStipple"), 0u);
    for (const winx::Gl_Call& call : calls_named(recorder.calls(), "glEnable"))
        EXPECT_NE(call.numbers.at(0), GL_POLYGON_STIPPLE);

    // Patterns past the stipple table go to the host, like polytriangles.
    for (int pattern : {73, 200, -1}) {
        rendition.face.pattern = pattern;
        recorder.clear();
        draw_square(0, 0, 8);
        EXPECT_EQ(recorder.count("glBegin"), 0u) << pattern;
    }
}

TEST_F(Texture, CountsBelowThreeDrawNothing) {
    ASSERT_TRUE(open(32, 32, 16));
    use_texture(4, 3, 3, 2, 2, {A, B, C, D});
    winx::Gl_Recorder recorder;
    for (int count : {-1, 0, 1, 2}) draw_square(0, 0, 8, count);
    EXPECT_EQ(recorder.calls().size(), 0u);
    EXPECT_EQ(object->loaded_texture_id, 0);
}

namespace {

// Takes the render thread's context away at the next glFlush (the one of a
// present), so that the next start finds it no longer current and makes a
// new one.
winx::Gl_Layer unbinding_layer;

void flush_then_unbind() {
    unbinding_layer.below().Flush();
    wglMakeCurrent(nullptr, nullptr);
}

void replace_context(HT_Device_Data* device, const OGL_Device_Data* object) {
    const HGLRC old_context = object->gl_context;
    unbinding_layer.entries.Flush = &flush_then_unbind;
    winx::install_gl_layer(&unbinding_layer, winx::Gl_Layer_Place::top);
    device->show_frame(0);
    winx::remove_gl_layer(&unbinding_layer);
    device->start_device();
    ASSERT_NE(object->gl_context, nullptr);
    ASSERT_NE(object->gl_context, old_context);
}

}  // namespace

// A textured strip may be the first thing drawn in a new context: it needs
// the device transform as much as a batch does.
TEST_F(Texture, FirstStripInANewContextLandsWhereTheDevicePointsSay) {
    ASSERT_TRUE(open(32, 32, 16));
    replace_context(device, object);
    clear_depth();
    use_texture(10, 3, 3, 2, 2, {A, B, C, D});
    draw_square(8, 8, 16);
    const winx::Window_Snapshot shown = present();
    EXPECT_EQ(shown.at(12, 20), A & 0xFFFFFF);
    EXPECT_EQ(shown.at(20, 12), D & 0xFFFFFF);
    EXPECT_EQ(shown.at(4, 4), 0u);
}

// The image loaded into a context goes with it: a new context loads the same
// texture again.
TEST_F(Texture, ANewContextLoadsTheSameTextureAgain) {
    ASSERT_TRUE(open(32, 32, 16));
    use_texture(11, 3, 3, 2, 2, {A, B, C, D});
    draw_square(8, 8, 16);
    replace_context(device, object);
    clear_depth();
    winx::Gl_Recorder recorder;
    draw_square(8, 8, 16);
    EXPECT_EQ(recorder.count("glTexImage2D"), 1u);
    const winx::Window_Snapshot shown = present();
    EXPECT_EQ(shown.at(12, 20), A & 0xFFFFFF);
    EXPECT_EQ(shown.at(20, 12), D & 0xFFFFFF);
}
