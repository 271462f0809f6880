// Exact block copies through the system libGL: the fragment operations that
// could alter a pixel are switched off for the draw and put back after it,
// and the matrices are set so that the raster position is a window pixel.
#include "platform/board_gl_copy.h"

#include <algorithm>
#include <cstddef>

#include "platform/gl_layers.h"

namespace winx {
namespace {

// Capabilities that platform/gl.h does not name.
constexpr GLenum CAP_FOG = 0x0B60;
constexpr GLenum CAP_STENCIL_TEST = 0x0B90;
constexpr GLenum CAP_COLOR_LOGIC_OP = 0x0BF2;
constexpr GLenum QUERY_DEPTH_WRITEMASK = 0x0B72;

// Every capability that changes what a drawn pixel stores.
constexpr GLenum fragment_capabilities[] = {
    GL_DEPTH_TEST, GL_TEXTURE_2D, GL_POLYGON_STIPPLE, GL_ALPHA_TEST,   GL_BLEND,
    GL_DITHER,     GL_SCISSOR_TEST, CAP_FOG,           CAP_STENCIL_TEST, CAP_COLOR_LOGIC_OP,
};
constexpr int capability_count = sizeof(fragment_capabilities) / sizeof(fragment_capabilities[0]);

void set_capability(const Gl_Dispatch& gl, GLenum capability, bool on) {
    if (on) gl.Enable(capability);
    else gl.Disable(capability);
}

// The state a block draw changes, as it was, put back on destruction.
class Saved_Draw_State {
public:
    explicit Saved_Draw_State(const Gl_Dispatch& gl) : gl_(gl) {
        for (int i = 0; i < capability_count; ++i) enabled_[i] = gl.IsEnabled(fragment_capabilities[i]);
        gl.GetBooleanv(GL_COLOR_WRITEMASK, color_mask_);
        gl.GetBooleanv(QUERY_DEPTH_WRITEMASK, &depth_mask_);
        gl.GetIntegerv(GL_DEPTH_FUNC, &depth_function_);
        gl.GetIntegerv(GL_MATRIX_MODE, &matrix_mode_);
        gl.GetFloatv(GL_MODELVIEW_MATRIX, modelview_);
        gl.GetFloatv(GL_PROJECTION_MATRIX, projection_);
    }
    ~Saved_Draw_State() {
        for (int i = 0; i < capability_count; ++i) set_capability(gl_, fragment_capabilities[i], enabled_[i]);
        gl_.ColorMask(color_mask_[0], color_mask_[1], color_mask_[2], color_mask_[3]);
        gl_.DepthMask(depth_mask_);
        gl_.DepthFunc(GLenum(depth_function_));
        gl_.MatrixMode(GL_MODELVIEW);
        gl_.LoadMatrixf(modelview_);
        gl_.MatrixMode(GL_PROJECTION);
        gl_.LoadMatrixf(projection_);
        gl_.MatrixMode(GLenum(matrix_mode_));
    }
    Saved_Draw_State(const Saved_Draw_State&) = delete;
    Saved_Draw_State& operator=(const Saved_Draw_State&) = delete;

private:
    const Gl_Dispatch& gl_;
    GLboolean enabled_[capability_count] = {};
    GLboolean color_mask_[4] = {};
    GLboolean depth_mask_ = GL_TRUE;
    GLint depth_function_ = GL_LESS;
    GLint matrix_mode_ = GL_MODELVIEW;
    GLfloat modelview_[16] = {};
    GLfloat projection_[16] = {};
};

// Identity model-view and a projection that maps window pixels onto the
// viewport, so that a raster position is the window pixel it names.
void load_window_matrices(const Gl_Dispatch& gl, const Board_Block& window) {
    const GLfloat to_window[16] = {
        2.0f / GLfloat(window.width), 0, 0, 0,
        0, 2.0f / GLfloat(window.height), 0, 0,
        0, 0, 0, 0,
        -1.0f - 2.0f * GLfloat(window.left) / GLfloat(window.width),
        -1.0f - 2.0f * GLfloat(window.bottom) / GLfloat(window.height), 0, 1,
    };
    gl.MatrixMode(GL_MODELVIEW);
    gl.LoadIdentity();
    gl.MatrixMode(GL_PROJECTION);
    gl.LoadMatrixf(to_window);
}

GLenum format_of(Board_Plane plane) { return plane == Board_Plane::colors ? GL_RGBA : GL_DEPTH_COMPONENT; }
GLenum type_of(Board_Plane plane) { return plane == Board_Plane::colors ? GL_UNSIGNED_BYTE : GL_FLOAT; }

}  // namespace

Board_Block board_window() {
    GLint viewport[4] = {0, 0, 0, 0};
    system_gl().GetIntegerv(GL_VIEWPORT, viewport);
    return Board_Block{viewport[0], viewport[1], viewport[2], viewport[3]};
}

Board_Block clip_block(const Board_Block& block, const Board_Block& window) {
    Board_Block clipped;
    clipped.left = std::max(block.left, window.left);
    clipped.bottom = std::max(block.bottom, window.bottom);
    const int64_t right = std::min(block.left + block.width, window.left + window.width);
    const int64_t top = std::min(block.bottom + block.height, window.bottom + window.height);
    clipped.width = std::max<int64_t>(right - clipped.left, 0);
    clipped.height = std::max<int64_t>(top - clipped.bottom, 0);
    return clipped;
}

static_assert(sizeof(GLfloat) == sizeof(uint32_t), "a depth is kept in one 32-bit value");

void board_read_block(Board_Plane plane, const Board_Block& block, uint32_t* values) {
    // Four bytes a value: rows are packed whatever the pack alignment.
    system_gl().ReadPixels(GLint(block.left), GLint(block.bottom), GLsizei(block.width),
                           GLsizei(block.height), format_of(plane), type_of(plane), values);
}

void board_draw_block(Board_Plane plane, const Board_Block& block, const uint32_t* values) {
    const Gl_Dispatch& gl = system_gl();
    const Board_Block window = board_window();
    if (window.empty()) return;
    Saved_Draw_State saved(gl);
    for (GLenum capability : fragment_capabilities) gl.Disable(capability);
    if (plane == Board_Plane::colors) {
        gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    } else {
        gl.ColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        gl.Enable(GL_DEPTH_TEST);
        gl.DepthFunc(GL_ALWAYS);
        gl.DepthMask(GL_TRUE);
    }
    load_window_matrices(gl, window);
    gl.RasterPos2i(GLint(block.left), GLint(block.bottom));
    gl.DrawPixels(GLsizei(block.width), GLsizei(block.height), format_of(plane), type_of(plane), values);
}

}  // namespace winx
