// The standard textured polytriangle routine: wrap modes, nearest texels
// with t = 0 at the image's bottom row, modulation by the vertex colours,
// and affine against perspective-correct interpolation.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "host/standard.h"
#include "tests/support/recording_device.h"

namespace {

const HT_RGB32 A = HT_Make_RGB32(255, 0, 0, 10);
const HT_RGB32 B = HT_Make_RGB32(0, 255, 0, 20);
const HT_RGB32 C = HT_Make_RGB32(0, 0, 255, 30);
const HT_RGB32 D = HT_Make_RGB32(255, 255, 255, 40);
const HT_RGB32 WHITE = HT_Make_RGB32(255, 255, 255);

// A rendition whose texture is `width` x `height` texels, given top row first.
HT_Rendition textured(int width, int height, const std::vector<HT_RGB32>& texels, int32_t wrap_s,
                      int32_t wrap_t) {
    HT_Shared_Image image(HT_Point3D{0, 0, 0}, width, height, HT_IMAGE_FORMAT_RGB32, width * 4, nullptr, false);
    std::memcpy(image->pixels(), texels.data(), texels.size() * 4);
    HT_Rendition rendition;
    rendition.color.texture.id = 1;
    rendition.color.texture.texture =
        HT_Texture_Handle(new HT_Texture(HT_Wrap_Mode(wrap_s), HT_Wrap_Mode(wrap_t), image));
    return rendition;
}

// A band 64 pixels wide and 4 high, s running from s0 to s1 left to right.
void draw_band(Recording_Device& device, const HT_Rendition& rendition, float s0, float s1, float t = 0.5f,
               HT_RGB32 color = WHITE, const float* inverse_w = nullptr) {
    const HT_Point3D points[4] = {{0, 0, 0}, {0, 4, 0}, {64, 0, 0}, {64, 4, 0}};
    const HT_RGB32 colors[4] = {color, color, color, color};
    const HT_Parameter parameters[4] = {{s0, t, 0}, {s0, t, 0}, {s1, t, 0}, {s1, t, 0}};
    HD_Standard_Draw_DC_Textured_Polytriangle(&device, &rendition, 4, points, colors, parameters, inverse_w);
}

std::vector<HT_RGB32> row_colors(const Recording_Device& device, int y) {
    std::vector<HT_RGB32> colors;
    for (int x = 0; x < 64; ++x) colors.push_back(device.pixel(x, y).color);
    return colors;
}

std::vector<HT_RGB32> runs_of_eight(std::initializer_list<HT_RGB32> texels) {
    std::vector<HT_RGB32> colors;
    for (HT_RGB32 texel : texels) colors.insert(colors.end(), 8, texel);
    return colors;
}

}  // namespace

TEST(StandardTextures, WrapModesSampleTheNearestTexel) {
    const std::vector<HT_RGB32> texels = {A, B, C, D};
    Recording_Device mirrored(64, 8), repeated(64, 8), clamped(64, 8), edge(64, 8);
    draw_band(mirrored, textured(4, 1, texels, HT_WRAP_MIRRORED_REPEAT, HT_WRAP_CLAMP), 0, 2);
    draw_band(repeated, textured(4, 1, texels, HT_WRAP_REPEAT, HT_WRAP_CLAMP), 0, 2);
    draw_band(clamped, textured(4, 1, texels, HT_WRAP_CLAMP, HT_WRAP_CLAMP), -0.5f, 1.5f);
    draw_band(edge, textured(4, 1, texels, HT_WRAP_CLAMP_TO_EDGE, HT_WRAP_CLAMP), -0.5f, 1.5f);
    EXPECT_EQ(row_colors(mirrored, 2), runs_of_eight({A, B, C, D, D, C, B, A}));
    EXPECT_EQ(row_colors(repeated, 2), runs_of_eight({A, B, C, D, A, B, C, D}));
    EXPECT_EQ(row_colors(clamped, 2), runs_of_eight({A, A, A, B, C, D, D, D}));
    EXPECT_EQ(row_colors(edge, 2), row_colors(clamped, 2));

    // Mirrored below zero as well.
    Recording_Device below(64, 8);
    draw_band(below, textured(4, 1, texels, HT_WRAP_MIRRORED_REPEAT, HT_WRAP_CLAMP), -1, 1);
    EXPECT_EQ(row_colors(below, 2), runs_of_eight({D, C, B, A, A, B, C, D}));
}

