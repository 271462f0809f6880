// Texel lookup: wrap modes, nearest sampling, and modulation.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/texture_sampler.h"

namespace {

// floor() without the library call for the coordinates textures usually
// see; it is the hottest arithmetic of a textured pixel.
double whole_part_below(double value) {
    if (!(std::fabs(value) < 1e9)) return std::floor(value);
    const double truncated = double(int64_t(value));
    return truncated > value ? truncated - 1 : truncated;
}

// The texel index along a direction of `size` texels, or -1 where a decal
// direction leaves the texture.
int texel_index(double coordinate, int size, int32_t wrap) {
    if (!std::isfinite(coordinate)) {
        if (wrap == HT_WRAP_DECAL) return -1;
        coordinate = std::isnan(coordinate) ? 0.0 : (coordinate > 0 ? 1.0 : 0.0);
    }
    double f;
    switch (wrap) {
    case HT_WRAP_REPEAT:
        f = coordinate - whole_part_below(coordinate);
        break;
    case HT_WRAP_MIRRORED_REPEAT: {
        const double whole = whole_part_below(coordinate);
        f = coordinate - whole;
        const double half = whole * 0.5;
        if (half != whole_part_below(half)) f = 1.0 - f;  // odd turns run backwards
        break;
    }
    case HT_WRAP_DECAL:
        if (coordinate < 0 || coordinate > 1) return -1;
        f = coordinate;
        break;
    default:  // clamp, clamp to edge, and values the host does not define
        f = std::clamp(coordinate, 0.0, 1.0);
        break;
    }
    return std::min(int(f * size), size - 1);
}

uint8_t modulate(uint8_t texel, uint8_t surface) { return uint8_t((texel * surface + 127) / 255); }

}  // namespace

HT_Texture_Sampler::HT_Texture_Sampler(const HT_Image* image, int32_t wrap_s, int32_t wrap_t)
    : wrap_s_(wrap_s), wrap_t_(wrap_t) {
    if (image == nullptr || image->format() != HT_IMAGE_FORMAT_RGB32 || image->pixels() == nullptr)
        return;
    if (image->width() <= 0 || image->height() <= 0) return;
    if (int64_t(image->row_bytes()) < int64_t(image->width()) * 4) return;
    pixels_ = image->pixels();
    width_ = image->width();
    height_ = image->height();
    row_bytes_ = image->row_bytes();
}

HT_RGB32 HT_Texture_Sampler::shade(double s, double t, HT_RGB32 surface) const {
    const int column = texel_index(s, width_, wrap_s_);
    const int row_from_bottom = texel_index(t, height_, wrap_t_);
    if (column < 0 || row_from_bottom < 0) return surface;
    const size_t row = size_t(height_ - 1 - row_from_bottom);
    HT_RGB32 texel;
    std::memcpy(&texel, pixels_ + row * size_t(row_bytes_) + size_t(column) * 4, sizeof texel);
    return HT_Make_RGB32(modulate(HT_Red(texel), HT_Red(surface)),
                         modulate(HT_Green(texel), HT_Green(surface)),
                         modulate(HT_Blue(texel), HT_Blue(surface)), HT_Alpha(texel));
}
