// CMD_INIT: the first initialisation on the host's window, and the later ones
// that follow the host's changes of depth and window size. Recorded OpenGL
// calls show what reached OpenGL; the device transform is checked by mapping
// device points through it onto the window.
#include <cmath>
#include <thread>

#include <gtest/gtest.h>

#include "platform/gl_layers.h"
#include "platform/winx.h"
#include "tests/support/test_device.h"

namespace {

using test_device::driver;

struct Window_Point {
    double x;
    double y;
    double depth;
    bool inside;  // within the clip volume
};

// Where OpenGL puts a device point with the object's transform and viewport
// (default depth range).
Window_Point map_point(const OGL_Device_Data& object, float x, float y, float z) {
    const float* m = object.device_transform;
    double clip[4];
    for (int row = 0; row < 4; ++row)
        clip[row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
    double w = clip[3];
    bool inside = std::fabs(clip[0]) <= w && std::fabs(clip[1]) <= w && std::fabs(clip[2]) <= w;
    return Window_Point{(clip[0] / w + 1) * object.viewport_size.x / 2,
                        (clip[1] / w + 1) * object.viewport_size.y / 2, 0.5 + clip[2] / w / 2,
                        inside};
}

std::vector<winx::Gl_Call> calls_named(const winx::Gl_Recorder& recorder, const std::string& name) {
    std::vector<winx::Gl_Call> found;
    for (const winx::Gl_Call& call : recorder.calls())
        if (call.name == name) found.push_back(call);
    return found;
}

// The last glEnable or glDisable of GL_DEPTH_TEST: 1 on, 0 off, -1 none.
int last_depth_test_switch(const winx::Gl_Recorder& recorder) {
    int state = -1;
    for (const winx::Gl_Call& call : recorder.calls()) {
        if ((call.name == "glEnable" || call.name == "glDisable") && call.numbers.at(0) == GL_DEPTH_TEST)
            state = call.name == "glEnable" ? 1 : 0;
    }
    return state;
}

class Context : public testing::Test {
protected:
    void SetUp() override {
        device = test_device::create();
        ASSERT_NE(device, nullptr);
        object = driver(device);
        window = winx::create_window(640, 480, "context");
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        if (device != nullptr) test_device::destroy(device);
        if (window != nullptr) winx::destroy_window(window);
    }
    void start(int width, int height, int depth) {
        test_device::attach(device, window, width, height);
        test_device::set_buffer_depth(device, depth);
        EXPECT_EQ(device->start_device(), 0);
    }

    HT_Device_Data* device = nullptr;
    OGL_Device_Data* object = nullptr;
    HWND window = nullptr;
};

}  // namespace

TEST_F(Context, FirstInitMapsDeviceCoordinatesOntoTheWindow) {
    winx::Gl_Recorder recorder;
    start(640, 480, 16);
    ASSERT_NE(object->gl_context, nullptr);
    EXPECT_EQ(object->transform_valid, -1);
    EXPECT_EQ(object->max_depth_value, 65535.0f);
    EXPECT_EQ(object->depth_test_enabled, 1);
    EXPECT_EQ(last_depth_test_switch(recorder), 1);

    std::vector<winx::Gl_Call> viewports = calls_named(recorder, "glViewport");
    ASSERT_EQ(viewports.size(), 1u);
    EXPECT_EQ(viewports[0].numbers, (std::vector<double>{0, 0, 640, 480}));
    std::vector<winx::Gl_Call> loads = calls_named(recorder, "glLoadMatrixf");
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].pointers.at(0), static_cast<const void*>(object->device_transform));

    Window_Point lower_left = map_point(*object, 0, 0, 0);
    EXPECT_NEAR(lower_left.x, 0, 1e-4);
    EXPECT_NEAR(lower_left.y, 0, 1e-4);
    EXPECT_NEAR(lower_left.depth, 0.5, 1e-6);
    Window_Point top_right = map_point(*object, 640, 480, 65535);
    EXPECT_NEAR(top_right.x, 640, 1e-3);
    EXPECT_NEAR(top_right.y, 480, 1e-3);
    EXPECT_NEAR(top_right.depth, 1.0, 1e-6);
    Window_Point middle = map_point(*object, 320.5f, 240.5f, 0);
    EXPECT_NEAR(middle.x, 320.5, 1e-3);
    EXPECT_NEAR(middle.y, 240.5, 1e-3);

    // Every OpenGL call came from the render thread.
    for (const winx::Gl_Call& call : recorder.calls()) EXPECT_NE(call.thread, std::this_thread::get_id());
}

