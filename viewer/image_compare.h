// Comparing two pictures of the same size pixel by pixel, and the
// difference picture: differing pixels bright on a dimmed copy of the first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "host/snapshot_png.h"
#include "platform/winx.h"

struct Image_Difference {
    size_t differing = 0;
    size_t total = 0;
    double percent() const { return total == 0 ? 0.0 : 100.0 * double(differing) / double(total); }
};

// A pixel differs when any channel differs by more than `tolerance`. With
// `line_color` (0x00RRGGBB), lines of that colour may lie one pixel aside:
// where either picture shows the line colour, the pixel still matches when
// each picture's pixel matches one of the other's within one pixel. Other
// pixels get no such allowance.
struct Compare_Rule {
    // Not explicit: a bare tolerance is the rule without lines.
    Compare_Rule(int tolerance_ = 8, std::optional<uint32_t> line_color_ = {})
        : tolerance(tolerance_), line_color(line_color_) {}
    int tolerance;
    std::optional<uint32_t> line_color;
};

// Pictures of different sizes differ in every pixel of the larger one.
Image_Difference compare_images(const winx::Window_Snapshot& a, const winx::Window_Snapshot& b,
                                const Compare_Rule& rule);

// The first picture at a quarter of its brightness, with every differing
// pixel in full magenta.
Rgba_Image difference_picture(const winx::Window_Snapshot& a, const winx::Window_Snapshot& b,
                              const Compare_Rule& rule);
