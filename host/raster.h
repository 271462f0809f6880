// Scan conversion for the host's standard routines: the window area they may
// touch, and which pixels of that area one triangle covers, with its
// attributes (depth, colour, texture coordinates) interpolated at each pixel
// centre. Triangles sharing an edge cover each pixel of that edge once (a
// top-left rule). Nothing here draws: callers turn the spans into pixels.
#pragma once

#include "host/device.h"

// Pixels x in [left, right), y in [bottom, top), in device coordinates.
struct HT_Raster_Bounds {
    int left;
    int bottom;
    int right;
    int top;
};

// The largest window side the routines draw into: it bounds every loop.
constexpr int HT_RASTER_SIDE_LIMIT = 16384;

// The renderer's window, or 16384 x 16384 pixels where the window has no
// size yet; never larger than that.
HT_Raster_Bounds HT_Raster_Bounds_Of(HT_Renderer_Data* renderer);

constexpr int HT_RASTER_MAX_ATTRIBUTES = 8;

struct HT_Raster_Vertex {
    double x;
    double y;
    double attributes[HT_RASTER_MAX_ATTRIBUTES];
};

// The pixels x_begin .. x_end - 1 of row y. Attribute a at pixel x is
// values[a] + (x - x_begin) * steps[a].
struct HT_Raster_Span {
    int y;
    int x_begin;
    int x_end;
    double values[HT_RASTER_MAX_ATTRIBUTES];
    double steps[HT_RASTER_MAX_ATTRIBUTES];
};

class HT_Span_Sink {
public:
    virtual void span(const HT_Raster_Span& span) = 0;

protected:
    ~HT_Span_Sink() = default;
};

// Hands every non-empty span of the triangle inside `bounds` to `sink`, row by
// row from the bottom. Triangles with a non-finite coordinate, or of no area,
// give nothing; the first `attribute_count` attributes are interpolated.
void HT_Rasterize_Triangle(const HT_Raster_Vertex& a, const HT_Raster_Vertex& b,
                           const HT_Raster_Vertex& c, int attribute_count,
                           const HT_Raster_Bounds& bounds, HT_Span_Sink& sink);
