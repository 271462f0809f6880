// Colour reads hand back alpha 255 even from a window whose pixel format
// keeps alpha planes (the server may offer no other): a pixel whose alpha is
// not 255 would be taken by the host for a fast read's placeholder.
#include <gtest/gtest.h>

#include "host/image.h"
#include "platform/winx.h"
#include "tests/support/pixel_format_request.h"
#include "tests/support/screen_depth.h"
#include "tests/support/test_device.h"

TEST(Screen24_Opaque_Read, AWindowWithAlphaPlanesStillReadsOpaque) {
    SKIP_UNLESS_SCREEN_DEPTH(24);
    winx::Message_Recorder boxes;  // the driver's own format cannot be set on this window
    HWND window = winx::create_window(16, 16, "alpha planes");
    ASSERT_NE(window, nullptr);
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR wanted = test_support::driver_pixel_format_request(true);
    wanted.cAlphaBits = 8;
    const int format = ChoosePixelFormat(dc, &wanted);
    PIXELFORMATDESCRIPTOR described{};
    ASSERT_NE(DescribePixelFormat(dc, format, sizeof described, &described), 0);
    ASSERT_GT(described.cAlphaBits, 0);
    ASSERT_TRUE(SetPixelFormat(dc, format, &wanted));

    HT_Device_Data* device = test_device::create();
    ASSERT_NE(device, nullptr);
    test_device::attach(device, window, 16, 16);
    test_device::set_buffer_depth(device, 16);
    HT_Option_Value off(HT_OPTION_TYPE_BOOLEAN, 1);
    off.set_as_boolean(0, false);
    device->option_tables[0].find(HT_String("Fast Readback"))->set(off);
    device->start_device();
    HT_Rendition rendition;
    device->actions.draw_dc_rectangle.function(device, &rendition, 0, 15, 0, 15);  // the far depth

    // An image whose pixels carry alpha 0 but the first, and a strip in a
    // colour whose alpha byte is 0.
    const uint32_t pixels[4] = {HT_Make_RGB32(255, 0, 0, 255), HT_Make_RGB32(255, 0, 0, 0),
                                HT_Make_RGB32(0, 255, 0, 0), HT_Make_RGB32(0, 255, 0, 0)};
    const HT_Point3D start{2, 13, 0}, end{3, 12, 0};
    device->actions.draw_dc_image.function(device, &rendition, &start, &end, 8, pixels);
    rendition.color.color = HT_Make_RGB32(0, 0, 255, 0);
    const HT_Point3D strip[4] = {{8, 0, 10}, {16, 0, 10}, {8, 8, 10}, {16, 8, 10}};
    device->actions.draw_dc_polytriangle.function(device, &rendition, 4, strip);

    HT_Shared_Image read;
    const HT_Point3D all_start{0, 15, 0}, all_end{15, 0, 0};
    device->actions.read_dc_color.function(device, &rendition, &all_start, &all_end, read);
    ASSERT_FALSE(read.is_null());
    ASSERT_NE(read->pixels(), nullptr);
    auto at = [&](int x, int y) {
        return reinterpret_cast<const uint32_t*>(read->pixels() + (15 - y) * read->row_bytes())[x];
    };
    EXPECT_EQ(at(3, 13), HT_Make_RGB32(255, 0, 0, 255));
    EXPECT_EQ(at(2, 12), HT_Make_RGB32(0, 255, 0, 255));
    EXPECT_EQ(at(12, 4), HT_Make_RGB32(0, 0, 255, 255));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(at(x, y) >> 24, 0xFFu) << x << "," << y;

    test_device::destroy(device);
    ReleaseDC(window, dc);
    winx::destroy_window(window);
}
