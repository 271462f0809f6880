// The direct-OpenGL baseline window (see direct_gl.h).
#include "bench/direct_gl.h"

#include <cstdint>

#include "platform/gl.h"
#include "platform/winx.h"
#include "viewer/gl_context.h"

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
    context_ = make_current_gl_context(dc_, 16, 16, error);
    if (context_ == nullptr) return false;

    load_device_coordinates(width, height, buffer_depth);
    glShadeModel(GL_FLAT);
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
