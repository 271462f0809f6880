// The command channel and the render thread's loop, seen from the host's
// thread: what each code makes the render thread do in OpenGL.
#include <thread>

#include <gtest/gtest.h>

#include "platform/gl_layers.h"
#include "platform/winx.h"
#include "tests/support/test_device.h"

namespace {

using test_device::driver;

class Channel : public testing::Test {
protected:
    void SetUp() override {
        device = test_device::create();
        ASSERT_NE(device, nullptr);
        window = winx::create_window(64, 48, "channel");
        ASSERT_NE(window, nullptr);
        test_device::attach(device, window, 64, 48);
        test_device::set_buffer_depth(device, 16);
        EXPECT_EQ(device->start_device(), 0);
    }
    void TearDown() override {
        if (device != nullptr) test_device::destroy(device);
        if (window != nullptr) winx::destroy_window(window);
    }

    HT_Device_Data* device = nullptr;
    HWND window = nullptr;
};

std::vector<std::string> names(const std::vector<winx::Gl_Call>& calls) {
    std::vector<std::string> result;
    for (const winx::Gl_Call& call : calls) result.push_back(call.name);
    return result;
}

}  // namespace

TEST_F(Channel, CodesWithoutHandlerAreAnsweredWithoutOpenGL) {
    winx::Gl_Recorder recorder;
    for (int32_t code : {6, 7, 12, 13, 14, 15, 16, 17, 0, 21, -1, 1000}) {
        EXPECT_TRUE(test_device::post_raw_command(driver(device), code)) << code;
        EXPECT_EQ(driver(device)->command.in_render_thread, 0);
    }
    EXPECT_EQ(names(recorder.calls()), std::vector<std::string>{});
}

TEST_F(Channel, PresentFlushesOnTheRenderThreadAndFinishesOnlyInSoftwareEmulation) {
    winx::Gl_Recorder recorder;
    driver(device)->software_emulation = 0;
    device->show_frame(12345);
    EXPECT_EQ(names(recorder.calls()), std::vector<std::string>{"glFlush"});
    for (const winx::Gl_Call& call : recorder.calls()) EXPECT_NE(call.thread, std::this_thread::get_id());

    recorder.clear();
    driver(device)->software_emulation = 1;
    device->show_frame(0);
    EXPECT_EQ(names(recorder.calls()), (std::vector<std::string>{"glFlush", "glFinish"}));
}

TEST(ChannelBeforeStart, PresentAndUnknownCodesBeforeStartDoNotHarm) {
    HT_Device_Data* device = test_device::create();
    ASSERT_NE(device, nullptr);
    device->show_frame(0);
    EXPECT_TRUE(test_device::post_raw_command(driver(device), 6));
    test_device::destroy(device);
}
