// Triangle scan conversion for the standard routines: coverage by edge
// functions at pixel centres, found per row by searching each edge's
// crossing, and attributes from the triangle's plane equations. It does not
// clip the triangle geometrically: the bounds only limit the rows and
// columns visited, so no loop ever runs beyond the window.
#include <algorithm>
#include <cmath>

#include "host/raster.h"

namespace {

struct Point {
    double x;
    double y;
};

// One edge of a counter-clockwise triangle, walked from `from` to `to`. Its
// edge function is computed from the edge's lower (then left) end whichever
// way the triangle walks it, so two triangles sharing the edge get exactly
// opposite values and exactly one of them claims a pixel centre on it.
class Edge {
public:
    Edge(Point from, Point to) {
        const bool forward = from.y < to.y || (from.y == to.y && from.x < to.x);
        origin_ = forward ? from : to;
        const Point end = forward ? to : from;
        dx_ = end.x - origin_.x;
        dy_ = end.y - origin_.y;
        sign_ = forward ? 1.0 : -1.0;
        const double walk_dx = to.x - from.x;
        const double walk_dy = to.y - from.y;
        // Left and top edges own the centres that lie exactly on them.
        owns_centres_on_edge_ = walk_dy < 0 || (walk_dy == 0 && walk_dx < 0);
        if (walk_dy < 0) kind_ = Kind::lower_bound;
        else if (walk_dy > 0) kind_ = Kind::upper_bound;
        else kind_ = Kind::horizontal;
    }

    bool covers(double x, double y) const {
        const double e = sign_ * (dx_ * (y - origin_.y) - dy_ * (x - origin_.x));
        return e > 0 || (e == 0 && owns_centres_on_edge_);
    }

    // Where the edge crosses the row whose centres lie at height y.
    double crossing(double y) const { return origin_.x + dx_ * (y - origin_.y) / dy_; }

    // Along a row, a lower-bound edge covers the pixels right of its
    // crossing, an upper-bound edge those left of it, a horizontal edge all
    // or none.
    enum class Kind { lower_bound, upper_bound, horizontal };
    Kind kind() const { return kind_; }

private:
    Point origin_;
    double dx_;
    double dy_;
    double sign_;
    bool owns_centres_on_edge_;
    Kind kind_;
};

// A double turned into an int inside [low, high]; NaN gives low.
int clamp_to_int(double value, int low, int high) {
    if (!(value >= low)) return low;
    if (!(value <= high)) return high;
    return static_cast<int>(value);
}

// The first index in [low, high) where `test` holds, or high; `test` must
// be false then true along the range. `hint` is the likely answer.
template <class Test>
int first_holding(int low, int high, int hint, Test test) {
    hint = std::clamp(hint, low, high);
    const bool at_hint = hint == high || test(hint);
    if (at_hint && (hint == low || !test(hint - 1))) return hint;
    if (at_hint) high = hint - 1;
    else low = hint + 1;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (test(middle)) high = middle;
        else low = middle + 1;
    }
    return low;
}

bool finite_point(const HT_Raster_Vertex& v) { return std::isfinite(v.x) && std::isfinite(v.y); }

}  // namespace

HT_Raster_Bounds HT_Raster_Bounds_Of(HT_Renderer_Data* renderer) {
    HT_Raster_Bounds bounds = {0, 0, HT_RASTER_SIDE_LIMIT, HT_RASTER_SIDE_LIMIT};
    if (renderer == nullptr) return bounds;
    const HT_Int_XY size = renderer->current_options.window_size();
    if (size.x > 0 && size.y > 0) {
        bounds.right = std::min(size.x, HT_RASTER_SIDE_LIMIT);
        bounds.top = std::min(size.y, HT_RASTER_SIDE_LIMIT);
    }
    return bounds;
}

void HT_Rasterize_Triangle(const HT_Raster_Vertex& a, const HT_Raster_Vertex& b,
                           const HT_Raster_Vertex& c, int attribute_count,
                           const HT_Raster_Bounds& bounds, HT_Span_Sink& sink) {
    if (!finite_point(a) || !finite_point(b) || !finite_point(c)) return;
    if (bounds.left >= bounds.right || bounds.bottom >= bounds.top) return;
    attribute_count = std::clamp(attribute_count, 0, HT_RASTER_MAX_ATTRIBUTES);

    double area2 = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
    if (!std::isfinite(area2) || area2 == 0) return;
    // Counter-clockwise from here on: the inside is left of every edge.
    const HT_Raster_Vertex& v0 = a;
    const HT_Raster_Vertex& v1 = area2 > 0 ? b : c;
    const HT_Raster_Vertex& v2 = area2 > 0 ? c : b;
    area2 = std::fabs(area2);

    const double min_y = std::min({v0.y, v1.y, v2.y});
    const double max_y = std::max({v0.y, v1.y, v2.y});
    const int first_row = clamp_to_int(std::ceil(min_y - 0.5), bounds.bottom, bounds.top);
    const int end_row = clamp_to_int(std::floor(max_y - 0.5) + 1.0, bounds.bottom, bounds.top);
    if (first_row >= end_row) return;

    const Edge edges[3] = {Edge({v0.x, v0.y}, {v1.x, v1.y}), Edge({v1.x, v1.y}, {v2.x, v2.y}),
                           Edge({v2.x, v2.y}, {v0.x, v0.y})};

    // Plane equations: attribute = value at v0 + dx * (x - v0.x) + dy * (y - v0.y).
    double per_x[HT_RASTER_MAX_ATTRIBUTES];
    double per_y[HT_RASTER_MAX_ATTRIBUTES];
    const double x1 = v1.x - v0.x, y1 = v1.y - v0.y;
    const double x2 = v2.x - v0.x, y2 = v2.y - v0.y;
    for (int i = 0; i < attribute_count; ++i) {
        const double f1 = v1.attributes[i] - v0.attributes[i];
        const double f2 = v2.attributes[i] - v0.attributes[i];
        per_x[i] = (f1 * y2 - f2 * y1) / area2;
        per_y[i] = (f2 * x1 - f1 * x2) / area2;
    }

    HT_Raster_Span span;
    for (int row = first_row; row < end_row; ++row) {
        const double centre_y = row + 0.5;
        int begin = bounds.left;
        int end = bounds.right;
        for (const Edge& edge : edges) {
            if (begin >= end) break;
            auto covered = [&](int x) { return edge.covers(x + 0.5, centre_y); };
            if (edge.kind() == Edge::Kind::horizontal) {
                if (!covered(begin)) end = begin;
                continue;
            }
            const int hint = clamp_to_int(std::ceil(edge.crossing(centre_y) - 0.5), begin, end);
            if (edge.kind() == Edge::Kind::lower_bound)
                begin = first_holding(begin, end, hint, covered);
            else
                end = first_holding(begin, end, hint, [&](int x) { return !covered(x); });
        }
        if (begin >= end) continue;
        span.y = row;
        span.x_begin = begin;
        span.x_end = end;
        const double offset_x = begin + 0.5 - v0.x;
        const double offset_y = centre_y - v0.y;
        for (int i = 0; i < attribute_count; ++i) {
            span.values[i] = v0.attributes[i] + per_x[i] * offset_x + per_y[i] * offset_y;
            span.steps[i] = per_x[i];
        }
        sink.span(span);
    }
}
