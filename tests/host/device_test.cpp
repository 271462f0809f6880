// The host's renderer classes: storage, the device's defaults, and the base
// implementations of the virtual operations that a driver keeps.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "host/device.h"

namespace {

int bits_set(const uint8_t* pattern) {
    int bits = 0;
    for (int row = 0; row < 8; ++row)
        for (int bit = 0; bit < 8; ++bit) bits += (pattern[row] >> bit) & 1;
    return bits;
}

}  // namespace

TEST(HostObject, StorageComesFromTheHostAndNeverThrows) {
    HT_Device_Data* device = new HT_Device_Data;
    ASSERT_NE(device, nullptr);
    HT_Renderer_Data* renderer = device;
    EXPECT_EQ(HT_Device_Of(renderer), device);
    delete renderer;  // through slot 0 and HT_Object::operator delete

    HT_Renderer_Data plain;
    EXPECT_EQ(HT_Device_Of(&plain), nullptr);
    EXPECT_EQ(HT_Object::operator new(SIZE_MAX), nullptr);
}

TEST(DeviceData, DefaultsBufferDepthAndFacePatterns) {
    HT_Device_Data device;
    ASSERT_NE(device.option_definitions.find("Buffer Depth"), nullptr);
    EXPECT_EQ(device.option_definitions.find("Buffer Depth")->type(), HT_OPTION_TYPE_INTEGER);
    HT_Option* depth = device.option_tables[0].find("Buffer Depth");
    ASSERT_NE(depth, nullptr);
    EXPECT_EQ(depth->value().as_int(0), 24);
    EXPECT_EQ(device.option_tables[1].size(), 0u);
    EXPECT_EQ(device.actions.draw_dc_polyline.function, nullptr);
    EXPECT_EQ(device.actions.finish_dc_drawing.object, nullptr);

    std::set<std::vector<uint8_t>> designs;
    for (int i = 0; i < HT_FACE_PATTERN_COUNT; ++i) {
        ASSERT_NE(device.face_patterns[i], nullptr) << i;
        designs.insert(std::vector<uint8_t>(device.face_patterns[i], device.face_patterns[i] + 8));
    }
    EXPECT_EQ(designs.size(), size_t(HT_FACE_PATTERN_COUNT)) << "every pattern is its own design";
    for (int row = 0; row < 8; ++row) EXPECT_EQ(device.face_patterns[HT_SOLID_FACE_PATTERN][row], 0xFF);
    // The shade ramp grows one cell at a time towards the solid pattern.
    for (int i = 0; i < HT_SOLID_FACE_PATTERN; ++i) EXPECT_EQ(bits_set(device.face_patterns[i]), i) << i;
}

TEST(DeviceData, ValidatesUserPatterns) {
    HT_Device_Data device;
    HT_Line_Rendition line;
    EXPECT_FALSE(device.validate_line_pattern_lengths(line));
    line.dashes = {4, 2};
    EXPECT_TRUE(device.validate_line_pattern_lengths(line));
    line.dashes = {4, 0};
    EXPECT_FALSE(device.validate_line_pattern_lengths(line));
    line.dashes = {4, -3};
    EXPECT_FALSE(device.validate_line_pattern_lengths(line));
    line.dashes.assign(HT_MAX_DASHES, 1);
    EXPECT_TRUE(device.validate_line_pattern_lengths(line));
    line.dashes.push_back(1);
    EXPECT_FALSE(device.validate_line_pattern_lengths(line));

    HT_Face_Rendition face;
    EXPECT_FALSE(device.validate_face_pattern_bits(face));
    face.user_rows[31] = 1;
    EXPECT_TRUE(device.validate_face_pattern_bits(face));
}

TEST(DeviceData, OptimizingKeepsCurrentOptionsInRange) {
    HT_Device_Data device;
    device.current_options.set_window_size({-5, 40});
    device.current_options.set_buffer_depth(99);
    device.current_options.set_pixel_aspect(-2.0f);
    device.current_options.set_color_system(HT_Color_System(7));
    device.current_options.set_clipping_fudge({NAN, 0.5f, -0.5f, INFINITY});
    device.optimize_current_renderer_options();
    EXPECT_EQ(device.current_options.window_size().x, 0);
    EXPECT_EQ(device.current_options.window_size().y, 40);
    EXPECT_FLOAT_EQ(device.current_options.pixel_aspect(), 1.0f);
    EXPECT_FLOAT_EQ(device.current_options.clipping_fudge().left, 0.0f);
    EXPECT_FLOAT_EQ(device.current_options.clipping_fudge().right, 0.5f);
    EXPECT_FLOAT_EQ(device.current_options.clipping_fudge().top, 0.0f);
    EXPECT_EQ(device.current_options.buffer_depth(), 99) << "the renderer part leaves the depth alone";

    device.optimize_current_options();
    EXPECT_EQ(device.current_options.buffer_depth(), 32);
    EXPECT_EQ(device.current_options.color_system(), HT_COLOR_SYSTEM_RGB);
    device.current_options.set_buffer_depth(-1);
    device.current_options.set_pixel_aspect(NAN);
    device.optimize_current_options();
    EXPECT_EQ(device.current_options.buffer_depth(), 0);
    EXPECT_FLOAT_EQ(device.current_options.pixel_aspect(), 1.0f);
}

TEST(DeviceData, UserConfigurationCountsTheOptionsSwitchedOn) {
    HT_Device_Data device;
    EXPECT_EQ(device.query_user_configuration(), 1);  // "Buffer Depth" is 24
    HT_Option_Definition* flag = device.option_definitions.add(
        HT_Option_Definition("Dithering", HT_OPTION_TYPE_BOOLEAN, 1, HT_OPTION_SCOPE_DEVICE));
    HT_Option* dithering =
        device.option_tables[0].add(HT_Option(flag, HT_Option_Value(HT_OPTION_TYPE_BOOLEAN, 1)));
    EXPECT_EQ(device.query_user_configuration(), 1);
    HT_Option_Value on(HT_OPTION_TYPE_BOOLEAN, 1);
    on.set_as_boolean(0, true);
    dithering->set(on);
    EXPECT_EQ(device.query_user_configuration(), 2);

    HT_Renderer_Data plain;
    EXPECT_EQ(plain.query_user_configuration(), 0);
}
