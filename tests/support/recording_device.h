// A device for tests of the host's software routines: its action table
// records every call it receives and draws it, plainly, into a pixel map of
// its own (pixel centres, no fill rule, no depth test), counting how often
// each pixel is written and what landed outside the window.
#pragma once

#include <vector>

#include "host/device.h"

class Recording_Device : public HT_Device_Data {
public:
    Recording_Device(int width, int height);

    struct Pixel {
        HT_RGB32 color = 0;
        float z = 0;
        int writes = 0;
    };

    // What one polyline or polytriangle call received.
    struct Call {
        enum Kind { polyline, colorized_polyline, gouraud_polyline, polytriangle,
                    colorized_polytriangle, gouraud_polytriangle } kind;
        std::vector<HT_Point3D> points;
        std::vector<HT_RGB32> colors;  // one per point, or the one colour
        bool one_color = false;
        HT_Rendition rendition;        // without its texture
    };

    int width() const { return width_; }
    int height() const { return height_; }
    const Pixel& pixel(int x, int y) const { return pixels_[size_t(y) * width_ + x]; }
    bool lit(int x, int y) const { return pixel(x, y).writes > 0; }
    int lit_count() const;

    std::vector<Call> calls;
    long dots = 0;
    // Dots and vertices that fell outside the window.
    long outside = 0;

    void plot(int x, int y, float z, HT_RGB32 color);
    void draw_line(const HT_Point3D& a, const HT_Point3D& b, HT_RGB32 color);
    void fill_triangle(const HT_Point3D& a, const HT_Point3D& b, const HT_Point3D& c, HT_RGB32 color);
    void record(Call::Kind kind, const HT_Rendition* rendition, int count, const HT_Point3D* points,
                const HT_RGB32* colors, bool one_color);

private:
    int width_;
    int height_;
    std::vector<Pixel> pixels_;
};
