// The three standard polyline routines. A polyline is clipped to the window
// (with room for its width), cut into the solid pieces of its dash list, and
// each piece goes back to the device: as a solid polyline, or, when the line
// is wider than a pixel and asks for caps or joins, as triangles. Segments
// with a non-finite end are left out and break the line there.
#include <algorithm>
#include <cmath>
#include <vector>

#include "host/dashes.h"
#include "host/raster.h"
#include "host/standard.h"
#include "host/stroke.h"

namespace {

// Wider lines than this are drawn this wide: the window is never wider.
constexpr int32_t MAX_LINE_WEIGHT = 2 * HT_RASTER_SIDE_LIMIT;

struct Clip_Box {
    double left;
    double bottom;
    double right;
    double top;
};

bool finite(const HT_Point3D& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// Liang-Barsky: narrows [t0, t1] of p + t (q - p) to the part inside the
// box; false when none is.
bool clip_segment(const Clip_Box& box, double px, double py, double dx, double dy, double& t0,
                  double& t1) {
    const double directions[4] = {-dx, dx, -dy, dy};
    const double room[4] = {px - box.left, box.right - px, py - box.bottom, box.top - py};
    t0 = 0;
    t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (directions[i] == 0) {
            if (room[i] < 0) return false;
            continue;
        }
        const double t = room[i] / directions[i];
        if (directions[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
    }
    return t0 < t1;
}

HT_RGB32 mix(HT_RGB32 a, HT_RGB32 b, double f) {
    auto channel = [f](uint8_t x, uint8_t y) { return HT_Channel_Of(x + (double(y) - x) * f); };
    return HT_Make_RGB32(channel(HT_Red(a), HT_Red(b)), channel(HT_Green(a), HT_Green(b)),
                         channel(HT_Blue(a), HT_Blue(b)), channel(HT_Alpha(a), HT_Alpha(b)));
}

class Line_Drawer {
public:
    Line_Drawer(HT_Device_Data& device, HT_Renderer_Data* renderer, const HT_Rendition& rendition,
                const HT_RGB32* colors, HT_Color_Mode mode)
        : writer_(device, renderer, rendition, mode, colors != nullptr ? colors[0] : 0),
          colors_(colors), mode_(mode),
          dashes_(rendition.line.pattern == HT_USER_LINE_PATTERN ? rendition.line.dashes
                                                                  : std::vector<int32_t>()) {
        const int32_t weight = std::clamp(rendition.line.weight, 1, MAX_LINE_WEIGHT);
        stroked_ = weight > 1 && (rendition.line.cap_style != 0 || rendition.line.join_style != 0);
        style_ = {weight / 2.0, rendition.line.cap_style, rendition.line.join_style, mode};
        // Anything cut off this far outside the window cannot reach into it,
        // caps included.
        const double margin = weight / 2.0 + 2.0;
        const HT_Raster_Bounds bounds = HT_Raster_Bounds_Of(renderer);
        box_ = {bounds.left - margin, bounds.bottom - margin, bounds.right + margin, bounds.top + margin};
    }

    void draw(int count, const HT_Point3D* points) {
        points_ = points;
        double distance = 0;
        for (int i = 0; i + 1 < count; ++i) {
            const HT_Point3D& p = points[i];
            const HT_Point3D& q = points[i + 1];
            if (!finite(p) || !finite(q)) {
                end_piece();
                continue;
            }
            const double dx = double(q.x) - p.x, dy = double(q.y) - p.y;
            const double length = std::hypot(dx, dy);
            if (length == 0) continue;
            double t0, t1;
            if (!clip_segment(box_, p.x, p.y, dx, dy, t0, t1)) {
                end_piece();
                distance += length;
                continue;
            }
            if (t0 > 0) end_piece();
            segment(i, t0, t1, distance + t0 * length, (t1 - t0) * length);
            if (t1 < 1) end_piece();
            distance += length;
        }
        end_piece();
    }

private:
    // The visible part [t0, t1] of segment i, `span` pixels long, starting
    // `distance` pixels along the line.
    void segment(int i, double t0, double t1, double distance, double span) {
        segment_ = i;
        from_ = t0;
        to_ = t1;
        if (!(span > 0)) return;
        if (dashes_.solid()) {
            add(0);
            add(1);
            return;
        }
        // Each turn either finishes the segment or passes a whole entry of at
        // least a pixel, so the loop ends within the clipped length.
        dashes_.seek(distance);
        double done = 0;
        for (;;) {
            const double left = span - done;
            const double step = dashes_.remaining();
            if (dashes_.on()) add(done / span);
            else end_piece();
            if (step >= left) {
                if (dashes_.on()) add(1);
                return;
            }
            done += step;
            if (dashes_.on()) {
                add(done / span);
                end_piece();
            }
            dashes_.next();
        }
    }

    // The point at fraction f of the visible part of the current segment.
    void add(double f) {
        const HT_Point3D& p = points_[segment_];
        const HT_Point3D& q = points_[segment_ + 1];
        const double t = from_ + (to_ - from_) * f;
        HT_Piece_Vertex v = {p.x + (double(q.x) - p.x) * t, p.y + (double(q.y) - p.y) * t,
                             p.z + (double(q.z) - p.z) * t, 0};
        if (mode_ == HT_Color_Mode::flat) v.color = colors_[segment_ + 1];
        else if (mode_ == HT_Color_Mode::gouraud) v.color = mix(colors_[segment_], colors_[segment_ + 1], t);
        if (!piece_.empty() && piece_.back().x == v.x && piece_.back().y == v.y) return;
        piece_.push_back(v);
    }

    void end_piece() {
        if (piece_.size() >= 2) {
            if (stroked_) HT_Stroke_Polyline(piece_, style_, writer_);
            else writer_.polyline(piece_.data(), int(piece_.size()));
        }
        piece_.clear();
    }

    HT_Piece_Writer writer_;
    const HT_RGB32* colors_;
    HT_Color_Mode mode_;
    HT_Dash_Walker dashes_;
    bool stroked_;
    HT_Stroke_Style style_;
    Clip_Box box_;
    std::vector<HT_Piece_Vertex> piece_;
    const HT_Point3D* points_ = nullptr;
    int segment_ = 0;
    double from_ = 0;
    double to_ = 1;
};

void draw_line(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count,
               const HT_Point3D* points, const HT_RGB32* colors, HT_Color_Mode mode) {
    if (rendition == nullptr || points == nullptr || count < 2) return;
    if (mode != HT_Color_Mode::rendition && colors == nullptr) return;
    HT_Device_Data* device = HT_Device_Of(renderer);
    if (device == nullptr) return;
    Line_Drawer drawer(*device, renderer, *rendition, colors, mode);
    drawer.draw(count, points);
}

}  // namespace

void HD_Standard_Draw_DC_Polyline(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                  int count, const HT_Point3D* points) {
    draw_line(renderer, rendition, count, points, nullptr, HT_Color_Mode::rendition);
}

void HD_Standard_Draw_DC_Colorized_Polyline(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                            int count, const HT_Point3D* points,
                                            const HT_RGB32* colors, char one_color) {
    draw_line(renderer, rendition, count, points, colors,
              one_color != 0 ? HT_Color_Mode::single : HT_Color_Mode::flat);
}

void HD_Standard_Draw_DC_Gouraud_Polyline(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                          int count, const HT_Point3D* points, const HT_RGB32* colors) {
    draw_line(renderer, rendition, count, points, colors, HT_Color_Mode::gouraud);
}
