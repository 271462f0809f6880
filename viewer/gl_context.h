// A double-buffered RGBA OpenGL context on a window's device context, made
// current on the calling thread, and the device coordinates loaded into it:
// what the direct-OpenGL references (the viewer's and the benchmarks') draw
// with.
#pragma once

#include <string>

#include "platform/windows.h"

// Null, with the reason, when no pixel format or context can be had.
HGLRC make_current_gl_context(HDC dc, int color_bits, int depth_bits, std::string* error);

// The viewport over the window and the matrices that map device points (x
// and y in window pixels from the lower-left corner, z over 2^depth - 1)
// onto it, device z landing on depths 0.5 to 1.0; with a depth under 2
// every point lies at 0.5 and the depth test is off, else on with GL_LEQUAL.
void load_device_coordinates(int width, int height, int buffer_depth);
