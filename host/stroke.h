// Wide lines with caps and joins as triangles: the outline of an open solid
// polyline, handed to a piece writer. Dashing and clipping happen before.
#pragma once

#include <vector>

#include "host/standard_output.h"

struct HT_Stroke_Style {
    double half_width;
    int32_t cap;   // HT_Cap_Style; other values draw butt caps
    int32_t join;  // HT_Join_Style; other values draw miter joins
    HT_Color_Mode mode;
};

// A miter more than this many times as long as the line is wide is drawn as
// a bevel.
constexpr double HT_MITER_LIMIT = 4.0;

// `piece` holds finite vertices, no two neighbours at the same place; under
// HT_Color_Mode::flat each vertex carries the colour of the segment that
// ends there.
void HT_Stroke_Polyline(const std::vector<HT_Piece_Vertex>& piece, const HT_Stroke_Style& style,
                        HT_Piece_Writer& writer);