TEST_F(Context, SecondInitWithNothingChangedMakesNoOpenGLCall) {
    start(640, 480, 16);
    winx::Gl_Recorder recorder;
    device->start_device();
    EXPECT_EQ(recorder.calls().size(), 0u);
    EXPECT_EQ(object->transform_valid, -1);
}

TEST_F(Context, ResizeSetsTheViewportTwiceAndReloadsTheTransform) {
    start(640, 480, 16);
    object->loaded_texture_id = 7;
    winx::resize_window(window, 320, 200);
    winx::Gl_Recorder recorder;
    start(320, 200, 16);

    std::vector<winx::Gl_Call> viewports = calls_named(recorder, "glViewport");
    ASSERT_EQ(viewports.size(), 2u);
    for (const winx::Gl_Call& call : viewports)
        EXPECT_EQ(call.numbers, (std::vector<double>{0, 0, 320, 200}));
    EXPECT_EQ(calls_named(recorder, "glLoadMatrixf").size(), 1u);
    EXPECT_EQ(object->loaded_texture_id, 0);
    EXPECT_EQ(object->transform_valid, -1);
    Window_Point top_right = map_point(*object, 320, 200, 0);
    EXPECT_NEAR(top_right.x, 320, 1e-3);
    EXPECT_NEAR(top_right.y, 200, 1e-3);
}

TEST_F(Context, BufferDepthSwitchesTheDepthTestOffAndOnAgain) {
    for (int shallow : {0, 1}) {
        SCOPED_TRACE(shallow);
        start(640, 480, 16);
        winx::Gl_Recorder recorder;
        start(640, 480, shallow);
        EXPECT_EQ(last_depth_test_switch(recorder), 0);
        EXPECT_EQ(object->depth_test_enabled, 0);
        EXPECT_EQ(object->z_scale, 0.0f);
        EXPECT_NEAR(map_point(*object, 10, 10, 65535).depth, 0.5, 1e-9);
        EXPECT_TRUE(map_point(*object, 10, 10, 65535).inside);

        recorder.clear();
        start(640, 480, 16);
        EXPECT_EQ(last_depth_test_switch(recorder), 1);
        EXPECT_EQ(object->depth_test_enabled, 1);
        EXPECT_EQ(object->z_scale, 1.0f / 65535.0f);
        EXPECT_EQ(object->max_depth_value, 65535.0f);
        EXPECT_NEAR(map_point(*object, 10, 10, 65535).depth, 1.0, 1e-6);
    }
}

