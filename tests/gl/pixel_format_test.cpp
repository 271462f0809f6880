// The pixel format: formats that describe themselves with 8 or 24 colour bits
// switch every object to software emulation but warn only during the first
// construction; the format asked for follows double buffering.
#include <string>

#include <gtest/gtest.h>

#include "platform/winx.h"
#include "tests/support/pixel_format_request.h"
#include "tests/support/test_device.h"

namespace {

using test_device::driver;

const char* const WARNING_CAPTION = "QRB WARNING : PIXEL FORMAT NOT SUPPORTED";

// The format ChoosePixelFormat gives for the driver's request.
int format_for(HDC dc, bool double_buffered) {
    PIXELFORMATDESCRIPTOR wanted = test_support::driver_pixel_format_request(double_buffered);
    return ChoosePixelFormat(dc, &wanted);
}

class Pixel_Format_Bits : public testing::TestWithParam<int> {
protected:
    // The first object made here is the module's first construction.
    void SetUp() override { test_device::fresh_module(); }
    void TearDown() override { winx::set_described_color_bits(0); }
};

}  // namespace

TEST_P(Pixel_Format_Bits, WarnOnlyDuringTheFirstConstructionEmulateEveryTime) {
    winx::set_described_color_bits(GetParam());
    winx::Message_Recorder boxes;
    HT_Device_Data* first = test_device::create();
    ASSERT_NE(first, nullptr);
    std::vector<winx::Message_Box> shown = boxes.boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, WARNING_CAPTION);
    EXPECT_EQ(shown[0].text.rfind("Current pixel format not supported with hardware acceleration, "
                                  "reverting to software emulation code.  If you wish",
                                  0),
              0u);
    EXPECT_EQ(driver(first)->software_emulation, 1);

    // CMD_INIT on the window sets it again, silently; the context is still made.
    HWND window = winx::create_window(32, 32, "pixel format");
    test_device::attach(first, window, 32, 32);
    test_device::set_buffer_depth(first, 16);
    driver(first)->software_emulation = 0;
    first->start_device();
    EXPECT_EQ(driver(first)->software_emulation, 1);
    EXPECT_NE(driver(first)->gl_context, nullptr);

    HT_Device_Data* second = test_device::create();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(driver(second)->software_emulation, 1);
    EXPECT_EQ(boxes.boxes().size(), 1u);

    test_device::destroy(second);
    test_device::destroy(first);
    winx::destroy_window(window);
}

INSTANTIATE_TEST_SUITE_P(Emulated, Pixel_Format_Bits, testing::Values(8, 24));

TEST(Pixel_Format, AcceleratedFormatsShowNothing) {
    winx::Message_Recorder boxes;
    HT_Device_Data* device = test_device::create();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(driver(device)->software_emulation, 0);
    HWND window = winx::create_window(32, 32, "pixel format");
    test_device::attach(device, window, 32, 32);
    test_device::set_buffer_depth(device, 16);
    device->start_device();
    EXPECT_EQ(driver(device)->software_emulation, 0);
    EXPECT_EQ(boxes.boxes().size(), 0u);
    test_device::destroy(device);
    winx::destroy_window(window);
}

// A window's format is fixed once set: setting the format of another request
// afterwards fails, so a success shows which request the driver made.
TEST(Pixel_Format, WithoutDoubleBufferingTheRequestAsksForNoDoubleBuffer) {
    for (bool double_buffered : {true, false}) {
        SCOPED_TRACE(double_buffered);
        HT_Device_Data* device = test_device::create();
        ASSERT_NE(device, nullptr);
        driver(device)->double_buffering = double_buffered;
        HWND window = winx::create_window(32, 32, "pixel format");
        HDC dc = GetDC(window);
        test_device::attach(device, window, 32, 32);
        test_device::set_buffer_depth(device, 16);
        device->start_device();

        int single = format_for(dc, false);
        int twice = format_for(dc, true);
        ASSERT_NE(single, twice) << "the server offers no single-buffered format";
        PIXELFORMATDESCRIPTOR described = {};
        EXPECT_TRUE(SetPixelFormat(dc, double_buffered ? twice : single, &described));
        EXPECT_FALSE(SetPixelFormat(dc, double_buffered ? single : twice, &described));

        test_device::destroy(device);
        ReleaseDC(window, dc);
        winx::destroy_window(window);
    }
}
