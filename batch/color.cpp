// The current OpenGL colour and its mirror in current_state.color. Render
// thread only: these issue OpenGL calls. 0xFFFFFFFF in the mirror means the
// colour is not known to be set, so it is never taken as already current.
#include "driver/device.h"
#include "platform/gl.h"

void OGL_Device_Data::set_color(HT_RGB32 color) {
    current_state.color = color;
    glColor4ub(HT_Red(color), HT_Green(color), HT_Blue(color), HT_Alpha(color));
}

void OGL_Device_Data::update_color(HT_RGB32 color) {
    if (current_state.color == color && color != UNSET_COLOR) return;
    set_color(color);
}
