// OpenGL 1.1 as the driver sees it, with the few later entry points it uses
// where the context offers them: every gl* name is an inline call through
// one dispatch table, the way GL loaders do it. The table is filled from the
// system libGL; layers (the board's OpenGL driver, the board-request guard,
// a recorder for tests) can sit in front of it. Types and constants are the
// OpenGL ones, declared here so that no system GL header is needed.
#pragma once

#include <cstdint>

typedef unsigned int GLenum;
typedef unsigned char GLboolean;
typedef unsigned int GLbitfield;
typedef void GLvoid;
typedef signed char GLbyte;
typedef short GLshort;
typedef int GLint;
typedef int GLsizei;
typedef unsigned char GLubyte;
typedef unsigned short GLushort;
typedef unsigned int GLuint;
typedef float GLfloat;
typedef float GLclampf;
typedef double GLdouble;
typedef double GLclampd;

#define GL_FALSE 0
#define GL_TRUE 1
#define GL_NO_ERROR 0
#define GL_INVALID_ENUM 0x0500
#define GL_INVALID_VALUE 0x0501
#define GL_INVALID_OPERATION 0x0502

#define GL_POINTS 0x0000
#define GL_LINES 0x0001
#define GL_LINE_LOOP 0x0002
#define GL_LINE_STRIP 0x0003
#define GL_TRIANGLES 0x0004
#define GL_TRIANGLE_STRIP 0x0005
#define GL_TRIANGLE_FAN 0x0006
#define GL_QUADS 0x0007

#define GL_NEVER 0x0200
#define GL_LESS 0x0201
#define GL_EQUAL 0x0202
#define GL_LEQUAL 0x0203
#define GL_GREATER 0x0204
#define GL_NOTEQUAL 0x0205
#define GL_GEQUAL 0x0206
#define GL_ALWAYS 0x0207

#define GL_FRONT 0x0404
#define GL_BACK 0x0405
#define GL_FRONT_AND_BACK 0x0408

#define GL_CULL_FACE 0x0B44
#define GL_LINE_STIPPLE 0x0B24
#define GL_POLYGON_STIPPLE 0x0B42
#define GL_DEPTH_TEST 0x0B71
#define GL_ALPHA_TEST 0x0BC0
#define GL_SCISSOR_TEST 0x0C11
#define GL_NORMALIZE 0x0BA1
#define GL_TEXTURE_2D 0x0DE1
#define GL_DITHER 0x0BD0
#define GL_BLEND 0x0BE2

#define GL_LINE_WIDTH 0x0B21
#define GL_LINE_STIPPLE_PATTERN 0x0B25
#define GL_LINE_STIPPLE_REPEAT 0x0B26
#define GL_POLYGON_MODE 0x0B40
#define GL_SHADE_MODEL 0x0B54
#define GL_DEPTH_FUNC 0x0B74
#define GL_DEPTH_CLEAR_VALUE 0x0B73
#define GL_CURRENT_COLOR 0x0B00
#define GL_CURRENT_RASTER_POSITION 0x0B07
#define GL_MATRIX_MODE 0x0BA0
#define GL_VIEWPORT 0x0BA2
#define GL_MODELVIEW_MATRIX 0x0BA6
#define GL_PROJECTION_MATRIX 0x0BA7
#define GL_COLOR_CLEAR_VALUE 0x0C22
#define GL_COLOR_WRITEMASK 0x0C23
#define GL_DRAW_BUFFER 0x0C01
#define GL_READ_BUFFER 0x0C02
#define GL_DOUBLEBUFFER 0x0C32
#define GL_UNPACK_ALIGNMENT 0x0CF5
#define GL_UNPACK_ROW_LENGTH 0x0CF2
#define GL_PACK_ALIGNMENT 0x0D05
#define GL_MAX_TEXTURE_SIZE 0x0D33
#define GL_DEPTH_BITS 0x0D56
#define GL_ALPHA_BITS 0x0D55
#define GL_RED_BITS 0x0D52
#define GL_PERSPECTIVE_CORRECTION_HINT 0x0C50
#define GL_FASTEST 0x1101
#define GL_NICEST 0x1102
#define GL_DONT_CARE 0x1100

#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_TEXTURE 0x1702

#define GL_FLAT 0x1D00
#define GL_SMOOTH 0x1D01

#define GL_POINT 0x1B00
#define GL_LINE 0x1B01
#define GL_FILL 0x1B02

#define GL_BYTE 0x1400
#define GL_UNSIGNED_BYTE 0x1401
#define GL_SHORT 0x1402
#define GL_UNSIGNED_SHORT 0x1403
#define GL_INT 0x1404
#define GL_UNSIGNED_INT 0x1405
#define GL_FLOAT 0x1406

