// Reading colours out of window snapshots: a pixel counts as a colour when
// each channel lies within a tolerance, so that screens and visuals with
// fewer bits per channel still compare.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "platform/winx.h"

namespace test_support {

constexpr uint32_t BLACK = 0x000000;
constexpr uint32_t RED = 0xFF0000;
constexpr uint32_t GREEN = 0x00FF00;
constexpr uint32_t BLUE = 0x0000FF;

// True when every channel of the 0x00RRGGBB pixel lies within 24 of the
// wanted colour's.
inline bool looks_like(uint32_t pixel, uint32_t wanted) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int have = int((pixel >> shift) & 0xFF);
        const int want = int((wanted >> shift) & 0xFF);
        if (std::abs(have - want) > 24) return false;
    }
    return true;
}

// How many pixels of the snapshot are not black.
inline int lit_pixel_count(const winx::Window_Snapshot& snapshot) {
    int count = 0;
    for (uint32_t pixel : snapshot.pixels)
        if (!looks_like(pixel, BLACK)) ++count;
    return count;
}

}  // namespace test_support