// Depths of 31 and 32 bits map device z 0 ... 2^depth - 1 onto the whole
// depth range as 24 bits do: the far half is not clipped away. Deeper values
// act as 32, negative ones as 0.
TEST_F(Context, BufferDepthUpTo32BitsMapsTheWholeDeviceRange) {
    for (int depth : {24, 31, 32}) {
        SCOPED_TRACE(depth);
        start(640, 480, depth);
        EXPECT_EQ(object->buffer_depth, depth);
        const double largest = std::ldexp(1.0, depth) - 1;
        EXPECT_EQ(object->max_depth_value, float(largest));
        EXPECT_NEAR(map_point(*object, 10, 10, 0).depth, 0.5, 1e-6);
        EXPECT_NEAR(map_point(*object, 10, 10, float(largest / 2)).depth, 0.75, 1e-6);
        EXPECT_NEAR(map_point(*object, 10, 10, float(largest)).depth, 1.0, 1e-6);
        EXPECT_TRUE(map_point(*object, 10, 10, float(largest)).inside);
    }
    start(640, 480, 1000);
    EXPECT_EQ(object->buffer_depth, 32);
    EXPECT_NEAR(map_point(*object, 10, 10, 4294967295.0f).depth, 1.0, 1e-6);
    start(640, 480, -5);
    EXPECT_EQ(object->buffer_depth, 0);
    EXPECT_EQ(object->depth_test_enabled, 0);
    for (float element : object->device_transform) EXPECT_TRUE(std::isfinite(element));
}

// A window without pixels on a side keeps the transform finite and puts every
// point outside the clip volume, until the window has a size.
TEST_F(Context, ZeroSizedWindowDrawsNothingUntilItHasASize) {
    winx::Gl_Recorder recorder;
    for (auto size : {HT_Int_XY{0, 480}, HT_Int_XY{640, 0}, HT_Int_XY{0, 0}, HT_Int_XY{-3, 480}}) {
        SCOPED_TRACE(testing::Message() << size.x << " x " << size.y);
        start(size.x, size.y, 16);
        for (float element : object->device_transform) EXPECT_TRUE(std::isfinite(element));
        for (float x : {0.0f, 1.0f, 320.0f, 640.0f})
            for (float y : {0.0f, 1.0f, 240.0f, 480.0f}) EXPECT_FALSE(map_point(*object, x, y, 0).inside);
    }
    for (const winx::Gl_Call& call : calls_named(recorder, "glViewport")) {
        EXPECT_GE(call.numbers.at(2), 0);
        EXPECT_GE(call.numbers.at(3), 0);
    }
    start(640, 480, 16);
    EXPECT_TRUE(map_point(*object, 320, 240, 0).inside);
    EXPECT_NEAR(map_point(*object, 640, 480, 0).x, 640, 1e-3);
}

// With no window behind the context id nothing can be made current; the next
// CMD_INIT on a real window starts over from the pixel format.
TEST_F(Context, FailedMakeCurrentLeavesNoContextAndTheNextInitStartsOver) {
    winx::Message_Recorder boxes;
    device->device_options.set_context_id(0x7FFF0000);
    device->current_options.set_window_size(HT_Int_XY{640, 480});
    device->start_device();
    EXPECT_EQ(object->gl_context, nullptr);

    winx::Gl_Recorder recorder;
    start(640, 480, 16);
    EXPECT_NE(object->gl_context, nullptr);
    EXPECT_EQ(calls_named(recorder, "glClear").size(), 1u);
    EXPECT_EQ(calls_named(recorder, "glViewport").size(), 1u);
    EXPECT_EQ(object->depth_test_enabled, 1);
}

// The render thread deletes its context before it answers CMD_EXIT: afterwards
// the handle names no context (an undeleted one would still be bound to the
// ended thread).
TEST(Context_End, TheContextIsDeletedWithTheObject) {
    HWND window = winx::create_window(32, 32, "context end");
    const long handles = winx::open_handle_count();
    for (int cycle = 0; cycle < 20; ++cycle) {
        HT_Device_Data* device = test_device::create();
        ASSERT_NE(device, nullptr);
        test_device::attach(device, window, 32, 32);
        test_device::set_buffer_depth(device, 16);
        device->start_device();
        HGLRC context = driver(device)->gl_context;
        ASSERT_NE(context, nullptr);
        test_device::destroy(device);
        SetLastError(0);
        EXPECT_FALSE(wglDeleteContext(context));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    }
    EXPECT_EQ(winx::open_handle_count(), handles);
    winx::destroy_window(window);
}
