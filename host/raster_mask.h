// The face pattern of a rendition as a 32 x 32 mask aligned to the window,
// the way a polygon stipple is: which pixels a filled face may light.
#pragma once

#include <cstdint>

#include "host/device.h"
#include "host/raster.h"

struct HT_Face_Mask {
    // Row r covers window rows y with y mod 32 == r; bit 31 - (x mod 32)
    // covers window column x.
    uint32_t rows[32];

    bool covers(int x, int y) const { return ((rows[y & 31] >> (31 - (x & 31))) & 1u) != 0; }

    // Calls visit(x, k) for each pixel x of the span that the mask lets
    // through, k being x - span.x_begin, the step count of its attributes.
    template <class Visit>
    void for_each_covered(const HT_Raster_Span& span, Visit visit) const {
        const uint32_t row = rows[span.y & 31];
        if (row == 0) return;
        for (int x = span.x_begin; x < span.x_end; ++x)
            if (((row >> (31 - (x & 31))) & 1u) != 0) visit(x, double(x - span.x_begin));
    }
};

// Face pattern 73 gives the rendition's user rows; 0 to 72 but 64 the
// device's 8 x 8 pattern repeated; 64, any other index, or a pattern the
// device does not hold, the solid mask.
HT_Face_Mask HT_Face_Mask_Of(const HT_Device_Data& device, const HT_Rendition& rendition);
