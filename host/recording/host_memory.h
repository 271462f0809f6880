// What a pixel transfer reads of the host's memory, worked out as the driver
// works it out, and a copy of host memory that cannot fault. The driver
// reads the rectangle the corners give (truncated toward zero), held to the
// window the device was last started with, in the rows the row step lays
// out; the recorder reads no more.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/types.h"

// A transfer's rectangle and the part of it inside the window.
struct Transfer_Reach {
    // The whole rectangle: left column, top row, size (0 when empty).
    int32_t left = 0, top = 0, width = 0, height = 0;
    // The part inside the window, in columns and rows counted from the
    // rectangle's left column and top row.
    int32_t visible_column = 0, visible_row = 0, visible_width = 0, visible_height = 0;

    bool empty() const { return width < 1 || height < 1; }
    bool visible() const { return visible_width > 0 && visible_height > 0; }
};

// As the driver takes the corners: not-a-number gives an empty rectangle,
// other values are truncated and held to +-(2^30 - 1).
Transfer_Reach transfer_reach(const HT_Point3D& start, const HT_Point3D& end, HT_Int_XY window);

// Copies `size` bytes from the host's memory; the bytes that cannot be read
// are left as they were. False when any could not be read.
bool copy_host_memory_safely(void* target, const void* source, size_t size);
