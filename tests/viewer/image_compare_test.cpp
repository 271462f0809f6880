// Pixel comparison: the tolerance is inclusive per channel, pictures of
// different sizes differ everywhere, and the difference picture marks
// exactly the differing pixels.
#include <gtest/gtest.h>

#include <algorithm>

#include "viewer/image_compare.h"

namespace {

winx::Window_Snapshot picture(int width, int height, uint32_t color) {
    winx::Window_Snapshot snapshot;
    snapshot.width = width;
    snapshot.height = height;
    snapshot.pixels.assign(size_t(width) * size_t(height), color);
    return snapshot;
}

TEST(Image_Compare, APixelDiffersWhenAnyChannelIsBeyondTheTolerance) {
    const winx::Window_Snapshot base = picture(4, 1, 0x808080);
    winx::Window_Snapshot other = base;
    other.pixels[0] = 0x888080;  // red 8 higher: within 8
    other.pixels[1] = 0x808089;  // blue 9 higher
    other.pixels[2] = 0x807780;  // green 9 lower
    const Image_Difference difference = compare_images(base, other, 8);
    EXPECT_EQ(difference.differing, 2u);
    EXPECT_EQ(difference.total, 4u);
    EXPECT_DOUBLE_EQ(difference.percent(), 50.0);
    EXPECT_EQ(compare_images(base, other, 0).differing, 3u);
    EXPECT_EQ(compare_images(base, base, 0).differing, 0u);
}

TEST(Image_Compare, PicturesOfDifferentSizesDifferEverywhere) {
    const Image_Difference difference = compare_images(picture(4, 2, 0), picture(2, 4, 0), 255);
    EXPECT_EQ(difference.differing, 8u);
    EXPECT_DOUBLE_EQ(difference.percent(), 100.0);
    EXPECT_DOUBLE_EQ(Image_Difference().percent(), 0.0);
}

TEST(Image_Compare, TheDifferencePictureMarksDifferingPixelsOnADimmedCopy) {
    winx::Window_Snapshot a = picture(2, 1, 0x804020);
    winx::Window_Snapshot b = a;
    b.pixels[1] = 0x000000;
    const Rgba_Image diff = difference_picture(a, b, 8);
    ASSERT_EQ(diff.bytes.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(diff.bytes.begin(), diff.bytes.begin() + 4),
              (std::vector<uint8_t>{0x20, 0x10, 0x08, 0xFF}));
    EXPECT_EQ(std::vector<uint8_t>(diff.bytes.begin() + 4, diff.bytes.end()),
              (std::vector<uint8_t>{0xFF, 0x00, 0xFF, 0xFF}));
}

// A vertical line one column aside in the second picture matches with the
// line rule, a line two columns aside does not, and a face pixel that
// differs beside a line is no line and still differs.
TEST(Image_Compare, LinesOnePixelAsideMatchUnderTheLineRule) {
    constexpr uint32_t face = 0x6080A0, line = 0x101010;
    winx::Window_Snapshot a = picture(6, 3, face);
    for (int y = 0; y < 3; ++y) a.pixels[size_t(y) * 6 + 2] = line;
    winx::Window_Snapshot aside = picture(6, 3, face), far = picture(6, 3, face);
    for (int y = 0; y < 3; ++y) {
        aside.pixels[size_t(y) * 6 + 3] = line;
        far.pixels[size_t(y) * 6 + 4] = line;
    }
    const Compare_Rule lines(8, line);
    EXPECT_EQ(compare_images(a, aside, 8).differing, 6u);
    EXPECT_EQ(compare_images(a, aside, lines).differing, 0u);
    EXPECT_EQ(compare_images(a, far, lines).differing, 6u);
    const Rgba_Image marked = difference_picture(a, aside, lines);
    EXPECT_EQ(std::count(marked.bytes.begin(), marked.bytes.end(), 0xFF), 18);  // only alpha

    winx::Window_Snapshot shaded = aside;
    shaded.pixels[1] = 0xFFFFFF;  // beside the line, not on it
    EXPECT_EQ(compare_images(a, shaded, lines).differing, 1u);
}

}  // namespace
