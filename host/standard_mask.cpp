// Building the window-aligned face mask from a rendition's face pattern.
#include "host/raster_mask.h"

HT_Face_Mask HT_Face_Mask_Of(const HT_Device_Data& device, const HT_Rendition& rendition) {
    HT_Face_Mask mask;
    const int32_t pattern = rendition.face.pattern;
    if (pattern == HT_USER_FACE_PATTERN) {
        for (int r = 0; r < 32; ++r) mask.rows[r] = rendition.face.user_rows[r];
        return mask;
    }
    const uint8_t* bits = nullptr;
    if (pattern >= 0 && pattern < HT_FACE_PATTERN_COUNT && pattern != HT_SOLID_FACE_PATTERN)
        bits = device.face_patterns[pattern];
    for (int r = 0; r < 32; ++r) {
        // An 8-bit row repeated across the 32 columns, as the stipple tiles it.
        mask.rows[r] = bits == nullptr ? 0xFFFFFFFFu : uint32_t(bits[r % 8]) * 0x01010101u;
    }
    return mask;
}
