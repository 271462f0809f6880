// A window with a pixel format and a current context, for the platform
// tests that draw: the steps the driver takes, in its order.
#pragma once

#include <gtest/gtest.h>

#include "platform/gl.h"
#include "platform/winx.h"
#include "tests/support/pixel_format_request.h"
#include "tests/support/screen_depth.h"

namespace platform_test {

struct Gl_Window {
    HWND window = nullptr;
    HDC dc = nullptr;
    int format = 0;
    HGLRC context = nullptr;

    // True when every step worked; the window is current on this thread.
    bool open(int width, int height, bool double_buffer = true) {
        window = winx::create_window(width, height, "platform test");
        dc = GetDC(window);
        const PIXELFORMATDESCRIPTOR wanted = test_support::driver_pixel_format_request(double_buffer);
        format = ChoosePixelFormat(dc, &wanted);
        if (format == 0 || !SetPixelFormat(dc, format, &wanted)) return false;
        context = wglCreateContext(dc);
        return context != nullptr && wglMakeCurrent(dc, context);
    }

    ~Gl_Window() {
        wglMakeCurrent(nullptr, nullptr);
        if (context != nullptr) wglDeleteContext(context);
        if (window != nullptr) winx::destroy_window(window);
    }
};

// Channels of two 0x00RRGGBB colours differ by at most `slack`.
inline bool near_colour(uint32_t a, uint32_t b, int slack = 8) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int difference = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (difference > slack || difference < -slack) return false;
    }
    return true;
}

}  // namespace platform_test