TEST(StandardTextures, DecalShowsTheVertexColourOutsideTheTexture) {
    const HT_RGB32 surface = HT_Make_RGB32(100, 50, 200, 7);
    Recording_Device device(64, 8);
    draw_band(device, textured(4, 1, {A, B, C, D}, HT_WRAP_DECAL, HT_WRAP_CLAMP), -0.5f, 1.5f, 0.5f, surface);
    const HT_RGB32 plain = HT_Make_RGB32(100, 50, 200);
    // Modulated: 255 * c / 255 where the texel's channel is full, else 0;
    // alpha is the texel's.
    const HT_RGB32 a = HT_Make_RGB32(100, 0, 0, 10), b = HT_Make_RGB32(0, 50, 0, 20);
    const HT_RGB32 c = HT_Make_RGB32(0, 0, 200, 30), d = HT_Make_RGB32(100, 50, 200, 40);
    EXPECT_EQ(row_colors(device, 2), runs_of_eight({plain, plain, a, b, c, d, plain, plain}));

    // Decal in t alone: the band lies above the texture.
    Recording_Device above(64, 8);
    draw_band(above, textured(4, 1, {A, B, C, D}, HT_WRAP_REPEAT, HT_WRAP_DECAL), 0, 1, 1.25f, surface);
    EXPECT_EQ(row_colors(above, 2), std::vector<HT_RGB32>(64, plain));
}

TEST(StandardTextures, TexelsModulateAndTZeroIsTheBottomRow) {
    // Top row red-ish, bottom row green-ish.
    const HT_RGB32 top = HT_Make_RGB32(200, 100, 50), bottom = HT_Make_RGB32(10, 250, 90);
    const HT_Rendition rendition = textured(1, 2, {top, bottom}, HT_WRAP_CLAMP, HT_WRAP_CLAMP);
    Recording_Device device(64, 8);
    draw_band(device, rendition, 0, 1, 0.25f, HT_Make_RGB32(128, 255, 0));
    EXPECT_EQ(device.pixel(5, 2).color, HT_Make_RGB32(5, 250, 0));
    Recording_Device upper(64, 8);
    draw_band(upper, rendition, 0, 1, 0.75f, HT_Make_RGB32(128, 255, 0));
    EXPECT_EQ(upper.pixel(5, 2).color, HT_Make_RGB32(100, 100, 0));

    // Without a texture the strip shows its vertex colours.
    Recording_Device bare(64, 8);
    draw_band(bare, HT_Rendition(), 0, 1, 0.5f, HT_Make_RGB32(1, 2, 3, 4));
    EXPECT_EQ(bare.pixel(30, 2).color, HT_Make_RGB32(1, 2, 3));
    EXPECT_EQ(bare.lit_count(), 64 * 4);
}

TEST(StandardTextures, PerspectiveCorrectionFollowsInverseW) {
    // The right edge is four times as far away: 1/w falls from 1 to 0.25.
    const std::vector<HT_RGB32> texels = {A, B, C, D};
    const float inverse_w[4] = {1, 1, 0.25f, 0.25f};
    HT_Rendition rendition = textured(4, 1, texels, HT_WRAP_CLAMP, HT_WRAP_CLAMP);
    Recording_Device affine(64, 8);
    draw_band(affine, rendition, 0, 1, 0.5f, WHITE, inverse_w);
    EXPECT_EQ(row_colors(affine, 2), (runs_of_eight({A, A, B, B, C, C, D, D})));

    rendition.surface.texture_interpolation = HT_TEXTURE_PERSPECTIVE;
    Recording_Device perspective(64, 8);
    draw_band(perspective, rendition, 0, 1, 0.5f, WHITE, inverse_w);
    for (int x = 0; x < 64; ++x) {
        const double f = (x + 0.5) / 64;
        const double s = 0.25 * f / (1 - 0.75 * f);
        EXPECT_EQ(perspective.pixel(x, 2).color, texels[std::min(int(s * 4), 3)]) << x;
    }
    EXPECT_NE(row_colors(perspective, 2), row_colors(affine, 2));

    // Without the values the interpolation stays affine.
    Recording_Device missing(64, 8);
    draw_band(missing, rendition, 0, 1, 0.5f, WHITE, nullptr);
    EXPECT_EQ(row_colors(missing, 2), row_colors(affine, 2));
}

TEST(StandardTextures, UserFacePatternMasksTheTexturedStrip) {
    HT_Rendition rendition = textured(4, 1, {A, B, C, D}, HT_WRAP_CLAMP, HT_WRAP_CLAMP);
    rendition.face.pattern = HT_USER_FACE_PATTERN;
    for (uint32_t& row : rendition.face.user_rows) row = 0xFFFF0000u;
    Recording_Device device(64, 8);
    draw_band(device, rendition, 0, 1);
    for (int x = 0; x < 64; ++x) EXPECT_EQ(device.lit(x, 1), x % 32 < 16) << x;
}
