// Loading a host texture image into the context's one texture. The textured
// triangle action itself is declared with the other draw actions in
// driver/actions.h.
#pragma once

#include "host/image.h"

// Loads the image (4-byte pixels, blue, green, red, alpha, top row first) as
// the context's texture, bottom row first and reordered to red, green, blue,
// alpha, and sets its wrap modes: GL_REPEAT where repeat_s or repeat_t is
// set, else GL_CLAMP. Sizes that the OpenGL version cannot take (not powers
// of two before OpenGL 2.0, or beyond its largest texture) are resampled to
// sizes it can. False, with nothing loaded, for a null or empty image, one
// that is not 4-byte colour, or when the conversion buffer cannot be had.
// Render thread only.
bool OGL_Load_Texture_Image(const HT_Shared_Image& image, bool repeat_s, bool repeat_t);
