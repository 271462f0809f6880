// Writing a picture as a JPEG file, through stb_image_write.
#pragma once

#include <string>

#include "host/png_io.h"

// False when the file cannot be written.
bool write_jpeg_file(const std::string& path, const Rgba_Image& picture, int quality);
