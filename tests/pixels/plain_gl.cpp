// The plain OpenGL 1.1 layer (see plain_gl.h).
#include "tests/pixels/plain_gl.h"

#include "platform/gl_layers.h"

namespace {

winx::Gl_Layer plain_layer;

const GLubyte* plain_get_string(GLenum name) {
    if (name == GL_VERSION) return reinterpret_cast<const GLubyte*>("1.1 plain");
    if (name == GL_EXTENSIONS) return reinterpret_cast<const GLubyte*>("GL_EXT_texture GL_EXT_bgra_not");
    return plain_layer.below().GetString(name);
}

}  // namespace

Plain_Gl_Layer::Plain_Gl_Layer() {
    plain_layer.entries.GetString = plain_get_string;
    winx::install_gl_layer(&plain_layer, winx::Gl_Layer_Place::top);
}

Plain_Gl_Layer::~Plain_Gl_Layer() { winx::remove_gl_layer(&plain_layer); }
