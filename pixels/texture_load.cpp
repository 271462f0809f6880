// Texture loading: the host image turned upside down and reordered in a
// conversion buffer that lives only while the image is loaded, resampled by
// nearest pixel where OpenGL cannot take the image's own sizes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "pixels/gl_features.h"
#include "pixels/texture.h"
#include "platform/gl.h"

namespace {

bool takes_any_texture_size() {
    return gl_version_at_least(2, 0) || gl_has_extension("GL_ARB_texture_non_power_of_two");
}

int32_t next_power_of_two(int32_t size) {
    int32_t power = 1;
    while (power < size && power < (1 << 30)) power <<= 1;
    return power;
}

// The largest power of two not above size.
int32_t power_of_two_within(int32_t size) {
    int32_t power = 1;
    while (power <= size / 2) power <<= 1;
    return power;
}

// The size OpenGL is given for an image side of `size` pixels.
int32_t texture_side(int32_t size, bool any_size, int32_t largest) {
    int32_t side = any_size ? size : next_power_of_two(size);
    if (side > largest) side = any_size ? largest : power_of_two_within(largest);
    return side;
}

// The source pixel under the centre of texel `texel` of `texels`, along a
// side of `pixels` pixels; the texel itself when the sizes agree.
int32_t nearest_source(int32_t texel, int32_t pixels, int32_t texels) {
    return int32_t((2 * int64_t(texel) + 1) * pixels / (2 * int64_t(texels)));
}

}  // namespace

bool OGL_Load_Texture_Image(const HT_Shared_Image& image, bool repeat_s, bool repeat_t) {
    if (image.is_null() || image->format() != HT_IMAGE_FORMAT_RGB32) return false;
    const int32_t width = image->width();
    const int32_t height = image->height();
    const uint8_t* pixels = image->pixels();
    if (width < 1 || height < 1 || pixels == nullptr || int64_t(image->row_bytes()) < int64_t(width) * 4) {
        return false;
    }

    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (largest < 1) largest = 64;  // the least any OpenGL offers
    const bool any_size = takes_any_texture_size();
    const int32_t texture_width = texture_side(width, any_size, largest);
    const int32_t texture_height = texture_side(height, any_size, largest);

    std::unique_ptr<uint8_t[]> buffer(
        new (std::nothrow) uint8_t[size_t(texture_width) * size_t(texture_height) * 4]);
    if (!buffer) return false;

    // Texture row t = 0 is the image's bottom row. With the image's own sizes
    // every texel is exactly one pixel.
    uint8_t* texel = buffer.get();
    for (int32_t t = 0; t < texture_height; ++t) {
        const int32_t row = height - 1 - nearest_source(t, height, texture_height);
        const uint8_t* source_row = pixels + ptrdiff_t(row) * image->row_bytes();
        for (int32_t s = 0; s < texture_width; ++s, texel += 4) {
            const uint8_t* pixel = source_row + ptrdiff_t(nearest_source(s, width, texture_width)) * 4;
            texel[0] = pixel[2];
            texel[1] = pixel[1];
            texel[2] = pixel[0];
            texel[3] = pixel[3];
        }
    }

    glTexImage2D(GL_TEXTURE_2D, 0, 4, texture_width, texture_height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 buffer.get());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, repeat_s ? GL_REPEAT : GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, repeat_t ? GL_REPEAT : GL_CLAMP);
    return true;
}
