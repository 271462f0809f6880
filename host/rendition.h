// Renditions: the drawing attributes that come with every draw action.
#pragma once

#include <cstdint>
#include <vector>

#include "host/counted.h"
#include "host/image.h"
#include "host/types.h"

// Line pattern index of the host's user-defined dash list, and face pattern
// index of the host's user-defined 32 x 32 bitmap.
constexpr int32_t HT_USER_LINE_PATTERN = 9;
constexpr int32_t HT_USER_FACE_PATTERN = 73;
constexpr int32_t HT_SOLID_FACE_PATTERN = 64;
constexpr int32_t HT_FACE_PATTERN_COUNT = 73;
constexpr int32_t HT_MAX_DASHES = 16;

enum HT_Cap_Style : int32_t { HT_CAP_BUTT = 0, HT_CAP_ROUND = 1, HT_CAP_SQUARE = 2 };
enum HT_Join_Style : int32_t { HT_JOIN_MITER = 0, HT_JOIN_ROUND = 1, HT_JOIN_BEVEL = 2 };

enum HT_Wrap_Mode : int32_t {
    HT_WRAP_CLAMP = 0,
    HT_WRAP_MIRRORED_REPEAT = 1,
    HT_WRAP_CLAMP_TO_EDGE = 2,
    HT_WRAP_REPEAT = 3,
    HT_WRAP_DECAL = 4,  // outside 0..1 the surface shows its own colour
};

enum HT_Texture_Interpolation : int32_t {
    HT_TEXTURE_AFFINE = 0,
    HT_TEXTURE_PERSPECTIVE = 1,  // vertex_values hold each vertex's 1/w
};

class HT_Texture : public HT_Counted {
public:
    HT_Texture(HT_Wrap_Mode wrap_s, HT_Wrap_Mode wrap_t, const HT_Shared_Image& image)
        : wrap_s(wrap_s), wrap_t(wrap_t), image_(image) {}
    int32_t wrap_s;
    int32_t wrap_t;
    // A counted copy of the texture's image handle.
    HT_Shared_Image image() const { return image_; }

protected:
    ~HT_Texture() override = default;

private:
    HT_Shared_Image image_;
};

typedef HT_Shared_Handle<HT_Texture> HT_Texture_Handle;

struct HT_Texture_Reference {
    int32_t id = 0;  // 0: no texture
    HT_Texture_Handle texture;
    // A counted copy of the texture handle.
    HT_Texture_Handle texture_handle() const { return texture; }
};

struct HT_Color_Rendition {
    HT_RGB32 color = HT_Make_RGB32(255, 255, 255);
    HT_Texture_Reference texture;
};

struct HT_Line_Rendition {
    int32_t pattern = 0;
    int32_t cap_style = HT_CAP_BUTT;
    int32_t join_style = HT_JOIN_MITER;
    int32_t weight = 0;  // pixels; 0 and 1 are both one pixel wide
    // Line pattern 9: on and off lengths in pixels, repeating along the line.
    std::vector<int32_t> dashes;
};

struct HT_Face_Rendition {
    int32_t pattern = HT_SOLID_FACE_PATTERN;
    // Face pattern 73: row r covers window rows y with y mod 32 == r; bit
    // (31 - x mod 32) of a row covers window column x.
    uint32_t user_rows[32] = {};
};

struct HT_Surface_Rendition {
    int32_t texture_interpolation = HT_TEXTURE_AFFINE;
};

class HT_Rendition {
public:
    HT_Color_Rendition color;
    HT_Line_Rendition line;
    HT_Face_Rendition face;
    HT_Surface_Rendition surface;
};
