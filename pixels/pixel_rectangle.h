// The pixel rectangle of an image, read or write: the corners truncated
// toward zero, its size, and the part of it inside the window. Coordinates
// that are not numbers make the rectangle empty; absurd ones are held to a
// range in which sizes and offsets cannot overflow. Nothing here touches
// OpenGL.
#pragma once

#include <cstdint>

#include "host/types.h"

struct Pixel_Rectangle {
    int32_t left = 0;    // x of the first column
    int32_t top = 0;     // y of the first row (rows run downward from it)
    int32_t width = 0;   // 0 when the rectangle is empty
    int32_t height = 0;

    bool empty() const { return width < 1 || height < 1; }
    int32_t right() const { return left + width - 1; }
    int32_t bottom() const { return top - height + 1; }
};

// trunc(value), held to +-(2^30 - 1); not-a-number gives 0.
int32_t truncate_coordinate(float value);

// From the upper-left start corner and the lower-right end corner: left =
// trunc(start.x), top = trunc(start.y), width = trunc(end.x) - left + 1,
// height = top - trunc(end.y) + 1, both 0 where they would be below 1 or a
// coordinate is not a number.
Pixel_Rectangle pixel_rectangle(const HT_Point3D& start, const HT_Point3D& end);

// The part of the rectangle inside a window of the given size (columns 0 to
// width - 1, rows 0 to height - 1); empty when they do not meet.
Pixel_Rectangle clip_to_window(const Pixel_Rectangle& rectangle, HT_Int_XY window_size);

// The rectangle's top row counted from the top of the window, as board
// requests give it: height - 1 - the truncated top row, for every request.
// Reads, marked images and depth writes must agree on it, or a restore at a
// fractional start y lands one row off what was read.
int32_t row_from_top(const Pixel_Rectangle& rectangle, HT_Int_XY window_size);
