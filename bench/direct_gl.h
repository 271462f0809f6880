// The baseline for drawing benchmarks: an OpenGL context of the benchmark's
// own thread on a window of its own, with the pixel format, the device
// transform and the drawing state that the driver uses, so that the same
// primitives can be drawn by direct OpenGL calls from one thread.
#pragma once

#include <string>

#include "platform/windows.h"

namespace bench {

class Direct_Gl_Window {
public:
    Direct_Gl_Window() = default;
    ~Direct_Gl_Window();
    Direct_Gl_Window(const Direct_Gl_Window&) = delete;
    Direct_Gl_Window& operator=(const Direct_Gl_Window&) = delete;

    // Creates the window and a double-buffered context, makes it current on
    // the calling thread and sets the state: flat shading, depth test with
    // GL_LEQUAL over device z of buffer_depth bits, the vertex array on and
    // the colour array off. False, with a reason, on failure.
    bool start(int width, int height, int buffer_depth, std::string* error);
    void present();

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC context_ = nullptr;
};

}  // namespace bench
