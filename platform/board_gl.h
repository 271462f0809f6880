// The virtual board's own OpenGL driver: it carries out the board requests
// that the board-request guard hands it (platform/gl_layers.h). For each
// rendering context it keeps the colours of the last FAST_READ_COLOR and the
// depths of the last FAST_READ_DEPTH, read with the real glReadPixels, and
// puts them back, exactly as read, for a FAST_DRAW_COLOR or FAST_WRITE_DEPTH
// of a rectangle of the same size. Requests with another code, or with
// nothing kept for their size, change nothing. The handler is installed when
// libwinx is loaded.
#pragma once

#include "platform/board_memory.h"
#include "platform/gl_layers.h"

namespace winx {

// The request codes the board understands.
constexpr uint32_t board_fast_read_color = 6156;
constexpr uint32_t board_fast_read_depth = 6157;
constexpr uint32_t board_fast_draw_color = 6158;
constexpr uint32_t board_fast_write_depth = 6159;

// Carries out one request; the request's y is its rectangle's top row counted
// from the top of the window (the viewport). Runs on the thread that made
// the request, with the request's context current. It is the handler that
// libwinx installs; tests that replace the handler put this one back.
void carry_out_board_request(const Board_Request& request);

}  // namespace winx
