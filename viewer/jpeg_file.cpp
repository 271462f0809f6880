// The JPEG encoder of stb_image_write, alone in this file: it shifts
// negative coefficients to the left, which every compiler does as two's
// complement but the undefined-behaviour sanitizer reports, so this file is
// built without that one check (viewer/CMakeLists.txt).
#include "viewer/jpeg_file.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

bool write_jpeg_file(const std::string& path, const Rgba_Image& picture, int quality) {
    return stbi_write_jpg(path.c_str(), picture.width, picture.height, 4, picture.bytes.data(), quality) != 0;
}
