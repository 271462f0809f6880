// The host's face patterns. Entries 0 to 63 are a ramp of shades: entry k sets
// the k cells of an 8 x 8 ordered-dither matrix whose thresholds lie below k,
// so each entry holds one more cell than the one before and the cells spread
// evenly. Entry 64 is solid. Entries 65 to 72 are line designs, from sparse
// to dense.
#include "host/face_patterns.h"

namespace {

constexpr int RAMP_SIZE = 64;

// The ordered-dither threshold (0 to 63) of a cell: the bits of row and
// column interleaved and reversed, so that consecutive thresholds lie far
// apart.
constexpr int dither_threshold(int row, int column) {
    int threshold = 0;
    for (int bit = 0; bit < 3; ++bit) {
        int mixed = ((row ^ column) >> bit) & 1;
        int plain = (row >> bit) & 1;
        threshold |= (mixed << (2 * (2 - bit) + 1)) | (plain << (2 * (2 - bit)));
    }
    return threshold;
}

constexpr uint8_t DESIGNS[HT_FACE_PATTERN_COUNT - RAMP_SIZE - 1][8] = {
    {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00},  // 65 horizontal hatch
    {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88},  // 66 vertical hatch
    {0x88, 0x44, 0x22, 0x11, 0x88, 0x44, 0x22, 0x11},  // 67 diagonal hatch
    {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88},  // 68 the other diagonal
    {0xFF, 0x80, 0x80, 0x80, 0xFF, 0x08, 0x08, 0x08},  // 69 brick
    {0xFF, 0x88, 0x88, 0x88, 0xFF, 0x88, 0x88, 0x88},  // 70 grid
    {0x99, 0x66, 0x66, 0x99, 0x99, 0x66, 0x66, 0x99},  // 71 diagonal cross-hatch
    {0xFA, 0x0A, 0xFA, 0x0A, 0xAF, 0xA0, 0xAF, 0xA0},  // 72 basket weave
};

struct Pattern_Bits {
    uint8_t rows[HT_FACE_PATTERN_COUNT][8] = {};
};

constexpr Pattern_Bits build_patterns() {
    Pattern_Bits patterns;
    for (int k = 0; k < RAMP_SIZE; ++k)
        for (int row = 0; row < 8; ++row)
            for (int column = 0; column < 8; ++column)
                if (dither_threshold(row, column) < k)
                    patterns.rows[k][row] = uint8_t(patterns.rows[k][row] | (0x80 >> column));
    for (int row = 0; row < 8; ++row) {
        patterns.rows[HT_SOLID_FACE_PATTERN][row] = 0xFF;
        for (int design = 0; design < HT_FACE_PATTERN_COUNT - RAMP_SIZE - 1; ++design)
            patterns.rows[RAMP_SIZE + 1 + design][row] = DESIGNS[design][row];
    }
    return patterns;
}

static_assert(HT_SOLID_FACE_PATTERN == RAMP_SIZE, "the solid pattern follows the ramp");

constexpr Pattern_Bits PATTERNS = build_patterns();

}  // namespace

const uint8_t* HT_Face_Pattern(int32_t index) {
    if (index < 0 || index >= HT_FACE_PATTERN_COUNT) return nullptr;
    return PATTERNS.rows[index];
}
