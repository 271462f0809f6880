// Decoding a texture image (PNG or JPEG, through stb_image) into the host's
// pixel layout, from a file or from bytes in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "viewer/model.h"

// The largest side of a texture the viewer keeps: larger images are left out
// rather than held in memory for a window of a few hundred pixels.
constexpr int MODEL_TEXTURE_SIDE_LIMIT = 8192;

bool decode_texture_file(const std::string& path, Model_Texture* texture);
bool decode_texture_memory(const uint8_t* data, size_t size, Model_Texture* texture);
