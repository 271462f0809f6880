// What a new renderer object reports about its screen, and the options it
// registers.
#include <gtest/gtest.h>

#include "platform/winx.h"
#include "tests/support/test_device.h"

namespace {

bool boolean_option(const HT_Option_Table& table, const char* name, bool* value) {
    const HT_Option* option = table.find(HT_String(name));
    if (option == nullptr) return false;
    *value = option->value().as_boolean(0);
    return true;
}

}  // namespace

TEST(Options, ReportedFiguresDescribeTheDesktopNotTheWindow) {
    winx::Screen_Info screen;
    ASSERT_TRUE(winx::screen_info(&screen));
    HT_Device_Data* device = test_device::create();
    ASSERT_NE(device, nullptr);
    HWND window = winx::create_window(200, 100, "options");
    test_device::attach(device, window, 200, 100);
    device->start_device();

    HT_Renderer_Options& reported = device->options_record();
    EXPECT_EQ(&device->renderer_options_record(), &reported);
    EXPECT_EQ(reported.window_size().x, screen.width);
    EXPECT_EQ(reported.window_size().y, screen.height);
    EXPECT_EQ(reported.window_origin().x, 0);
    EXPECT_EQ(reported.window_origin().y, 0);
    EXPECT_EQ(reported.buffer_depth(), 16);
    EXPECT_EQ(reported.color_system(), HT_COLOR_SYSTEM_RGB);
    EXPECT_EQ(reported.pixel_aspect(), 1.0f);
    HT_Float_Rectangle fudge = reported.clipping_fudge();
    EXPECT_EQ(fudge.left, -0.4999f);
    EXPECT_EQ(fudge.right, 0.4999f);
    EXPECT_EQ(fudge.bottom, -0.4999f);
    EXPECT_EQ(fudge.top, 0.4999f);
    EXPECT_EQ(device->device_options.polyline_point_limit, 300);
    EXPECT_EQ(device->device_options.polytriangle_point_limit, 300);
    EXPECT_EQ(&device->device_option_table(), &device->physical_option_table);
    EXPECT_EQ(device->query_reserved(), 0);

    test_device::destroy(device);
    winx::destroy_window(window);
}

TEST(Options, ThreeBooleanOptionsInBothTablesAllTrue) {
    // The host's own tables, to count what the driver adds.
    HT_Device_Data plain;
    const HT_Device_Data* reference = &plain;
    HT_Device_Data* device = test_device::create();
    ASSERT_NE(device, nullptr);

    EXPECT_EQ(device->option_definitions.size(), reference->option_definitions.size() + 3);
    for (int table = 0; table < 2; ++table) {
        SCOPED_TRACE(table);
        EXPECT_EQ(device->option_tables[table].size(), reference->option_tables[table].size() + 3);
        for (const char* name : {"Double Buffering", "Dithering", "Fast Readback"}) {
            bool value = false;
            ASSERT_TRUE(boolean_option(device->option_tables[table], name, &value)) << name;
            EXPECT_TRUE(value) << name;
            const HT_Option_Definition* definition = device->option_definitions.find(HT_String(name));
            ASSERT_NE(definition, nullptr) << name;
            EXPECT_EQ(definition->type(), HT_OPTION_TYPE_BOOLEAN);
            EXPECT_EQ(definition->count(), 1);
            EXPECT_EQ(definition->scope(), HT_OPTION_SCOPE_DEVICE);
            EXPECT_EQ(device->option_tables[table].find(HT_String(name))->definition(), definition);
        }
    }
    test_device::destroy(device);
}

// Every CMD_INIT looks up "Buffer Depth" and "Fast Readback" with counted
// handles and releases both again: the counts of the values the host holds
// are where they were, however often the device starts.
TEST(Options, StartsReleaseTheValuesTheyLookUp) {
    HT_Device_Data* device = test_device::create();
    ASSERT_NE(device, nullptr);
    HWND window = winx::create_window(32, 32, "options");
    ASSERT_NE(window, nullptr);
    const HDC dc = test_device::attach(device, window, 32, 32);
    test_device::set_buffer_depth(device, 16);
    const HT_Option_Value depth = device->option_tables[0].find(HT_String("Buffer Depth"))->value();
    const HT_Option_Value fast = device->option_tables[0].find(HT_String("Fast Readback"))->value();
    const int32_t depth_count = depth->reference_count();
    const int32_t fast_count = fast->reference_count();
    for (int start = 0; start < 3; ++start) {
        EXPECT_EQ(device->start_device(), 0);
        EXPECT_EQ(depth->reference_count(), depth_count) << start;
        EXPECT_EQ(fast->reference_count(), fast_count) << start;
    }
    EXPECT_EQ(test_device::driver(device)->buffer_depth, 16);
    test_device::destroy(device);
    ReleaseDC(window, dc);
    winx::destroy_window(window);
}
