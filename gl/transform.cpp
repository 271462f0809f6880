// The device transform: device x and y are window pixels from the lower-left
// corner, device z from 0 to 2^buffer_depth - 1 lands on depths 0.5 to 1.0.
// It is loaded as the projection matrix with an identity model-view, and it
// switches the depth test with the depth of device z. The scales themselves
// are set by CMD_INIT (context.cpp).
#include "driver/device.h"
#include "platform/gl.h"

namespace {

// A window side without pixels gets the offset -2 and the scale 0: every
// point then lies outside the clip volume, so nothing is drawn until the
// window has a size, and nothing infinite reaches OpenGL.
float offset_for(int32_t window_side) { return window_side > 0 ? -1.0f : -2.0f; }

}  // namespace

void OGL_Device_Data::load_device_transform() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();

    const bool with_depth = buffer_depth > 1;
    float* m = device_transform;  // column-major: element (row, column) is m[column * 4 + row]
    for (int i = 0; i < 16; ++i) m[i] = 0.0f;
    m[0] = x_scale;
    m[5] = y_scale;
    m[10] = with_depth ? z_scale : 0.0f;
    m[12] = offset_for(viewport_size.x);
    m[13] = offset_for(viewport_size.y);
    m[15] = 1.0f;

    depth_test_enabled = with_depth ? 1 : 0;
    if (with_depth) glEnable(GL_DEPTH_TEST);
    else glDisable(GL_DEPTH_TEST);

    transform_valid = -1;
    glLoadMatrixf(device_transform);
}
