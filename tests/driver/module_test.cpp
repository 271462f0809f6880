// The module as the host sees it: one exported symbol, and HD_Device on a
// screen that offers no usable pixel format.
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/winx.h"
#include "tests/support/screen_depth.h"
#include "tests/support/test_device.h"

namespace {

std::vector<std::string> exported_symbols() {
    std::vector<std::string> names;
    std::string command = std::string("nm -D --defined-only ") + TOVREK_MODULE_PATH;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return names;
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::string text(line);
        size_t end = text.find_last_not_of("\r\n");
        text.erase(end + 1);
        std::string name = text.substr(text.find_last_of(' ') + 1);
        names.push_back(name);
    }
    EXPECT_EQ(pclose(pipe), 0);
    return names;
}

}  // namespace

TEST(Module, ExportsOnlyHD_Device) {
    EXPECT_EQ(exported_symbols(), std::vector<std::string>{"HD_Device"});
}

// An 8-bit screen offers no RGB configuration: every construction stops at
// the pixel format with the same error box, and leaves nothing open behind.
TEST(Screen8_Module, HD_DeviceReturnsNullAfterChoosePixelFormatFails) {
    SKIP_UNLESS_SCREEN_DEPTH(8);
    winx::Message_Recorder boxes;
    const long handles = winx::open_handle_count();
    const int threads = test_device::thread_count();
    for (int call = 0; call < 2; ++call) {
        SCOPED_TRACE(call);
        boxes.clear();
        EXPECT_EQ(test_device::create(), nullptr);
        std::vector<winx::Message_Box> shown = boxes.boxes();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].caption, "QRB Error");
        EXPECT_EQ(shown[0].text, "ChoosePixelFormat failed");
    }
    EXPECT_EQ(winx::open_handle_count(), handles);
    EXPECT_EQ(test_device::thread_count(), threads);

    // At 8 bits per pixel no DirectDraw test is made: a DirectDraw that
    // cannot be had would stop the construction silently, yet the pixel
    // format is still tried and its error shown.
    winx::Board_Profile profile;
    ASSERT_TRUE(winx::parse_board_profile("directdraw=create_fails", &profile, nullptr));
    winx::set_board_profile(profile);
    boxes.clear();
    EXPECT_EQ(test_device::create(), nullptr);
    winx::reset_board_profile();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "ChoosePixelFormat failed");
}
