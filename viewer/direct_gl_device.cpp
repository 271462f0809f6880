// Each action is the OpenGL a careful programmer writes for it: strips from
// client arrays with one glDrawArrays, dots and lines between glBegin and
// glEnd, the shade model and arrays set for every call.
#include "viewer/direct_gl_device.h"

#include <cstdint>
#include <vector>

#include "platform/gl.h"
#include "viewer/gl_context.h"

namespace {

Direct_Gl_Device* direct(HT_Renderer_Data* renderer) { return static_cast<Direct_Gl_Device*>(renderer); }

void color_of(HT_RGB32 color) { glColor4ub(HT_Red(color), HT_Green(color), HT_Blue(color), HT_Alpha(color)); }

// A strip from client arrays, one glDrawArrays: the points as they are,
// the colours turned from the host's blue-green-red order into OpenGL's.
void strip(HT_Renderer_Data* renderer, int count, const HT_Point3D* points, const HT_RGB32* colors,
           const HT_Parameter* parameters) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(HT_Point3D), points);
    if (colors != nullptr) {
        std::vector<uint8_t>& rgba = direct(renderer)->color_buffer(count);
        for (int i = 0; i < count; ++i) {
            rgba[4 * size_t(i)] = HT_Red(colors[i]);
            rgba[4 * size_t(i) + 1] = HT_Green(colors[i]);
            rgba[4 * size_t(i) + 2] = HT_Blue(colors[i]);
            rgba[4 * size_t(i) + 3] = HT_Alpha(colors[i]);
        }
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_UNSIGNED_BYTE, 0, rgba.data());
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
    }
    if (parameters != nullptr) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, sizeof(HT_Parameter), parameters);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glDrawArrays(GL_TRIANGLE_STRIP, 0, count);
}

void rectangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int left, int right, int bottom, int top) {
    if (rendition == nullptr) return;
    const float z = direct(renderer)->far_depth();
    glShadeModel(GL_FLAT);
    color_of(rendition->color.color);
    glDepthFunc(GL_ALWAYS);
    glBegin(GL_TRIANGLES);
    glVertex3f(float(left), float(bottom), z);
    glVertex3f(float(left), float(top + 1), z);
    glVertex3f(float(right + 1), float(top + 1), z);
    glVertex3f(float(left), float(bottom), z);
    glVertex3f(float(right + 1), float(top + 1), z);
    glVertex3f(float(right + 1), float(bottom), z);
    glEnd();
    glDepthFunc(GL_LEQUAL);
}

void polyline(HT_Renderer_Data*, const HT_Rendition* rendition, int count, const HT_Point3D* points) {
    if (rendition == nullptr || points == nullptr || count < 2) return;
    glShadeModel(GL_FLAT);
    color_of(rendition->color.color);
    glBegin(GL_LINE_STRIP);
    for (int i = 0; i < count; ++i) glVertex3f(points[i].x, points[i].y, points[i].z);
    glEnd();
}

void colorized_dot(HT_Renderer_Data*, const HT_Rendition* rendition, const HT_Point3D* point, const HT_RGB32* color) {
    if (rendition == nullptr || point == nullptr || color == nullptr) return;
    glShadeModel(GL_FLAT);
    glBegin(GL_POINTS);
    color_of(*color);
    glVertex3f(point->x, point->y, point->z);
    glEnd();
}

void dot(HT_Renderer_Data* renderer, const HT_Rendition* rendition, const HT_Point3D* point) {
    if (rendition != nullptr) colorized_dot(renderer, rendition, point, &rendition->color.color);
}

void polytriangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count, const HT_Point3D* points) {
    if (rendition == nullptr || points == nullptr || count < 3) return;
    glShadeModel(GL_FLAT);
    color_of(rendition->color.color);
    strip(renderer, count, points, nullptr, nullptr);
}

// Flat: each triangle takes the colour of its last vertex, as OpenGL's
// flat shading does.
void colorized_polytriangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count, const HT_Point3D* points,
                            const HT_RGB32* colors, char one_color) {
    if (rendition == nullptr || points == nullptr || colors == nullptr || count < 3) return;
    glShadeModel(GL_FLAT);
    if (one_color != 0) {
        color_of(colors[0]);
        strip(renderer, count, points, nullptr, nullptr);
    } else {
        strip(renderer, count, points, colors, nullptr);
    }
}

