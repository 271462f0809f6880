// Choosing the pixel format nearest the wish and making a context with it.
#include "viewer/gl_context.h"

#include <cstdint>

#include "platform/gl.h"

HGLRC make_current_gl_context(HDC dc, int color_bits, int depth_bits, std::string* error) {
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof(format);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = BYTE(color_bits);
    format.cDepthBits = BYTE(depth_bits);
    format.iLayerType = PFD_MAIN_PLANE;
    const int index = dc != nullptr ? ChoosePixelFormat(dc, &format) : 0;
    if (index == 0 || DescribePixelFormat(dc, index, sizeof(format), &format) == 0 ||
        !SetPixelFormat(dc, index, &format)) {
        *error = "no OpenGL pixel format for the window";
        return nullptr;
    }
    HGLRC context = wglCreateContext(dc);
    if (context != nullptr && wglMakeCurrent(dc, context)) return context;
    if (context != nullptr) wglDeleteContext(context);
    *error = "no OpenGL context for the window";
    return nullptr;
}

void load_device_coordinates(int width, int height, int buffer_depth) {
    const bool depth_tested = buffer_depth > 1;
    const float z_scale = depth_tested ? 1.0f / float((uint64_t(1) << buffer_depth) - 1) : 0.0f;
    const float transform[16] = {2.0f / float(width), 0, 0, 0, 0, 2.0f / float(height), 0, 0,
                                 0, 0, z_scale, 0, -1, -1, 0, 1};
    glViewport(0, 0, width, height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(transform);
    if (depth_tested) glEnable(GL_DEPTH_TEST);
    else glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
}