#define GL_DEPTH_COMPONENT 0x1902
#define GL_RED 0x1903
#define GL_ALPHA 0x1906
#define GL_RGB 0x1907
#define GL_RGBA 0x1908
#define GL_BGRA 0x80E1

#define GL_VERTEX_ARRAY 0x8074
#define GL_COLOR_ARRAY 0x8076
#define GL_TEXTURE_COORD_ARRAY 0x8078

#define GL_COLOR_BUFFER_BIT 0x00004000
#define GL_DEPTH_BUFFER_BIT 0x00000100
#define GL_STENCIL_BUFFER_BIT 0x00000400

#define GL_TEXTURE_ENV 0x2300
#define GL_TEXTURE_ENV_MODE 0x2200
#define GL_MODULATE 0x2100
#define GL_DECAL 0x2101
#define GL_REPLACE 0x1E01
#define GL_TEXTURE_MAG_FILTER 0x2800
#define GL_TEXTURE_MIN_FILTER 0x2801
#define GL_TEXTURE_WRAP_S 0x2802
#define GL_TEXTURE_WRAP_T 0x2803
#define GL_NEAREST 0x2600
#define GL_LINEAR 0x2601
#define GL_CLAMP 0x2900
#define GL_REPEAT 0x2901
#define GL_TEXTURE_WIDTH 0x1000
#define GL_TEXTURE_HEIGHT 0x1001

#define GL_VENDOR 0x1F00
#define GL_RENDERER 0x1F01
#define GL_VERSION 0x1F02
#define GL_EXTENSIONS 0x1F03

