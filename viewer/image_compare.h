// Comparing two pictures of the same size pixel by pixel, and the
// difference picture: differing pixels bright on a dimmed copy of the first.
#pragma once

#include <cstddef>

#include "host/snapshot_png.h"
#include "platform/winx.h"

struct Image_Difference {
    size_t differing = 0;
    size_t total = 0;
    double percent() const { return total == 0 ? 0.0 : 100.0 * double(differing) / double(total); }
};

// A pixel differs when any channel differs by more than `tolerance`.
// Pictures of different sizes differ in every pixel of the larger one.
Image_Difference compare_images(const winx::Window_Snapshot& a, const winx::Window_Snapshot& b, int tolerance);

// The first picture at a quarter of its brightness, with every differing
// pixel in full magenta.
Rgba_Image difference_picture(const winx::Window_Snapshot& a, const winx::Window_Snapshot& b, int tolerance);
