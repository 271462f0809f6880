// Snapshot, host-image and difference pictures.
#include "tools/check_pictures.h"

#include <cstdlib>
#include <cstring>

namespace {

void set_pixel(Rgba_Image* picture, int column, int row, uint8_t red, uint8_t green, uint8_t blue) {
    if (column < 0 || row < 0 || column >= picture->width || row >= picture->height) return;
    uint8_t* out = &picture->bytes[(size_t(row) * size_t(picture->width) + size_t(column)) * 4];
    out[0] = red;
    out[1] = green;
    out[2] = blue;
    out[3] = 0xFF;
}

Rgba_Image blank_picture(int width, int height) {
    Rgba_Image picture;
    picture.width = width;
    picture.height = height;
    picture.bytes.assign(size_t(width) * size_t(height) * 4, 0);
    return picture;
}

}  // namespace

Rgba_Image host_image_picture(const HT_Image& image) {
    if (image.pixels() == nullptr || image.width() < 1 || image.height() < 1) return {};
    Rgba_Image picture = blank_picture(image.width(), image.height());
    const bool depth = image.format() == HT_IMAGE_FORMAT_DEPTH16;
    for (int row = 0; row < image.height(); ++row) {
        const uint8_t* source = image.pixels() + size_t(row) * size_t(image.row_bytes());
        for (int column = 0; column < image.width(); ++column) {
            if (depth) {
                uint16_t value;
                std::memcpy(&value, source + size_t(column) * 2, 2);
                set_pixel(&picture, column, row, uint8_t(value >> 8), uint8_t(value >> 8), uint8_t(value >> 8));
                continue;
            }
            HT_RGB32 pixel;
            std::memcpy(&pixel, source + size_t(column) * 4, 4);
            set_pixel(&picture, column, row, HT_Red(pixel), HT_Green(pixel), HT_Blue(pixel));
            picture.bytes[(size_t(row) * size_t(picture.width) + size_t(column)) * 4 + 3] = HT_Alpha(pixel);
        }
    }
    return picture;
}

Rgba_Image difference_picture(const Rgba_Image& picture, int column, int row) {
    Rgba_Image difference = picture;
    for (size_t at = 0; at < difference.bytes.size(); at += 4) {
        for (size_t channel = 0; channel < 3; ++channel) difference.bytes[at + channel] /= 4;
        difference.bytes[at + 3] = 0xFF;
    }
    const int frame = 4;
    for (int offset = -frame; offset <= frame; ++offset) {
        set_pixel(&difference, column + offset, row - frame, 255, 255, 0);
        set_pixel(&difference, column + offset, row + frame, 255, 255, 0);
        set_pixel(&difference, column - frame, row + offset, 255, 255, 0);
        set_pixel(&difference, column + frame, row + offset, 255, 255, 0);
    }
    set_pixel(&difference, column, row, 255, 0, 0);
    return difference;
}
