// A window capture as opaque PNG pixels (red, green, blue, alpha bytes, top
// row first), for writing what a window showed.
#pragma once

#include "host/png_io.h"
#include "platform/winx.h"

inline Rgba_Image rgba_of(const winx::Window_Snapshot& snapshot) {
    Rgba_Image image;
    image.width = snapshot.width;
    image.height = snapshot.height;
    image.bytes.reserve(snapshot.pixels.size() * 4);
    for (uint32_t pixel : snapshot.pixels)
        image.bytes.insert(image.bytes.end(), {uint8_t(pixel >> 16), uint8_t(pixel >> 8), uint8_t(pixel), 0xFF});
    return image;
}
