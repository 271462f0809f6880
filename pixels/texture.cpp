// Textured triangle strips: drawn with the context's texture, which is
// loaded again only when the rendition names another texture; strips whose
// texture or rendition OpenGL cannot reproduce go, on the render thread, to
// the host's standard routine. The host's call is carried to the render
// thread like every pixel operation.
#include "batch/pattern_tests.h"
#include "driver/actions.h"
#include "driver/device.h"
#include "host/standard.h"
#include "pixels/texture.h"
#include "platform/gl.h"

namespace {

// What the host draws itself: its own face pattern or any other outside the
// stipple table (as for polytriangles), mirrored or decal wrapping, a texture
// interpolation other than plain, or no texture at all.
bool needs_standard_routine(const HT_Texture* texture, const HT_Rendition& rendition) {
    if (!opengl_draws_face(rendition)) return true;
    if (texture == nullptr) return true;
    if (texture->wrap_s == HT_WRAP_DECAL || texture->wrap_t == HT_WRAP_DECAL) return true;
    if (texture->wrap_s == HT_WRAP_MIRRORED_REPEAT || texture->wrap_t == HT_WRAP_MIRRORED_REPEAT) {
        return true;
    }
    return rendition.surface.texture_interpolation != 0;
}

bool is_stipple_pattern(int32_t face_pattern) {
    return face_pattern >= 0 && face_pattern < FACE_STIPPLE_COUNT && face_pattern != SOLID_FACE_PATTERN;
}

// The rendition's own stipple, loaded unless OpenGL has it already.
void load_face_stipple(OGL_Device_Data* device, int32_t face_pattern) {
    if (device->current_state.face_pattern == face_pattern) return;
    glPolygonStipple(device->face_stipples[face_pattern]);
    device->current_state.face_pattern = face_pattern;
}

void draw_strip(int count, const HT_Point3D* points, const HT_RGB32* colors,
                const HT_Parameter* parameters) {
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i < count; ++i) {
        glTexCoord2fv(&parameters[i].s);
        glColor3ub(HT_Red(colors[i]), HT_Green(colors[i]), HT_Blue(colors[i]));
        glVertex3fv(&points[i].x);
    }
    glEnd();
}

}  // namespace

void OGL_Draw_DC_Textured_Polytriangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                       int count, const HT_Point3D* points, const HT_RGB32* colors,
                                       const HT_Parameter* parameters, const float* vertex_values) {
    OGL_Device_Data* device = static_cast<OGL_Device_Data*>(renderer);
    Render_Command& command = device->command;
    if (!command.in_render_thread) {
        command.rendition = rendition;
        command.point_count = count;
        command.start_point = points;
        command.point_colors = colors;
        command.parameters = parameters;
        command.vertex_values = vertex_values;
        device->post_command(CMD_TEXTURED_TRIANGLES);
        return;
    }

    if (count < 3 || rendition == nullptr || points == nullptr || colors == nullptr ||
        parameters == nullptr) {
        return;
    }
    const int32_t face_pattern = rendition->face.pattern;
    // Held, and so kept alive, until the strip is drawn; released on every
    // way out.
    const HT_Texture_Handle texture_handle = rendition->color.texture.texture_handle();
    if (needs_standard_routine(texture_handle.get(), *rendition)) {
        HD_Standard_Draw_DC_Textured_Polytriangle(renderer, rendition, count, points, colors,
                                                  parameters, vertex_values);
        return;
    }
    const HT_Shared_Image image = texture_handle->image();

    if (device->current_state.shade_model != GL_SMOOTH) {
        device->current_state.shade_model = GL_SMOOTH;
        glShadeModel(GL_SMOOTH);
    }
    const bool stippled = is_stipple_pattern(face_pattern);
    if (stippled) {
        load_face_stipple(device, face_pattern);
        glEnable(GL_POLYGON_STIPPLE);
    }

    // Identifier 0 names no texture in particular, so it is never taken as
    // already loaded.
    const int32_t texture_id = rendition->color.texture.id;
    if (texture_id != device->loaded_texture_id || texture_id == 0) {
        if (!OGL_Load_Texture_Image(image, texture_handle->wrap_s == HT_WRAP_REPEAT,
                                    texture_handle->wrap_t == HT_WRAP_REPEAT)) {
            // Without its image the strip would show another texture.
            if (stippled) glDisable(GL_POLYGON_STIPPLE);
            HD_Standard_Draw_DC_Textured_Polytriangle(renderer, rendition, count, points, colors,
                                                      parameters, vertex_values);
            return;
        }
        device->loaded_texture_id = texture_id;
    }

    glEnable(GL_TEXTURE_2D);
    draw_strip(count, points, colors, parameters);
    glDisable(GL_TEXTURE_2D);
    if (stippled) glDisable(GL_POLYGON_STIPPLE);
    // glColor3ub has changed OpenGL's current colour.
    device->current_state.color = UNSET_COLOR;
}
