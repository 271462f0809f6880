// Shared images: their own zero-filled memory, the caller's memory, counting,
// and sizes that are out of reach.
#include <gtest/gtest.h>

#include <cstdint>

#include "host/image.h"
#include "host/rendition.h"

namespace {

const HT_Point3D ORIGIN = {3.0f, 4.0f, 0.0f};

}  // namespace

TEST(SharedImage, OwnsZeroFilledRowsLongEnoughForTheWidth) {
    HT_Shared_Image image(ORIGIN, 5, 3, HT_IMAGE_FORMAT_RGB32, 20, nullptr, false);
    ASSERT_FALSE(image.is_null());
    EXPECT_EQ(image->reference_count(), 1);
    EXPECT_EQ(image->row_bytes(), 20);
    ASSERT_NE(image->pixels(), nullptr);
    for (int i = 0; i < 3 * 20; ++i) EXPECT_EQ(image->pixels()[i], 0) << i;

    HT_Shared_Image narrow(ORIGIN, 10, 2, HT_IMAGE_FORMAT_DEPTH16, 4, nullptr, false);
    EXPECT_EQ(narrow->row_bytes(), 20);
    ASSERT_NE(narrow->pixels(), nullptr);
    narrow->pixels()[2 * 20 - 1] = 1;  // the last byte of the last row is there
}

TEST(SharedImage, NegativeAndHugeSizesLeaveAnEmptyImage) {
    HT_Shared_Image negative(ORIGIN, -4, -2, HT_IMAGE_FORMAT_RGB32, -16, nullptr, false);
    EXPECT_EQ(negative->width(), 0);
    EXPECT_EQ(negative->height(), 0);
    EXPECT_EQ(negative->row_bytes(), 0);
    EXPECT_EQ(negative->pixels(), nullptr);

    HT_Shared_Image wide(ORIGIN, INT32_MAX, 1, HT_IMAGE_FORMAT_RGB32, 0, nullptr, false);
    EXPECT_EQ(wide->pixels(), nullptr);
    HT_Shared_Image huge(ORIGIN, 1, INT32_MAX, HT_IMAGE_FORMAT_MAPPED_8, INT32_MAX, nullptr, false);
    EXPECT_EQ(huge->pixels(), nullptr);
}

TEST(SharedImage, CallersMemoryIsKeptOrOwnedAsAsked) {
    uint32_t borrowed[4] = {1, 2, 3, 4};
    {
        HT_Shared_Image image(ORIGIN, 2, 2, HT_IMAGE_FORMAT_RGB32, 8, borrowed, false);
        EXPECT_EQ(image->pixels(), reinterpret_cast<uint8_t*>(borrowed));
    }
    EXPECT_EQ(borrowed[3], 4u);

    // Given away: the image releases it (a leak or a double free shows under
    // the address sanitizer).
    uint8_t* given = new uint8_t[16];
    HT_Shared_Image owner(ORIGIN, 2, 2, HT_IMAGE_FORMAT_RGB32, 8, given, true);
    EXPECT_EQ(owner->pixels(), given);
}

TEST(SharedImage, CopiesShareOneImageUntilTheLastGoes) {
    HT_Shared_Image result;
    {
        HT_Shared_Image made(ORIGIN, 1, 1, HT_IMAGE_FORMAT_RGB32, 4, nullptr, false);
        result = made;
        EXPECT_EQ(made->reference_count(), 2);
    }
    result = result;
    EXPECT_EQ(result->reference_count(), 1);
    result->pixels()[0] = 7;

    HT_Shared_Image replacement(ORIGIN, 2, 1, HT_IMAGE_FORMAT_RGB32, 8, nullptr, false);
    result = replacement;
    EXPECT_EQ(result->width(), 2);
    EXPECT_EQ(replacement->reference_count(), 2);
}

TEST(SharedImage, TextureReleasesItsImageWhileTheCountLockIsHeld) {
    // The texture's destructor drops its image handle from inside the
    // critical section that deletes the texture: the section must let the
    // same thread in again.
    HT_Shared_Image image(ORIGIN, 2, 2, HT_IMAGE_FORMAT_RGB32, 8, nullptr, false);
    HT_Texture_Handle texture(new HT_Texture(HT_WRAP_REPEAT, HT_WRAP_CLAMP, image));
    EXPECT_EQ(image->reference_count(), 2);
    EXPECT_EQ(texture->image().get(), image.get());
    texture.reset();
    EXPECT_EQ(image->reference_count(), 1);
}
