// The checked frames of checked_frames.h.
#include "tests/support/checked_frames.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "host/image.h"
#include "tests/support/test_device.h"

namespace test_support {
namespace {

constexpr int SIZE = 64;
constexpr int IMAGE_SIDE = 8;
// Depths as the read hands them back: device z 0 lies halfway into the
// depth buffer, and the frame's clearing rectangle (like every rectangle)
// lies at its far end.
constexpr uint16_t NEAR_PLANE_DEPTH = 32768;
constexpr uint16_t FAR_DEPTH = 65535;

HT_RGB32 color_of(int object, int frame, int part) {
    return HT_Make_RGB32(uint8_t(40 + object * 13 + part * 29), uint8_t(frame * 7 + part * 41),
                         uint8_t(200 - object * 11 + part * 17));
}

uint32_t rgb(HT_RGB32 color) { return color & 0xFFFFFFu; }

uint32_t image_pixel(int object, int frame, int column, int row) {
    return HT_Make_RGB32(uint8_t(column * 30 + object), uint8_t(row * 30 + frame), uint8_t(object * 15));
}

}  // namespace

Checked_Frames::Checked_Frames(int index) : index_(index) {
    HT_Shared_Image texels({0, 0, 0}, 2, 2, HT_IMAGE_FORMAT_RGB32, 8, nullptr, false);
    for (int i = 0; i < 4; ++i)
        reinterpret_cast<uint32_t*>(texels->pixels())[i] = color_of(index, 0, 9);
    textured_.color.texture.id = 1;
    textured_.color.texture.texture =
        HT_Texture_Handle(new HT_Texture(HT_WRAP_REPEAT, HT_WRAP_REPEAT, texels));
}

bool Checked_Frames::start(std::string* error) {
    Device_Settings settings;
    settings.width = settings.height = SIZE;
    settings.buffer_depth = 16;
    if (!driver_.start(settings)) {
        *error = driver_.error();
        return false;
    }
    // The ordinary read, which hands back the pixels themselves.
    test_device::driver(&driver_.device())->fast_readback = false;
    return true;
}

void Checked_Frames::restart() {
    driver_.device().start_device();
    // A first initialisation reads "Fast Readback" again.
    test_device::driver(&driver_.device())->fast_readback = false;
}

void Checked_Frames::stop() { driver_.stop(); }

std::vector<std::string> Checked_Frames::draw(int frame, bool check) {
    driver_.clear_frame();
    draw_lines(frame);
    draw_strip(frame);
    const HT_Rendition rectangle = solid_rendition(color_of(index_, frame, 4));
    driver_.call(driver_.actions().draw_dc_rectangle, &rectangle, 2, 29, 12, 19);
    draw_image(frame);
    draw_textured_strip();

    const HT_Rendition plain = solid_rendition(0xFFFFFFFFu);
    const HT_Point3D top_left{0, SIZE - 1, 0}, bottom_right{SIZE - 1, 0, 0};
    HT_Shared_Image colors, depths;
    driver_.call(driver_.actions().read_dc_color, &plain, &top_left, &bottom_right, colors);
    driver_.call(driver_.actions().read_dc_depth, &plain, &top_left, &bottom_right, depths);
    driver_.show();
    if (!check) return {};
    return check_frame(frame, colors, depths);
}

// Rows 2 to 5 in one colour under one state key, rows 6 to 9 changing
// colour on every line.
void Checked_Frames::draw_lines(int frame) {
    const HT_Rendition same = solid_rendition(color_of(index_, frame, 0));
    const HT_Rendition first = solid_rendition(color_of(index_, frame, 1));
    const HT_Rendition second = solid_rendition(color_of(index_, frame, 2));
    for (int row = 2; row <= 9; ++row) {
        const HT_Point3D line[2] = {{1.5f, row + 0.5f, 0}, {30.5f, row + 0.5f, 0}};
        const HT_Rendition& rendition = row <= 5 ? same : row % 2 == 0 ? first : second;
        driver_.call(driver_.actions().draw_dc_polyline, &rendition, 2, line);
    }
}

// Columns 34 to 61, rows 2 to 9, every vertex the same colour.
void Checked_Frames::draw_strip(int frame) {
    const HT_Rendition rendition = solid_rendition(0xFFFFFFFFu);
    const HT_Point3D points[4] = {{34, 2, 0}, {62, 2, 0}, {34, 10, 0}, {62, 10, 0}};
    const HT_RGB32 color = color_of(index_, frame, 3);
    const HT_RGB32 colors[4] = {color, color, color, color};
    driver_.call(driver_.actions().draw_dc_gouraud_polytriangle, &rendition, 4, points, colors);
}

// Columns 34 to 41, rows 19 down to 12.
void Checked_Frames::draw_image(int frame) {
    uint32_t pixels[IMAGE_SIDE * IMAGE_SIDE];
    for (int row = 0; row < IMAGE_SIDE; ++row)
        for (int column = 0; column < IMAGE_SIDE; ++column)
            pixels[row * IMAGE_SIDE + column] = image_pixel(index_, frame, column, row);
    const HT_Rendition rendition = solid_rendition(0xFFFFFFFFu);
    const HT_Point3D start{34, 19, 0}, end{41, 12, 0};
    driver_.call(driver_.actions().draw_dc_image, &rendition, &start, &end, IMAGE_SIDE * 4,
                 static_cast<const void*>(pixels));
}

// Columns 2 to 29, rows 22 to 29, the one-colour texture under white
// vertices.
void Checked_Frames::draw_textured_strip() {
    const HT_Point3D points[4] = {{2, 22, 0}, {30, 22, 0}, {2, 30, 0}, {30, 30, 0}};
    const HT_RGB32 white = HT_Make_RGB32(255, 255, 255);
    const HT_RGB32 colors[4] = {white, white, white, white};
    const HT_Parameter parameters[4] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    const float vertex_values[4] = {1, 1, 1, 1};
    driver_.call(driver_.actions().draw_dc_textured_polytriangle, &textured_, 4, points, colors,
                 parameters, vertex_values);
}

std::vector<std::string> Checked_Frames::check_frame(int frame, const HT_Shared_Image& colors,
                                                    const HT_Shared_Image& depths) const {
    std::vector<std::string> failures;
    if (colors.is_null() || colors->pixels() == nullptr || depths.is_null() ||
        depths->pixels() == nullptr) {
        failures.push_back("frame " + std::to_string(frame) + ": nothing read back");
        return failures;
    }
    auto color_at = [&](int x, int y) {
        uint32_t pixel = 0;
        std::memcpy(&pixel, colors->pixels() + (SIZE - 1 - y) * colors->row_bytes() + x * 4, 4);
        return pixel & 0xFFFFFFu;
    };
    auto depth_at = [&](int x, int y) {
        uint16_t value = 0;
        std::memcpy(&value, depths->pixels() + (SIZE - 1 - y) * depths->row_bytes() + x * 2, 2);
        return uint32_t(value);
    };
    // Colours are written as 6 hex digits, depths as decimal numbers.
    auto expect = [&](bool depth, int x, int y, uint32_t wanted, const char* what) {
        const uint32_t have = depth ? depth_at(x, y) : color_at(x, y);
        if (have == wanted) return;
        char text[160];
        std::snprintf(text, sizeof text,
                      depth ? "object %d frame %d: %s depth at (%d, %d) is %u, drew %u"
                            : "object %d frame %d: %s at (%d, %d) is %06x, drew %06x",
                      index_, frame, what, x, y, unsigned(have), unsigned(wanted));
        failures.push_back(text);
    };
    for (int row = 2; row <= 9; ++row) {
        const int part = row <= 5 ? 0 : row % 2 == 0 ? 1 : 2;
        expect(false, 15, row, rgb(color_of(index_, frame, part)), "polyline");
    }
    expect(false, 47, 5, rgb(color_of(index_, frame, 3)), "Gouraud strip");
    expect(false, 15, 15, rgb(color_of(index_, frame, 4)), "rectangle");
    for (int row = 0; row < IMAGE_SIDE; ++row)
        for (int column = 0; column < IMAGE_SIDE; ++column)
            expect(false, 34 + column, 19 - row, rgb(image_pixel(index_, frame, column, row)), "image");
    expect(false, 15, 25, rgb(color_of(index_, 0, 9)), "textured strip");
    expect(false, 50, 40, 0, "background");
    expect(true, 50, 40, FAR_DEPTH, "background");
    expect(true, 15, 15, FAR_DEPTH, "rectangle");
    expect(true, 47, 5, NEAR_PLANE_DEPTH, "Gouraud strip");
    return failures;
}

}  // namespace test_support
