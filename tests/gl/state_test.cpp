// The initial OpenGL state of a new context: the face stipples built from the
// host's patterns, the mirrors the drawing code trusts, black colour buffers,
// and the draw buffer that matches double buffering.
#include <gtest/gtest.h>

#include "platform/gl_layers.h"
#include "platform/winx.h"
#include "tests/support/pixel_format_request.h"
#include "tests/support/test_device.h"

namespace {

using test_device::driver;

// Paints both colour buffers of the window white with a context of the test's
// own, in the pixel format the driver will choose for it.
void paint_white(HWND window, bool double_buffered) {
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR wanted = test_support::driver_pixel_format_request(double_buffered);
    int format = ChoosePixelFormat(dc, &wanted);
    ASSERT_TRUE(SetPixelFormat(dc, format, &wanted));
    HGLRC context = wglCreateContext(dc);
    ASSERT_TRUE(wglMakeCurrent(dc, context));
    glClearColor(1, 1, 1, 1);
    glDrawBuffer(GL_FRONT_AND_BACK);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
    ReleaseDC(window, dc);
}

class State : public testing::Test {
protected:
    void SetUp() override {
        device = test_device::create();
        ASSERT_NE(device, nullptr);
        object = driver(device);
        window = winx::create_window(64, 48, "state");
        ASSERT_NE(window, nullptr);
        test_device::attach(device, window, 64, 48);
        test_device::set_buffer_depth(device, 16);
    }
    void TearDown() override {
        if (device != nullptr) test_device::destroy(device);
        if (window != nullptr) winx::destroy_window(window);
    }

    GLenum last_draw_buffer(const winx::Gl_Recorder& recorder) const {
        GLenum buffer = 0;
        for (const winx::Gl_Call& call : recorder.calls())
            if (call.name == "glDrawBuffer") buffer = GLenum(call.numbers.at(0));
        return buffer;
    }

    bool all_of(uint32_t color) const {
        winx::Window_Snapshot snapshot;
        if (!winx::capture_window(window, &snapshot)) return false;
        for (uint32_t pixel : snapshot.pixels)
            if ((pixel & 0xFFFFFF) != color) return false;
        return !snapshot.pixels.empty();
    }
    bool all_black() const { return all_of(0); }

    HT_Device_Data* device = nullptr;
    OGL_Device_Data* object = nullptr;
    HWND window = nullptr;
};

}  // namespace

TEST_F(State, FaceStipplesTileTheHostPatternsFourByFour) {
    device->start_device();
    for (int i = 0; i < FACE_STIPPLE_COUNT; ++i) {
        const uint8_t* pattern = device->face_patterns[i];
        ASSERT_NE(pattern, nullptr);
        for (int row = 0; row < 32; ++row)
            for (int byte = 0; byte < 4; ++byte)
                ASSERT_EQ(object->face_stipples[i][row * 4 + byte], pattern[row % 8])
                    << "pattern " << i << " row " << row << " byte " << byte;
    }
}

TEST_F(State, MirrorsAndStateKeysDescribeTheInitialState) {
    device->start_device();
    for (const GL_State_Key* key : {&object->current_state, &object->pending_state}) {
        EXPECT_EQ(key->face_pattern, SOLID_FACE_PATTERN);
        EXPECT_EQ(key->line_pattern, SOLID_LINE_PATTERN);
        EXPECT_EQ(key->line_weight, 0);
        EXPECT_EQ(key->color, 0x808080u);
        EXPECT_EQ(key->shade_model, GL_FLAT);
    }
    EXPECT_TRUE(object->color_array_enabled);
    EXPECT_TRUE(object->vertex_array_enabled);
    EXPECT_EQ(object->line_stipples[SOLID_LINE_PATTERN].pattern, 0xFFFF);
}

TEST_F(State, BothColourBuffersAreBlackAfterInit) {
    paint_white(window, true);
    ASSERT_TRUE(all_of(0xFFFFFF));
    device->start_device();
    EXPECT_TRUE(all_black());
    device->show_frame(0);
    EXPECT_TRUE(all_black());
    device->show_frame(0);
    EXPECT_TRUE(all_black());
}

TEST_F(State, DoubleBufferedContextDrawsToTheBackBuffer) {
    winx::Gl_Recorder recorder;
    device->start_device();
    EXPECT_EQ(last_draw_buffer(recorder), GLenum(GL_BACK));
}

TEST_F(State, SingleBufferedContextDrawsToTheFrontBuffer) {
    object->double_buffering = false;
    paint_white(window, false);
    winx::Gl_Recorder recorder;
    device->start_device();
    EXPECT_EQ(last_draw_buffer(recorder), GLenum(GL_FRONT));
    EXPECT_TRUE(all_black());
}
