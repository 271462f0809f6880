// Stroking an open polyline into triangles: a quadrilateral per segment,
// then the joins on the outer side of each turn and the caps at both ends.
// Where pieces overlap they are drawn twice in the same colour and depth,
// which a device with a depth test that passes on equal depths shows once.
#include <algorithm>
#include <cmath>

#include "host/stroke.h"

namespace {

constexpr double PI = 3.14159265358979323846;

struct Vec {
    double x;
    double y;
};

Vec scaled(Vec v, double factor) { return {v.x * factor, v.y * factor}; }
Vec sum(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
double cross(Vec a, Vec b) { return a.x * b.y - a.y * b.x; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }

// Enough arc segments that no chord strays more than a quarter pixel from
// the circle.
int segments_per_circle(double radius) {
    if (radius <= 0.25) return 8;
    const double steps = std::ceil(PI / std::acos(1.0 - 0.25 / radius));
    return std::clamp(int(steps), 8, 128);
}

class Stroker {
public:
    Stroker(const std::vector<HT_Piece_Vertex>& piece, const HT_Stroke_Style& style,
            HT_Piece_Writer& writer)
        : piece_(piece), style_(style), writer_(writer),
          arc_segments_(segments_per_circle(style.half_width)) {}

    void run() {
        const size_t count = piece_.size();
        directions_.resize(count - 1);
        normals_.resize(count - 1);
        for (size_t k = 0; k + 1 < count; ++k) {
            const Vec along = {piece_[k + 1].x - piece_[k].x, piece_[k + 1].y - piece_[k].y};
            directions_[k] = scaled(along, 1.0 / std::hypot(along.x, along.y));
            normals_[k] = scaled(Vec{-directions_[k].y, directions_[k].x}, style_.half_width);
        }
        const bool flat = style_.mode == HT_Color_Mode::flat;
        cap(piece_[0], scaled(directions_[0], -1.0), normals_[0],
            flat ? piece_[1].color : piece_[0].color);
        for (size_t k = 0; k + 1 < count; ++k) {
            segment(k);
            if (k > 0) join(k);
        }
        cap(piece_[count - 1], directions_[count - 2], normals_[count - 2], piece_[count - 1].color);
    }

private:
    static HT_Piece_Vertex moved(const HT_Piece_Vertex& p, Vec by, HT_RGB32 color) {
        return {p.x + by.x, p.y + by.y, p.z, color};
    }

    void segment(size_t k) {
        const HT_Piece_Vertex& p = piece_[k];
        const HT_Piece_Vertex& q = piece_[k + 1];
        // Under flat colours the whole segment takes its last vertex's colour.
        const HT_RGB32 start_color = style_.mode == HT_Color_Mode::flat ? q.color : p.color;
        const Vec n = normals_[k];
        const Vec minus_n = scaled(n, -1.0);
        const HT_Piece_Vertex a = moved(p, n, start_color), b = moved(p, minus_n, start_color);
        const HT_Piece_Vertex c = moved(q, n, q.color), d = moved(q, minus_n, q.color);
        writer_.triangle(a, b, c);
        writer_.triangle(b, d, c);
    }

    // The join where segment k - 1 meets segment k, on the outer side.
    void join(size_t k) {
        const Vec in = directions_[k - 1];
        const Vec out = directions_[k];
        const double turn = cross(in, out);
        if (std::fabs(turn) < 1e-9 && dot(in, out) > 0) return;
        const double side = turn > 0 ? -1.0 : 1.0;
        const Vec from = scaled(normals_[k - 1], side);
        const Vec to = scaled(normals_[k], side);
        const HT_Piece_Vertex& p = piece_[k];
        const HT_RGB32 color = p.color;
        const HT_Piece_Vertex centre = moved(p, {0, 0}, color);
        const HT_Piece_Vertex outer_in = moved(p, from, color);
        const HT_Piece_Vertex outer_out = moved(p, to, color);

        if (style_.join == HT_JOIN_ROUND) {
            fan(centre, from, std::atan2(cross(from, to), dot(from, to)), color);
            return;
        }
        if (style_.join != HT_JOIN_BEVEL) {
            // The miter tip lies along the sum of the two normals, at
            // 2 h^2 / |sum| from the vertex.
            const Vec bisector = sum(from, to);
            const double length2 = dot(bisector, bisector);
            const double h = style_.half_width;
            if (length2 > 0 && 2.0 * h / std::sqrt(length2) <= HT_MITER_LIMIT) {
                const HT_Piece_Vertex tip = moved(p, scaled(bisector, 2.0 * h * h / length2), color);
                writer_.triangle(centre, outer_in, tip);
                writer_.triangle(centre, tip, outer_out);
                return;
            }
        }
        writer_.triangle(centre, outer_in, outer_out);
    }

    void cap(const HT_Piece_Vertex& end, Vec outward, Vec normal, HT_RGB32 color) {
        const HT_Piece_Vertex centre = moved(end, {0, 0}, color);
        if (style_.cap == HT_CAP_ROUND) {
            fan(centre, normal, cross(normal, outward) > 0 ? PI : -PI, color);
        } else if (style_.cap == HT_CAP_SQUARE) {
            const Vec ahead = scaled(outward, style_.half_width);
            const Vec minus_n = scaled(normal, -1.0);
            const HT_Piece_Vertex a = moved(end, normal, color), b = moved(end, minus_n, color);
            const HT_Piece_Vertex c = moved(end, sum(normal, ahead), color);
            const HT_Piece_Vertex d = moved(end, sum(minus_n, ahead), color);
            writer_.triangle(a, b, c);
            writer_.triangle(b, d, c);
        }
    }

    // Triangles from the centre over the arc that starts at centre + from
    // and turns by `sweep` radians.
    void fan(const HT_Piece_Vertex& centre, Vec from, double sweep, HT_RGB32 color) {
        const int steps = std::max(1, int(std::ceil(arc_segments_ * std::fabs(sweep) / (2 * PI))));
        HT_Piece_Vertex previous = moved(centre, from, color);
        for (int i = 1; i <= steps; ++i) {
            const double angle = sweep * i / steps;
            const double c = std::cos(angle), s = std::sin(angle);
            const Vec turned = {from.x * c - from.y * s, from.x * s + from.y * c};
            const HT_Piece_Vertex next = moved(centre, turned, color);
            writer_.triangle(centre, previous, next);
            previous = next;
        }
    }

    const std::vector<HT_Piece_Vertex>& piece_;
    const HT_Stroke_Style& style_;
    HT_Piece_Writer& writer_;
    const int arc_segments_;
    std::vector<Vec> directions_;
    std::vector<Vec> normals_;
};

}  // namespace

void HT_Stroke_Polyline(const std::vector<HT_Piece_Vertex>& piece, const HT_Stroke_Style& style,
                        HT_Piece_Writer& writer) {
    if (piece.size() < 2 || !(style.half_width > 0)) return;
    Stroker(piece, style, writer).run();
}
