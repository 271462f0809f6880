// Nearest-texel sampling of a texture image with the host's wrap modes, and
// the modulation of a surface colour by the texel.
#pragma once

#include "host/image.h"
#include "host/rendition.h"

class HT_Texture_Sampler {
public:
    // An image that is not a non-empty HT_RGB32 image with its pixels gives
    // a sampler that is not usable().
    HT_Texture_Sampler(const HT_Image* image, int32_t wrap_s, int32_t wrap_t);
    bool usable() const { return pixels_ != nullptr; }

    // The texel at (s, t) times `surface`, channel by channel (alpha: the
    // texel's); t = 0 is the image's bottom row. Where a decal direction
    // falls outside 0..1, `surface` itself.
    HT_RGB32 shade(double s, double t, HT_RGB32 surface) const;

private:
    const uint8_t* pixels_ = nullptr;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t row_bytes_ = 0;
    int32_t wrap_s_;
    int32_t wrap_t_;
};
