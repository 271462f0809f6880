// The pixel format the driver asks for: a window, OpenGL, RGBA, 16 colour
// and 16 depth bits, and a double buffer when double buffering is on. Tests
// that prepare a window the way the driver will use it ask for the same.
#pragma once

#include "platform/windows.h"

namespace test_support {

inline PIXELFORMATDESCRIPTOR driver_pixel_format_request(bool double_buffer) {
    PIXELFORMATDESCRIPTOR wanted{};
    wanted.nSize = sizeof wanted;
    wanted.nVersion = 1;
    wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | (double_buffer ? PFD_DOUBLEBUFFER : 0u);
    wanted.iPixelType = PFD_TYPE_RGBA;
    wanted.cColorBits = 16;
    wanted.cDepthBits = 16;
    wanted.iLayerType = PFD_MAIN_PLANE;
    return wanted;
}

}  // namespace test_support