// Every OpenGL entry point that the project calls, once:
// X(return type, name without "gl", parameter list, argument list).
#define WINX_GL_FUNCTIONS(X)                                                                   \
    X(void, Viewport, (GLint x, GLint y, GLsizei width, GLsizei height), (x, y, width, height)) \
    X(void, Enable, (GLenum cap), (cap))                                                        \
    X(void, Disable, (GLenum cap), (cap))                                                       \
    X(GLboolean, IsEnabled, (GLenum cap), (cap))                                                \
    X(GLenum, GetError, (void), ())                                                             \
    X(void, ClearColor, (GLclampf r, GLclampf g, GLclampf b, GLclampf a), (r, g, b, a))         \
    X(void, ClearStencil, (GLint s), (s))                                                       \
    X(void, ClearDepth, (GLclampd depth), (depth))                                              \
    X(void, Clear, (GLbitfield mask), (mask))                                                   \
    X(void, PolygonMode, (GLenum face, GLenum mode), (face, mode))                              \
    X(void, ShadeModel, (GLenum mode), (mode))                                                  \
    X(void, DepthFunc, (GLenum func), (func))                                                   \
    X(void, DepthMask, (GLboolean flag), (flag))                                                \
    X(void, DepthRange, (GLclampd n, GLclampd f), (n, f))                                       \
    X(void, ColorMask, (GLboolean r, GLboolean g, GLboolean b, GLboolean a), (r, g, b, a))      \
    X(void, EnableClientState, (GLenum array), (array))                                         \
    X(void, DisableClientState, (GLenum array), (array))                                        \
    X(void, CullFace, (GLenum mode), (mode))                                                    \
    X(void, LineWidth, (GLfloat width), (width))                                                \
    X(void, LineStipple, (GLint factor, GLushort pattern), (factor, pattern))                   \
    X(void, PolygonStipple, (const GLubyte* mask), (mask))                                      \
    X(void, GetPolygonStipple, (GLubyte * mask), (mask))                                        \
    X(void, Color4ub, (GLubyte r, GLubyte g, GLubyte b, GLubyte a), (r, g, b, a))               \
    X(void, Color3ub, (GLubyte r, GLubyte g, GLubyte b), (r, g, b))                             \
    X(void, DrawBuffer, (GLenum mode), (mode))                                                  \
    X(void, ReadBuffer, (GLenum mode), (mode))                                                  \
    X(void, TexEnvi, (GLenum target, GLenum pname, GLint param), (target, pname, param))        \
    X(void, PixelStorei, (GLenum pname, GLint param), (pname, param))                           \
    X(void, TexParameteri, (GLenum target, GLenum pname, GLint param), (target, pname, param))  \
    X(void, GetTexParameteriv, (GLenum target, GLenum pname, GLint * params),                   \
      (target, pname, params))                                                                  \
    X(void, GetTexLevelParameteriv, (GLenum target, GLint level, GLenum pname, GLint * params), \
      (target, level, pname, params))                                                           \
    X(void, GetTexImage,                                                                        \
      (GLenum target, GLint level, GLenum format, GLenum type, GLvoid * pixels),                \
      (target, level, format, type, pixels))                                                    \
    X(void, TexImage2D,                                                                         \
      (GLenum target, GLint level, GLint internal_format, GLsizei width, GLsizei height,        \
       GLint border, GLenum format, GLenum type, const GLvoid* pixels),                         \
      (target, level, internal_format, width, height, border, format, type, pixels))           \
    X(void, Hint, (GLenum target, GLenum mode), (target, mode))                                 \
    X(void, Finish, (void), ())                                                                 \
    X(void, Flush, (void), ())                                                                  \
    X(void, MatrixMode, (GLenum mode), (mode))                                                  \
    X(void, LoadIdentity, (void), ())                                                           \
    X(void, LoadMatrixf, (const GLfloat* m), (m))                                               \
    X(void, VertexPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid* pointer),    \
      (size, type, stride, pointer))                                                            \
    X(void, ColorPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid* pointer),     \
      (size, type, stride, pointer))                                                            \
    X(void, TexCoordPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid* pointer),  \
      (size, type, stride, pointer))                                                            \
    X(void, DrawArrays, (GLenum mode, GLint first, GLsizei count), (mode, first, count))        \
    X(void, DrawElements, (GLenum mode, GLsizei count, GLenum type, const GLvoid* indices),     \
      (mode, count, type, indices))                                                             \
    X(void, Begin, (GLenum mode), (mode))                                                       \
    X(void, End, (void), ())                                                                    \
    X(void, Vertex2i, (GLint x, GLint y), (x, y))                                               \
    X(void, Vertex3i, (GLint x, GLint y, GLint z), (x, y, z))                                   \
    X(void, Vertex3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))                             \
    X(void, Vertex3fv, (const GLfloat* v), (v))                                                 \
    X(void, TexCoord2fv, (const GLfloat* v), (v))                                               \
    X(void, RasterPos2i, (GLint x, GLint y), (x, y))                                            \
    X(void, RasterPos3i, (GLint x, GLint y, GLint z), (x, y, z))                                \
    X(void, PixelZoom, (GLfloat x_factor, GLfloat y_factor), (x_factor, y_factor))              \
    X(void, Bitmap,                                                                             \
      (GLsizei width, GLsizei height, GLfloat x_origin, GLfloat y_origin, GLfloat x_move,       \
       GLfloat y_move, const GLubyte* bitmap),                                                  \
      (width, height, x_origin, y_origin, x_move, y_move, bitmap))                              \
    X(void, DrawPixels,                                                                         \
      (GLsizei width, GLsizei height, GLenum format, GLenum type, const GLvoid* pixels),        \
      (width, height, format, type, pixels))                                                    \
    X(void, ReadPixels,                                                                         \
      (GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,             \
       GLvoid * pixels),                                                                        \
      (x, y, width, height, format, type, pixels))                                              \
    X(void, GetIntegerv, (GLenum pname, GLint * params), (pname, params))                       \
    X(void, GetFloatv, (GLenum pname, GLfloat * params), (pname, params))                       \
    X(void, GetBooleanv, (GLenum pname, GLboolean * params), (pname, params))                   \
    X(const GLubyte*, GetString, (GLenum name), (name))

// Entry points of later versions or of extensions, in the same form: null
// in the table where libGL has none under the name or its "EXT" name. Having
// the entry point is not enough to call it: the context must offer the
// version or extension too.
#define WINX_GL_OPTIONAL_FUNCTIONS(X)                                                          \
    X(void, MultiDrawArrays,                                                                    \
      (GLenum mode, const GLint* first, const GLsizei* count, GLsizei draw_count),              \
      (mode, first, count, draw_count))

// One table of entry points. A layer is a table whose entries do their own
// work and then call the table below it.
struct Gl_Dispatch {
#define WINX_GL_TABLE_ENTRY(ret, name, params, args) ret(*name) params;
    WINX_GL_FUNCTIONS(WINX_GL_TABLE_ENTRY)
    WINX_GL_OPTIONAL_FUNCTIONS(WINX_GL_TABLE_ENTRY)
#undef WINX_GL_TABLE_ENTRY
};

namespace winx {
// The table that the gl* names call: the top layer. Filled from the system
// libGL on first use.
const Gl_Dispatch& gl();
}  // namespace winx

#define WINX_GL_INLINE_CALL(ret, name, params, args) \
    inline ret gl##name params { return winx::gl().name args; }
WINX_GL_FUNCTIONS(WINX_GL_INLINE_CALL)
WINX_GL_OPTIONAL_FUNCTIONS(WINX_GL_INLINE_CALL)
#undef WINX_GL_INLINE_CALL
