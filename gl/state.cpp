// The driver's initial OpenGL state, set once for every new rendering
// context: the line and face stipple tables, the fixed state the drawing code
// relies on, the state mirrors, black colour buffers and the draw and read
// buffers. The matrices are left to load_device_transform (transform.cpp).
#include <cstring>

#include "driver/device.h"
#include "platform/gl.h"

namespace {

const Line_Stipple LINE_STIPPLE_TABLE[LINE_STIPPLE_COUNT] = {
    {1, 0xFFFF},  // solid
    {2, 0x1F1F}, {2, 0x3333}, {2, 0x31FF}, {2, 0x367F},
    {2, 0x6DBF}, {2, 0x1FFF}, {9, 0x77FF}, {9, 0x6DFF},
};

// Mid grey with an alpha byte of 0: the colour until the first draw sets one.
const HT_RGB32 INITIAL_COLOR = 0x808080;

// The host's 8 x 8 pattern tiled 4 x 4 into a 32 x 32 polygon stipple: stipple
// row r is pattern row r mod 8, its byte repeated across the row's 4 bytes.
void tile_face_pattern(const uint8_t* pattern, uint8_t* stipple) {
    for (int row = 0; row < 32; ++row) {
        // A pattern the host does not supply is drawn solid.
        const uint8_t bits = pattern != nullptr ? pattern[row % 8] : 0xFF;
        std::memset(stipple + row * 4, bits, 4);
    }
}

}  // namespace

void OGL_Device_Data::init_gl_state() {
    choose_batch_draw();
    std::memcpy(line_stipples, LINE_STIPPLE_TABLE, sizeof line_stipples);
    for (int i = 0; i < FACE_STIPPLE_COUNT; ++i) tile_face_pattern(face_patterns[i], face_stipples[i]);

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearStencil(0);
    glClearDepth(1.0);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_NORMALIZE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    current_state.shade_model = GL_FLAT;
    glShadeModel(GL_FLAT);
    pending_state.shade_model = GL_FLAT;

    depth_test_enabled = 1;
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);

    color_array_enabled = true;
    glEnableClientState(GL_COLOR_ARRAY);
    vertex_array_enabled = true;
    glEnableClientState(GL_VERTEX_ARRAY);

    glCullFace(GL_BACK);
    glDisable(GL_CULL_FACE);

    // OpenGL refuses a width of 0 and keeps its default of 1; the mirror
    // records what was asked for.
    current_state.line_weight = 0;
    glLineWidth(0.0f);
    pending_state.line_weight = 0;
    current_state.line_pattern = SOLID_LINE_PATTERN;
    glLineStipple(line_stipples[SOLID_LINE_PATTERN].factor, line_stipples[SOLID_LINE_PATTERN].pattern);
    pending_state.line_pattern = SOLID_LINE_PATTERN;

    pending_state.color = INITIAL_COLOR;
    set_color(INITIAL_COLOR);
    glDisable(GL_LINE_STIPPLE);

    current_state.face_pattern = SOLID_FACE_PATTERN;
    glPolygonStipple(face_stipples[SOLID_FACE_PATTERN]);
    pending_state.face_pattern = SOLID_FACE_PATTERN;
    glDisable(GL_POLYGON_STIPPLE);

    // Both colour buffers start black; depth and stencil are cleared by the
    // host's own drawing.
    glDrawBuffer(GL_FRONT_AND_BACK);
    glClear(GL_COLOR_BUFFER_BIT);
    // A single-buffered context refuses this and keeps reading the front.
    glReadBuffer(GL_BACK);
    glDrawBuffer(double_buffering ? GL_BACK : GL_FRONT);

    glDisable(GL_ALPHA_TEST);
    // Texturing and pixel transfers: rows are tightly packed, textures
    // modulate the vertex colour and repeat, sampled at the nearest texel.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
    glDisable(GL_TEXTURE_2D);
    glFinish();
}
