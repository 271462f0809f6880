// Texture decoding with stb_image, four channels asked for whatever the file
// holds.
#include "viewer/model_texture.h"

#include <climits>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_MAX_DIMENSIONS MODEL_TEXTURE_SIDE_LIMIT
#include <stb/stb_image.h>

namespace {

bool take_pixels(stbi_uc* rgba, int width, int height, Model_Texture* texture, std::string* reason) {
    if (rgba == nullptr) {
        const char* why = stbi_failure_reason();
        *reason = why != nullptr ? why : "not an image";
        return false;
    }
    texture->width = width;
    texture->height = height;
    texture->pixels.resize(size_t(width) * size_t(height));
    for (size_t i = 0; i < texture->pixels.size(); ++i) {
        const stbi_uc* p = rgba + 4 * i;
        texture->pixels[i] = HT_Make_RGB32(p[0], p[1], p[2], p[3]);
    }
    stbi_image_free(rgba);
    return true;
}

}  // namespace

bool decode_texture_file(const std::string& path, Model_Texture* texture, std::string* reason) {
    int width = 0, height = 0, channels = 0;
    stbi_uc* rgba = stbi_load(path.c_str(), &width, &height, &channels, 4);
    return take_pixels(rgba, width, height, texture, reason);
}

bool decode_texture_memory(const uint8_t* data, size_t size, Model_Texture* texture, std::string* reason) {
    if (data == nullptr || size == 0 || size > size_t(INT_MAX)) {
        *reason = "no image bytes";
        return false;
    }
    int width = 0, height = 0, channels = 0;
    stbi_uc* rgba = stbi_load_from_memory(data, int(size), &width, &height, &channels, 4);
    return take_pixels(rgba, width, height, texture, reason);
}
