// The host library's plain value types.
#pragma once

#include <cstdint>

struct HT_Int_XY {
    int32_t x;
    int32_t y;
};

// A point in device coordinates: x and y in window pixels from the lower-left
// corner, z in device depth units.
struct HT_Point3D {
    float x;
    float y;
    float z;
};

// Texture parameters of a vertex: s and t, and a third value the host keeps.
struct HT_Parameter {
    float s;
    float t;
    float r;
};

struct HT_Float_Rectangle {
    float left;
    float right;
    float bottom;
    float top;
};

// A colour: in memory blue, green, red, alpha; as a number 0xAARRGGBB.
typedef uint32_t HT_RGB32;

inline uint8_t HT_Red(HT_RGB32 c) { return uint8_t(c >> 16); }
inline uint8_t HT_Green(HT_RGB32 c) { return uint8_t(c >> 8); }
inline uint8_t HT_Blue(HT_RGB32 c) { return uint8_t(c); }
inline uint8_t HT_Alpha(HT_RGB32 c) { return uint8_t(c >> 24); }
inline HT_RGB32 HT_Make_RGB32(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 255) {
    return (HT_RGB32(alpha) << 24) | (HT_RGB32(red) << 16) | (HT_RGB32(green) << 8) | blue;
}

enum HT_Color_System : int32_t {
    HT_COLOR_SYSTEM_MAPPED = 0,
    HT_COLOR_SYSTEM_RGB = 1,
};

enum HT_Image_Format : int32_t {
    HT_IMAGE_FORMAT_MAPPED_8 = 1,
    HT_IMAGE_FORMAT_MAPPED_16 = 2,
    HT_IMAGE_FORMAT_RGB32 = 3,  // 4 bytes a pixel, laid out as HT_RGB32
    HT_IMAGE_FORMAT_DEPTH16 = 4,  // unsigned 16-bit depth values
};