void gouraud_polytriangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count, const HT_Point3D* points,
                          const HT_RGB32* colors) {
    if (rendition == nullptr || points == nullptr || colors == nullptr || count < 3) return;
    glShadeModel(GL_SMOOTH);
    strip(renderer, count, points, colors, nullptr);
}

void textured_polytriangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count,
                           const HT_Point3D* points, const HT_RGB32* colors, const HT_Parameter* parameters,
                           const float*) {
    if (rendition == nullptr || points == nullptr || colors == nullptr || parameters == nullptr || count < 3) return;
    const bool textured = direct(renderer)->load_texture(rendition->color.texture.texture.get());
    glShadeModel(GL_SMOOTH);
    if (textured) glEnable(GL_TEXTURE_2D);
    strip(renderer, count, points, colors, parameters);
    glDisable(GL_TEXTURE_2D);
}

GLint wrap_of(int32_t mode) { return mode == HT_WRAP_REPEAT ? GL_REPEAT : GL_CLAMP; }

}  // namespace

Direct_Gl_Device::Direct_Gl_Device() {
    HT_Install_Action(this, actions.draw_dc_rectangle, &rectangle);
    HT_Install_Action(this, actions.draw_dc_dot, &dot);
    HT_Install_Action(this, actions.draw_dc_colorized_dot, &colorized_dot);
    HT_Install_Action(this, actions.draw_dc_polyline, &polyline);
    HT_Install_Action(this, actions.draw_dc_polytriangle, &polytriangle);
    HT_Install_Action(this, actions.draw_dc_colorized_polytriangle, &colorized_polytriangle);
    HT_Install_Action(this, actions.draw_dc_gouraud_polytriangle, &gouraud_polytriangle);
    HT_Install_Action(this, actions.draw_dc_textured_polytriangle, &textured_polytriangle);
}

Direct_Gl_Device::~Direct_Gl_Device() {
    if (context_ != nullptr) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(context_);
    }
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
}

bool Direct_Gl_Device::attach(HWND window, int width, int height, int buffer_depth, std::string* error) {
    window_ = window;
    dc_ = GetDC(window);
    buffer_depth_ = buffer_depth;
    context_ = make_current_gl_context(dc_, 24, buffer_depth > 1 ? buffer_depth : 16, error);
    if (context_ == nullptr) return false;
    current_options.set_window_size({width, height});
    current_options.set_buffer_depth(buffer_depth);

    far_depth_ = buffer_depth > 1 ? float((uint64_t(1) << buffer_depth) - 1) : 0.0f;
    load_device_coordinates(width, height, buffer_depth);
    glDisable(GL_DITHER);
    glDisable(GL_LINE_STIPPLE);
    glDisable(GL_POLYGON_STIPPLE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDrawBuffer(GL_BACK);
    return true;
}

void Direct_Gl_Device::show_frame(int) {
    glFlush();
    SwapBuffers(dc_);
}

// The host image is stored top row first; texture row t = 0 is its bottom
// row. OpenGL takes red, green, blue, alpha.
bool Direct_Gl_Device::load_texture(const HT_Texture* texture) {
    if (texture == nullptr) return false;
    if (texture == loaded_texture_) return loaded_usable_;
    loaded_texture_ = texture;
    loaded_usable_ = false;
    const HT_Shared_Image image = texture->image();
    if (image.is_null() || image->pixels() == nullptr || image->format() != HT_IMAGE_FORMAT_RGB32 ||
        image->width() < 1 || image->height() < 1)
        return false;
    const int width = image->width(), height = image->height();
    std::vector<uint8_t> texels(size_t(width) * size_t(height) * 4);
    for (int t = 0; t < height; ++t) {
        const uint8_t* row = image->pixels() + ptrdiff_t(height - 1 - t) * image->row_bytes();
        for (int s = 0; s < width; ++s) {
            uint8_t* texel = &texels[(size_t(t) * size_t(width) + size_t(s)) * 4];
            texel[0] = row[4 * s + 2];
            texel[1] = row[4 * s + 1];
            texel[2] = row[4 * s];
            texel[3] = row[4 * s + 3];
        }
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap_of(texture->wrap_s));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap_of(texture->wrap_t));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    loaded_usable_ = true;
    return true;
}
