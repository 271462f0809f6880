// The pixel tests' renderer object and window.
#include "tests/pixels/pixel_fixture.h"

#include <cstring>

#include "tests/support/test_device.h"

void Pixel_Test::TearDown() {
    if (device != nullptr) test_device::destroy(device);
    if (window != nullptr) winx::destroy_window(window);
}

bool Pixel_Test::open(int window_width, int window_height, int buffer_depth) {
    width = window_width;
    height = window_height;
    window = winx::create_window(width, height, "pixels");
    if (window == nullptr) return false;
    device = test_device::create();
    if (device == nullptr) return false;
    object = test_device::driver(device);
    test_device::attach(device, window, width, height);
    test_device::set_buffer_depth(device, buffer_depth);
    device->start_device();
    // The ordinary paths, unless a test asks for the board.
    object->fast_readback = false;
    return object->gl_context != nullptr;
}

void Pixel_Test::use_board(bool fast_readback) {
    object->software_emulation = 0;
    object->fast_readback = fast_readback;
}

void Pixel_Test::draw_image(HT_Point3D start, HT_Point3D end, int row_step, const void* pixels) {
    auto& action = device->actions.draw_dc_image;
    action.function(action.object, &rendition, &start, &end, row_step, pixels);
}

void Pixel_Test::write_depth(HT_Point3D start, HT_Point3D end, int row_step, const uint16_t* values) {
    auto& action = device->actions.write_dc_depth;
    action.function(action.object, &rendition, &start, &end, row_step, values);
}

void Pixel_Test::read_color(HT_Point3D start, HT_Point3D end, HT_Shared_Image& result) {
    auto& action = device->actions.read_dc_color;
    action.function(action.object, &rendition, &start, &end, result);
}

void Pixel_Test::read_depth(HT_Point3D start, HT_Point3D end, HT_Shared_Image& result) {
    auto& action = device->actions.read_dc_depth;
    action.function(action.object, &rendition, &start, &end, result);
}

std::vector<uint32_t> Pixel_Test::read_all_colors() {
    const bool fast = object->fast_readback;
    object->fast_readback = false;
    HT_Shared_Image image;
    read_color({0, float(height - 1), 0}, {float(width - 1), 0, 0}, image);
    object->fast_readback = fast;
    std::vector<uint32_t> colors;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) colors.push_back(color_at(image, x, y));
    return colors;
}

std::vector<uint16_t> Pixel_Test::read_all_depths() {
    const bool fast = object->fast_readback;
    object->fast_readback = false;
    HT_Shared_Image image;
    read_depth({0, float(height - 1), 0}, {float(width - 1), 0, 0}, image);
    object->fast_readback = fast;
    std::vector<uint16_t> depths;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) depths.push_back(depth_at(image, x, y));
    return depths;
}

void Pixel_Test::clear_depth() {
    const bool fast = object->fast_readback;
    object->fast_readback = false;
    std::vector<uint16_t> farthest(size_t(width) * size_t(height), 0xFFFF);
    write_depth({0, float(height - 1), 0}, {float(width - 1), 0, 0}, 0, farthest.data());
    object->fast_readback = fast;
}

winx::Window_Snapshot Pixel_Test::present() {
    device->show_frame(0);
    winx::Window_Snapshot snapshot;
    winx::capture_window(window, &snapshot);
    return snapshot;
}

uint32_t color_at(const HT_Shared_Image& image, int x, int y) {
    uint32_t pixel = 0;
    std::memcpy(&pixel, image->pixels() + y * image->row_bytes() + x * 4, 4);
    return pixel;
}

uint16_t depth_at(const HT_Shared_Image& image, int x, int y) {
    uint16_t depth = 0;
    std::memcpy(&depth, image->pixels() + y * image->row_bytes() + x * 2, 2);
    return depth;
}

std::vector<winx::Gl_Call> calls_named(const std::vector<winx::Gl_Call>& calls, const char* name) {
    std::vector<winx::Gl_Call> named;
    for (const winx::Gl_Call& call : calls)
        if (call.name == name) named.push_back(call);
    return named;
}
