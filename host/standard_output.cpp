// Sending solid polylines, triangle strips and dots back through the
// device's action table, in calls of a bounded size.
#include "host/standard_output.h"

#include <algorithm>

namespace {

// Vertices per call: well inside what a device takes in one primitive.
constexpr size_t MAX_PIECE_VERTICES = 255;
// Degenerate joins add five vertices before the next triangle's three.
constexpr size_t STITCHED_TRIANGLE_VERTICES = 5;

template <class Function>
HT_Renderer_Data* object_of(const HT_Action<Function>& action, HT_Renderer_Data* renderer) {
    return action.object != nullptr ? action.object : renderer;
}

// Coordinates past float range would be undefined to convert; nothing that
// far can be seen anyway.
float to_float(double value) { return float(std::clamp(value, -1e30, 1e30)); }

HT_Point3D point_of(const HT_Piece_Vertex& vertex) {
    return {to_float(vertex.x), to_float(vertex.y), to_float(vertex.z)};
}

}  // namespace

HT_Piece_Writer::HT_Piece_Writer(HT_Device_Data& device, HT_Renderer_Data* renderer,
                                 const HT_Rendition& rendition, HT_Color_Mode mode,
                                 HT_RGB32 single_color)
    : device_(device), renderer_(renderer), mode_(mode), single_color_(single_color) {
    solid_.color.color = rendition.color.color;
    solid_.line.weight = rendition.line.weight;
    solid_.surface = rendition.surface;
    points_.reserve(MAX_PIECE_VERTICES);
    colors_.reserve(MAX_PIECE_VERTICES);
}

HT_Piece_Writer::~HT_Piece_Writer() { flush(); }

void HT_Piece_Writer::append(const HT_Piece_Vertex& vertex) {
    points_.push_back(point_of(vertex));
    colors_.push_back(vertex.color);
}

void HT_Piece_Writer::polyline(const HT_Piece_Vertex* vertices, int count) {
    flush();
    // Each call after the first repeats the previous call's last vertex, so
    // the line stays connected.
    for (int start = 0; start + 1 < count; start += int(MAX_PIECE_VERTICES) - 1) {
        const int length = std::min(count - start, int(MAX_PIECE_VERTICES));
        for (int i = 0; i < length; ++i) append(vertices[start + i]);
        const HT_Point3D* points = points_.data();
        const HT_RGB32* colors = colors_.data();
        const HT_Action_Table& actions = device_.actions;
        switch (mode_) {
        case HT_Color_Mode::rendition:
            if (actions.draw_dc_polyline.function != nullptr)
                actions.draw_dc_polyline.function(object_of(actions.draw_dc_polyline, renderer_),
                                                  &solid_, length, points);
            break;
        case HT_Color_Mode::single:
        case HT_Color_Mode::flat:
            if (actions.draw_dc_colorized_polyline.function != nullptr)
                actions.draw_dc_colorized_polyline.function(
                    object_of(actions.draw_dc_colorized_polyline, renderer_), &solid_, length, points,
                    mode_ == HT_Color_Mode::single ? &single_color_ : colors,
                    mode_ == HT_Color_Mode::single ? 1 : 0);
            break;
        case HT_Color_Mode::gouraud:
            if (actions.draw_dc_gouraud_polyline.function != nullptr)
                actions.draw_dc_gouraud_polyline.function(
                    object_of(actions.draw_dc_gouraud_polyline, renderer_), &solid_, length, points,
                    colors);
            break;
        }
        points_.clear();
        colors_.clear();
    }
}

void HT_Piece_Writer::triangle(const HT_Piece_Vertex& a, const HT_Piece_Vertex& b,
                               const HT_Piece_Vertex& c) {
    if (points_.size() + STITCHED_TRIANGLE_VERTICES > MAX_PIECE_VERTICES) send_strip();
    if (!points_.empty()) {
        // Repeat the last vertex and the new first one: the triangles in
        // between have no area.
        points_.push_back(points_.back());
        colors_.push_back(colors_.back());
        append(a);
    }
    append(a);
    append(b);
    append(c);
}

void HT_Piece_Writer::flush() {
    if (!points_.empty()) send_strip();
}

void HT_Piece_Writer::send_strip() {
    const int count = int(points_.size());
    const HT_Point3D* points = points_.data();
    const HT_RGB32* colors = colors_.data();
    const HT_Action_Table& actions = device_.actions;
    switch (mode_) {
    case HT_Color_Mode::rendition:
        if (actions.draw_dc_polytriangle.function != nullptr)
            actions.draw_dc_polytriangle.function(object_of(actions.draw_dc_polytriangle, renderer_),
                                                  &solid_, count, points);
        break;
    case HT_Color_Mode::single:
    case HT_Color_Mode::flat:
        if (actions.draw_dc_colorized_polytriangle.function != nullptr)
            actions.draw_dc_colorized_polytriangle.function(
                object_of(actions.draw_dc_colorized_polytriangle, renderer_), &solid_, count, points,
                mode_ == HT_Color_Mode::single ? &single_color_ : colors,
                mode_ == HT_Color_Mode::single ? 1 : 0);
        break;
    case HT_Color_Mode::gouraud:
        if (actions.draw_dc_gouraud_polytriangle.function != nullptr)
            actions.draw_dc_gouraud_polytriangle.function(
                object_of(actions.draw_dc_gouraud_polytriangle, renderer_), &solid_, count, points,
                colors);
        break;
    }
    points_.clear();
    colors_.clear();
}

HT_Dot_Writer::HT_Dot_Writer(HT_Device_Data& device, HT_Renderer_Data* renderer,
                             const HT_Rendition* rendition)
    : function_(device.actions.draw_dc_colorized_dot.function),
      object_(object_of(device.actions.draw_dc_colorized_dot, renderer)),
      rendition_(rendition) {}
