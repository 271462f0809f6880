// How the standard routines hand their pieces back to the device: solid
// polylines and triangle strips through the device's own polyline and
// polytriangle entries, and single pixels through its coloured-dot entry. It
// decides nothing about what to draw.
#pragma once

#include <cmath>
#include <vector>

#include "host/device.h"

// Where a primitive's colours come from.
enum class HT_Color_Mode {
    rendition,  // the rendition's colour
    single,     // one given colour for the whole primitive
    flat,       // each segment or triangle takes the colour of its last vertex
    gouraud,    // the vertices' colours, interpolated
};

struct HT_Piece_Vertex {
    double x;
    double y;
    double z;
    HT_RGB32 color;
};

// Sends solid pieces with a rendition of the caller's colour and weight
// whose line and face patterns are solid and whose style words are 0, so
// that the device draws them itself.
class HT_Piece_Writer {
public:
    HT_Piece_Writer(HT_Device_Data& device, HT_Renderer_Data* renderer, const HT_Rendition& rendition,
                    HT_Color_Mode mode, HT_RGB32 single_color);
    ~HT_Piece_Writer();
    HT_Piece_Writer(const HT_Piece_Writer&) = delete;
    HT_Piece_Writer& operator=(const HT_Piece_Writer&) = delete;

    // An open polyline of `count` vertices, sent in calls of a bounded size.
    void polyline(const HT_Piece_Vertex* vertices, int count);
    // Triangles are gathered into strips (joined by degenerate triangles,
    // which cover nothing) and sent when a strip is full or at flush().
    void triangle(const HT_Piece_Vertex& a, const HT_Piece_Vertex& b, const HT_Piece_Vertex& c);
    void flush();

private:
    void append(const HT_Piece_Vertex& vertex);
    void send_strip();

    HT_Device_Data& device_;
    HT_Renderer_Data* renderer_;
    HT_Rendition solid_;
    HT_Color_Mode mode_;
    HT_RGB32 single_color_;
    std::vector<HT_Point3D> points_;
    std::vector<HT_RGB32> colors_;
};

// Sends single pixels through the device's coloured-dot entry, at the pixel
// centre. Pixels whose depth is not a finite float are dropped.
class HT_Dot_Writer {
public:
    HT_Dot_Writer(HT_Device_Data& device, HT_Renderer_Data* renderer, const HT_Rendition* rendition);
    bool ready() const { return function_ != nullptr; }

    void dot(int x, int y, double z, HT_RGB32 color) const {
        if (!(std::fabs(z) <= 3.4e38)) return;
        const HT_Point3D point = {float(x) + 0.5f, float(y) + 0.5f, float(z)};
        function_(object_, rendition_, &point, &color);
    }

private:
    HT_Colorized_Dot_Action function_;
    HT_Renderer_Data* object_;
    const HT_Rendition* rendition_;
};

// One colour channel from an interpolated value: rounded, clamped to 0..255,
// NaN as 0.
inline uint8_t HT_Channel_Of(double value) {
    if (!(value > 0)) return 0;
    if (value >= 255) return 255;
    return uint8_t(value + 0.5);
}
