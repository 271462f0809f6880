// The initial OpenGL state of a new context: the face stipples built from the
// host's patterns, the mirrors the drawing code trusts, black colour buffers,
// and the draw buffer that matches double buffering.
#include <map>
#include <string>
#include <vector>

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

// What the first drawing after a new context relies on, as CMD_INIT leaves
// it: the last call that sets each of these states. A later fragment at
// equal depth wins (GL_LEQUAL); nothing is stippled, culled, clipped,
// alpha-tested or textured until a drawing asks; faces are filled; pixel
// rows are tightly packed; reads come from the buffer that is drawn into.
TEST_F(State, TheFirstDrawingFindsTheStateItReliesOn) {
    winx::Gl_Recorder recorder;
    device->start_device();
    std::map<std::string, std::vector<double>> last;
    std::map<double, std::string> switched;  // capability: last glEnable or glDisable
    for (const winx::Gl_Call& call : recorder.calls()) {
        if (call.name == "glEnable" || call.name == "glDisable")
            switched[call.numbers.at(0)] = call.name;
        else if (call.name == "glPixelStorei" || call.name == "glTexEnvi" || call.name == "glTexParameteri")
            last[call.name + std::to_string(int(call.numbers.at(call.name == "glPixelStorei" ? 0 : 1)))] =
                call.numbers;
        else
            last[call.name] = call.numbers;
    }
    EXPECT_EQ(last["glDepthFunc"], std::vector<double>{GL_LEQUAL});
    EXPECT_EQ(last["glShadeModel"], std::vector<double>{GL_FLAT});
    EXPECT_EQ(last["glPolygonMode"], (std::vector<double>{GL_FRONT_AND_BACK, GL_FILL}));
    EXPECT_EQ(last["glReadBuffer"], std::vector<double>{GL_BACK});
    EXPECT_EQ(last["glDrawBuffer"], std::vector<double>{GL_BACK});
    EXPECT_EQ(last["glPixelStorei" + std::to_string(GL_UNPACK_ALIGNMENT)],
              (std::vector<double>{GL_UNPACK_ALIGNMENT, 1}));
    EXPECT_EQ(last["glTexEnvi" + std::to_string(GL_TEXTURE_ENV_MODE)].at(2), GL_MODULATE);
    EXPECT_EQ(last["glTexParameteri" + std::to_string(GL_TEXTURE_MAG_FILTER)].at(2), GL_NEAREST);
    EXPECT_EQ(last["glTexParameteri" + std::to_string(GL_TEXTURE_WRAP_S)].at(2), GL_REPEAT);
    EXPECT_EQ(switched[GL_DEPTH_TEST], "glEnable");
    for (GLenum off : {GL_LINE_STIPPLE, GL_POLYGON_STIPPLE, GL_CULL_FACE, GL_SCISSOR_TEST, GL_ALPHA_TEST,
                       GL_TEXTURE_2D})
        EXPECT_EQ(switched[off], "glDisable") << std::hex << off;
}
