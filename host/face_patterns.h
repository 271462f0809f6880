// The host's 73 face patterns of 8 x 8 bits, which a device's face_patterns
// table points at. Inside the host library only.
#pragma once

#include <cstdint>

#include "host/rendition.h"

// The 8 rows of pattern `index` (0 to 72), bit 7 of a row byte being its
// leftmost column; null for any other index.
const uint8_t* HT_Face_Pattern(int32_t index);
