// Private requests to the board's own OpenGL driver. They travel through
// glReadPixels whose destination is a request block: ten words that all hold
// BOARD_REQUEST_MARKER except word 2, which holds the request code. The board
// driver recognises such a block and carries the request out itself; the
// block is never filled with pixels. What the board does with a request is
// the board's business, not this file's.
#pragma once

#include <cstdint>

#include "driver/device.h"
#include "platform/gl.h"

constexpr uint32_t BOARD_REQUEST_MARKER = 0xF00DF00Du;
constexpr int BOARD_REQUEST_CODE_WORD = 2;

enum Board_Request_Code : uint32_t {
    FAST_READ_COLOR = 6156,
    FAST_READ_DEPTH = 6157,
    FAST_DRAW_COLOR = 6158,
    FAST_WRITE_DEPTH = 6159,
};

// Fills the object's own request block with the marker and the code, then
// hands it to the board through glReadPixels. y_from_top is the rectangle's
// top row counted from the top of the window. Render thread only; no lock
// is taken.
void send_board_request(OGL_Device_Data* device, Board_Request_Code code, int32_t x,
                        int32_t y_from_top, int32_t width, int32_t height, GLenum format);
