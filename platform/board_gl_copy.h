// Exact pixel copies for the virtual board's OpenGL driver: reading a block
// of colours or depths with the system libGL (beneath every layer, so that
// no layer sees the board's own calls), and drawing one back at a window
// position so that every pixel or depth value lands exactly as it was read.
// Drawing saves the OpenGL state it has to change and puts it back. Private
// to platform/.
#pragma once

#include <cstdint>

#include "platform/gl.h"

namespace winx {

enum class Board_Plane { colors, depths };

// Window pixels: x from the left, y from the bottom.
struct Board_Block {
    int64_t left = 0;
    int64_t bottom = 0;
    int64_t width = 0;
    int64_t height = 0;
    bool empty() const { return width < 1 || height < 1; }
};

// The window: the current viewport, which the driver keeps on the whole
// window.
Board_Block board_window();

// The part of a block inside the window (empty when they do not meet).
Board_Block clip_block(const Board_Block& block, const Board_Block& window);

// Reads a block inside the window into values (one 32-bit value a pixel,
// bottom row first): colours as red, green, blue, alpha bytes, depths as
// floats. Floats carry every depth of a 16- or 24-bit buffer there and back
// exactly; Mesa's path for unsigned integers is one step off in 24 bits.
void board_read_block(Board_Plane plane, const Board_Block& block, uint32_t* values);

// Draws width x height values (as board_read_block gives them) with their
// lower-left pixel at (left, bottom), inside the window. Colours: no depth
// test, texturing, stipple, blending, dithering or other fragment operation
// alters them. Depths: every value is stored (GL_ALWAYS), colours are not
// written.
void board_draw_block(Board_Plane plane, const Board_Block& block, const uint32_t* values);

}  // namespace winx
