// The pixel formats of the screen as WGL numbers them: 1-based positions in
// the default screen's list of window-capable RGBA GLX framebuffer configs,
// those whose visual has the screen's depth first. Private to platform/.
#pragma once

#include <vector>

#include <GL/glx.h>

namespace winx::wgl {

struct Pixel_Format {
    GLXFBConfig config = nullptr;
    XVisualInfo visual{};
    int bits_per_pixel = 0;  // what X stores per pixel at the visual's depth
    bool double_buffer = false;
    bool stereo = false;
    int red_bits = 0, green_bits = 0, blue_bits = 0, alpha_bits = 0;
    int accum_red_bits = 0, accum_green_bits = 0, accum_blue_bits = 0, accum_alpha_bits = 0;
    int depth_bits = 0;
    int stencil_bits = 0;
    int aux_buffers = 0;
};

// The table, built on first use.
const std::vector<Pixel_Format>& pixel_formats(Display* display);

// The format with a 1-based index, or null for an index outside the table.
const Pixel_Format* find_pixel_format(Display* display, int index);

}  // namespace winx::wgl
