// CMD_INIT on the render thread: the first time it reads the host's settings,
// sets the window's pixel format, creates the rendering context and puts it
// into the driver's initial state; every later time it adjusts only what
// changed (depth of device z, window size, "Fast Readback", a context that is
// no longer current). A CMD_INIT that finds nothing changed makes no OpenGL
// call. CMD_EXIT deletes the context here too.
#include <algorithm>

#include "driver/device.h"
#include "platform/gl.h"

namespace {

// Device z has at most 32 bits; deeper values act as 32, and negative ones
// mean no depth at all.
constexpr int32_t MAX_BUFFER_DEPTH = 32;

int32_t read_buffer_depth(const OGL_Device_Data& device, HT_Option_Value* value) {
    device.find_option_value(HT_String("Buffer Depth"), value);
    return std::clamp(value->as_int(0), int32_t{0}, MAX_BUFFER_DEPTH);
}

bool read_fast_readback(const OGL_Device_Data& device, HT_Option_Value* value) {
    device.find_option_value(HT_String("Fast Readback"), value);
    return value->as_boolean(0);
}

// The host's window size; a negative side is taken as 0 (no pixels).
HT_Int_XY window_size(const OGL_Device_Data& device) {
    HT_Int_XY size = device.current_options.window_size();
    return HT_Int_XY{std::max(size.x, 0), std::max(size.y, 0)};
}

// 2 / side, or 0 for a side without pixels (the transform then draws nothing).
float scale_for(int32_t side) { return side > 0 ? 2.0f / float(side) : 0.0f; }

// 2^depth - 1, formed in 64 bits so that depths of 31 and 32 bits keep their
// value; exact in float32 up to 24 bits, the nearest float32 beyond.
float largest_device_z(int32_t depth) { return float((uint64_t{1} << depth) - 1u); }

void discard_gl_error() { glGetError(); }

}  // namespace

int OGL_Device_Data::init_context() {
    HT_Option_Value value;
    if (gl_context == nullptr) {
        discard_gl_error();
        buffer_depth = read_buffer_depth(*this, &value);
        z_scale = buffer_depth >= 2 ? 1.0f / largest_device_z(buffer_depth) : 0.0f;
        max_depth_value = largest_device_z(buffer_depth);
        viewport_size = window_size(*this);
        x_scale = scale_for(viewport_size.x);
        y_scale = scale_for(viewport_size.y);
        transform_valid = 0;
        fast_readback = read_fast_readback(*this, &value);
        device_context = reinterpret_cast<HDC>(device_options.context_id());

        discard_gl_error();
        set_pixel_format();
        discard_gl_error();

        gl_context = wglCreateContext(device_context);
        // A new context holds no texture image.
        loaded_texture_id = 0;
        if (!wglMakeCurrent(device_context, gl_context)) {
            GetLastError();
            // A context that cannot be made current is of no use: the next
            // CMD_INIT starts over from the pixel format.
            if (gl_context != nullptr) wglDeleteContext(gl_context);
            gl_context = nullptr;
        }

        discard_gl_error();
        init_gl_state();
        discard_gl_error();
        glViewport(0, 0, viewport_size.x, viewport_size.y);
        load_device_transform();
        if (glGetError() != GL_NO_ERROR) discard_gl_error();
        transform_valid = -1;
        return 0;
    }

    const int32_t depth = read_buffer_depth(*this, &value);
    if (depth != buffer_depth) {
        buffer_depth = depth;
        if (depth >= 2) {
            z_scale = 1.0f / largest_device_z(depth);
            if (depth_test_enabled != 1) {
                depth_test_enabled = 1;
                glEnable(GL_DEPTH_TEST);
            }
            max_depth_value = largest_device_z(depth);
        } else {
            z_scale = 0.0f;
            if (depth_test_enabled != 0) {
                depth_test_enabled = 0;
                glDisable(GL_DEPTH_TEST);
            }
        }
        transform_valid = 0;
        load_device_transform();
    }

    const HT_Int_XY size = window_size(*this);
    const bool resized = size.x != viewport_size.x || size.y != viewport_size.y;
    if (resized) {
        viewport_size = size;
        transform_valid = 0;
        loaded_texture_id = 0;
        x_scale = scale_for(size.x);
        y_scale = scale_for(size.y);
        glViewport(0, 0, size.x, size.y);
        load_device_transform();
    }

    fast_readback = read_fast_readback(*this, &value);

    if (wglGetCurrentContext() != gl_context) {
        // The old context is not current on this thread and belongs to no
        // other: it goes once the new one is bound, so contexts do not pile up.
        HGLRC replaced = gl_context;
        gl_context = wglCreateContext(device_context);
        loaded_texture_id = 0;
        if (!wglMakeCurrent(device_context, gl_context)) {
            GetLastError();
            if (gl_context != nullptr) wglDeleteContext(gl_context);
            gl_context = nullptr;
        }
        wglMakeCurrent(device_context, gl_context);
        wglDeleteContext(replaced);
        init_gl_state();
        // Images, depth writes and textured strips may come before the next
        // batch and draw with the new context's matrices too: load them now.
        load_device_transform();
    }

    if (resized) glViewport(0, 0, viewport_size.x, viewport_size.y);
    return 0;
}

void OGL_Device_Data::release_context() {
    if (gl_context == nullptr) return;
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(gl_context);
    gl_context = nullptr;
}
