// The parts of the start-up board checks that stand on their own: the free
// video memory test through DirectDraw. The checks themselves, in their
// order, are OGL_Device_Data::run_board_checks (board_checks.cpp).
#pragma once

#include <cstdint>

#include "platform/windows.h"

enum class Free_Video_Memory {
    enough,      // every surface the test asked for was allocated
    too_little,  // a surface could not be allocated now
    no_directdraw,  // DirectDraw, its cooperative level or DirectDraw 2 is unusable
};

// Tries to allocate screen-sized off-screen surfaces in video memory: one at
// 32 bits per pixel, two (a back buffer and a 16-bit depth buffer) otherwise.
// Everything it obtains is released before it returns, whatever the outcome.
Free_Video_Memory test_free_video_memory(HWND desktop, uint32_t width, uint32_t height,
                                         uint32_t bits_per_pixel);
