// A renderer object on a window of its own, for the pixel tests: images are
// drawn and read through the host's action table, the frame is checked from
// the window itself, and the driver's fields are reached by casting.
#pragma once

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "driver/device.h"
#include "host/image.h"
#include "host/rendition.h"
#include "platform/gl_layers.h"
#include "platform/winx.h"

// 4-byte pixels as the host stores them: blue, green, red, alpha.
inline uint32_t host_pixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 255) {
    return HT_Make_RGB32(red, green, blue, alpha);
}

class Pixel_Test : public testing::Test {
protected:
    void TearDown() override;

    // Creates the window and the object, and starts it with "Fast Readback"
    // off; false on failure.
    bool open(int width, int height, int buffer_depth);
    // What an accelerating board with "Fast Readback" on gives (set after
    // the start, which reads the options).
    void use_board(bool fast_readback);

    void draw_image(HT_Point3D start, HT_Point3D end, int row_step, const void* pixels);
    void write_depth(HT_Point3D start, HT_Point3D end, int row_step, const uint16_t* values);
    void read_color(HT_Point3D start, HT_Point3D end, HT_Shared_Image& result);
    void read_depth(HT_Point3D start, HT_Point3D end, HT_Shared_Image& result);

    // The whole window read through the driver's ordinary paths, top row
    // first; "Fast Readback" is off for these reads and put back after them.
    std::vector<uint32_t> read_all_colors();
    std::vector<uint16_t> read_all_depths();
    // Sets every depth of the window to the farthest, through the ordinary
    // depth write (the driver itself never clears depth).
    void clear_depth();

    // Presents the frame and captures what the window shows.
    winx::Window_Snapshot present();

    HT_Device_Data* device = nullptr;
    OGL_Device_Data* object = nullptr;
    HWND window = nullptr;
    int width = 0;
    int height = 0;
    HT_Rendition rendition;
};

// A pixel of an image read back: x and y from the image's upper-left pixel.
uint32_t color_at(const HT_Shared_Image& image, int x, int y);
uint16_t depth_at(const HT_Shared_Image& image, int x, int y);

// The recorded calls of one name, in order.
std::vector<winx::Gl_Call> calls_named(const std::vector<winx::Gl_Call>& calls, const char* name);
