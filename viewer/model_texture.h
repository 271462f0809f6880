// Decoding a texture image into the host's pixel layout, from a file or
// from bytes in memory: every format stb_image reads (PNG, JPEG, TGA, BMP,
// GIF, PSD, HDR, PIC, PNM). Finding the file is texture_path.h's business.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "viewer/model.h"

// The largest side of a texture the viewer keeps: larger images are left out
// rather than held in memory for a window of a few hundred pixels.
constexpr int MODEL_TEXTURE_SIDE_LIMIT = 8192;

// False, with stb_image's reason in `reason`, when the image cannot be read.
bool decode_texture_file(const std::string& path, Model_Texture* texture, std::string* reason);
bool decode_texture_memory(const uint8_t* data, size_t size, Model_Texture* texture, std::string* reason);
