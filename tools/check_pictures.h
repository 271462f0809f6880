// Pictures of what the tools look at, as RGBA images for PNG files: a host
// image, and the difference picture that marks a failing pixel (a window
// snapshot's is host/snapshot_png.h's rgba_of). Writing them is the
// caller's business.
#pragma once

#include "host/image.h"
#include "host/png_io.h"

// A colour image as it is, alpha kept; a depth image as grey from each
// value's high byte (near is dark), opaque. No pixels for an image without
// memory.
Rgba_Image host_image_picture(const HT_Image& image);
// A copy dimmed to a quarter, with the pixel at (column, row), top row 0,
// pure red and a yellow square frame four pixels around it, so that one
// pixel can be found in a large picture.
Rgba_Image difference_picture(const Rgba_Image& picture, int column, int row);
