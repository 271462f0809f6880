// The direct-OpenGL baseline window (see direct_gl.h).
#include "bench/direct_gl.h"

#include <cstdint>

#include "platform/gl.h"
#include "platform/winx.h"

namespace bench {

Direct_Gl_Window::~Direct_Gl_Window() {
    if (context_ != nullptr) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(context_);
    }
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
    if (window_ != nullptr) winx::destroy_window(window_);
}

bool Direct_Gl_Window::start(int width, int height, int buffer_depth, std::string* error) {
    window_ = winx::create_window(width, height, "tovrek bench: direct OpenGL");
    if (window_ == nullptr) {
        *error = "cannot create the window";
        return false;
    }
    dc_ = GetDC(window_);
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof(format);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 16;
    format.cDepthBits = 16;
    format.iLayerType = PFD_MAIN_PLANE;
    const int index = ChoosePixelFormat(dc_, &format);
    if (index == 0 || DescribePixelFormat(dc_, index, sizeof(format), &format) == 0 ||
        !SetPixelFormat(dc_, index, &format)) {
        *error = "no pixel format";
        return false;
    }
    context_ = wglCreateContext(dc_);
    if (context_ == nullptr || !wglMakeCurrent(dc_, context_)) {
        *error = "no context";
        return false;
    }

    // Device coordinates: x and y in window pixels, z over 2^depth - 1.
    const float z_scale = 1.0f / float((int64_t(1) << buffer_depth) - 1);
    const float transform[16] = {2.0f / float(width), 0, 0, 0, 0, 2.0f / float(height), 0, 0,
                                 0, 0, z_scale, 0, -1, -1, 0, 1};
    glViewport(0, 0, width, height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(transform);
    glShadeModel(GL_FLAT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_LINE_STIPPLE);
    glDisable(GL_POLYGON_STIPPLE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDrawBuffer(GL_BACK);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

void Direct_Gl_Window::present() {
    glFlush();
    SwapBuffers(dc_);
}

}  // namespace bench
