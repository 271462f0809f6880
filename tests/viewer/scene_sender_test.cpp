// The host's side of a frame: cleared first with a far rectangle over the
// whole window, every triangle of the model sent exactly once through the
// strips and every line segment once through the polylines (also when the
// device limits the points of one call), vertex colours through colorized
// strips, points as squares of the point size, and the model framed inside
// the window and the depth range on every frame of the orbit, whichever
// axis is up.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "tests/support/recording_device.h"
#include "viewer/scene_sender.h"
#include "viewer/software_device.h"

namespace {

// A grid of n x n squares, two triangles each, in the x-y plane.
Model grid_model(int n, bool colored) {
    Model model;
    Model_Mesh mesh;
    for (int y = 0; y <= n; ++y)
        for (int x = 0; x <= n; ++x) {
            mesh.positions.push_back({float(x), float(y), float((x * y) % 3) * 0.1f});
            mesh.normals.push_back({0, 0, 1});
            if (colored) mesh.colors.push_back(HT_Make_RGB32(uint8_t(x * 20), uint8_t(y * 20), 7));
        }
    const auto at = [n](int x, int y) { return uint32_t(y * (n + 1) + x); };
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            mesh.triangles.insert(mesh.triangles.end(), {at(x, y), at(x + 1, y), at(x, y + 1)});
            mesh.triangles.insert(mesh.triangles.end(), {at(x + 1, y), at(x + 1, y + 1), at(x, y + 1)});
        }
    model.meshes.push_back(mesh);
    model.center = {n / 2.0f, n / 2.0f, 0.1f};
    model.radius = float(n) * 0.75f;
    return model;
}

using Corner = std::array<float, 3>;
using Triangle = std::array<Corner, 3>;

Triangle sorted(const HT_Point3D& a, const HT_Point3D& b, const HT_Point3D& c) {
    Triangle t = {Corner{a.x, a.y, a.z}, Corner{b.x, b.y, b.z}, Corner{c.x, c.y, c.z}};
    std::sort(t.begin(), t.end());
    return t;
}

bool degenerate(const Triangle& t) { return t[0] == t[1] || t[1] == t[2]; }

// Triangles the strips cover, counted; degenerate joins left out.
std::map<Triangle, int> strip_triangles(const Recording_Device& device, Recording_Device::Call::Kind kind) {
    std::map<Triangle, int> triangles;
    for (const Recording_Device::Call& call : device.calls) {
        if (call.kind != kind) continue;
        for (size_t i = 2; i < call.points.size(); ++i) {
            Triangle t = sorted(call.points[i - 2], call.points[i - 1], call.points[i]);
            if (!degenerate(t)) ++triangles[t];
        }
    }
    return triangles;
}

void expect_every_triangle_once(int point_limit) {
    const Model model = grid_model(12, false);
    Recording_Device device(320, 240);
    device.device_options.polytriangle_point_limit = point_limit;
    Scene_Sender sender(model, View_Frame{320, 240, 24}, false);
    sender.draw_frame(&device, 0, 1);

    // What the strips should cover: the model's triangles, projected.
    Recording_Device reference(320, 240);
    std::vector<HT_Point3D> points;
    std::vector<HT_RGB32> colors;
    Model_View view(model, View_Frame{320, 240, 24});
    view.project(model.meshes[0], &points, &colors);
    std::map<Triangle, int> expected;
    const std::vector<uint32_t>& t = model.meshes[0].triangles;
    for (size_t i = 0; i < t.size(); i += 3) ++expected[sorted(points[t[i]], points[t[i + 1]], points[t[i + 2]])];

    EXPECT_EQ(strip_triangles(device, Recording_Device::Call::gouraud_polytriangle), expected)
        << "with a limit of " << point_limit << " points";
    for (const Recording_Device::Call& call : device.calls) {
        if (point_limit >= 4) {
            EXPECT_LE(call.points.size(), size_t(point_limit));
        }
    }
}

TEST(Scene_Sender, EveryTriangleIsSentOnceThroughTheStrips) {
    expect_every_triangle_once(0);
    expect_every_triangle_once(4);
    expect_every_triangle_once(7);
    expect_every_triangle_once(3);  // too few for a strip of two: taken as no limit
}

// A model that mixes a mesh of triangles with a point cloud (as a file can)
// sends both: the triangles as strips, the cloud as dots.
TEST(Scene_Sender, APointCloudBesideTrianglesIsSentAsDots) {
    Model model = grid_model(2, false);
    Model_Mesh cloud;
    cloud.positions = {{0.5f, 0.5f, 0.2f}, {1.5f, 1.0f, 0.1f}, {1.0f, 1.5f, 0.0f}};
    cloud.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    cloud.dots = {0, 1, 2};
    model.meshes.push_back(cloud);
    Recording_Device device(320, 240);
    Scene_Sender sender(model, View_Frame{320, 240, 24}, false, 1);
    sender.draw_frame(&device, 0, 1);
    EXPECT_EQ(device.dots, 3);
    EXPECT_EQ(strip_triangles(device, Recording_Device::Call::gouraud_polytriangle).size(), 8u);
}

using Segment = std::array<Corner, 2>;

// The segments the polylines cover, counted, each with its ends in order.
std::map<Segment, int> polyline_segments(const Recording_Device& device, size_t* most_points) {
    std::map<Segment, int> segments;
    for (const Recording_Device::Call& call : device.calls) {
        if (call.kind != Recording_Device::Call::polyline) continue;
        *most_points = std::max(*most_points, call.points.size());
        for (size_t i = 1; i < call.points.size(); ++i) {
            Segment s = {Corner{call.points[i - 1].x, call.points[i - 1].y, call.points[i - 1].z},
                         Corner{call.points[i].x, call.points[i].y, call.points[i].z}};
            std::sort(s.begin(), s.end());
            ++segments[s];
        }
    }
    return segments;
}

// A zigzag of five points, a lone segment elsewhere, and three points.
Model lines_and_points(bool colored) {
    Model model;
    Model_Mesh mesh;
    for (int i = 0; i < 10; ++i) {
        mesh.positions.push_back({float(i), float(i % 2), float(i % 3)});
        mesh.normals.push_back({0, 0, 0});
        if (colored) mesh.colors.push_back(HT_Make_RGB32(uint8_t(i * 20), 0, 0));
    }
    mesh.lines = {0, 1, 1, 2, 2, 3, 3, 4, 6, 7};
    mesh.dots = {7, 8, 9};
    model.meshes.push_back(mesh);
    model.center = {4.5f, 0.5f, 1};
    model.radius = 6;
    return model;
}

TEST(Scene_Sender, EverySegmentIsSentOnceThroughThePolylines) {
    for (bool colored : {false, true})
        for (int limit : {0, 2, 3}) {
            const Model model = lines_and_points(colored);
            Recording_Device device(320, 240);
            device.device_options.polyline_point_limit = limit;
            Scene_Sender sender(model, View_Frame{320, 240, 24}, false, 1);
            sender.draw_frame(&device, 0, 1);

            std::vector<HT_Point3D> points;
            std::vector<HT_RGB32> colors;
            Model_View view(model, View_Frame{320, 240, 24});
            view.project(model.meshes[0], &points, &colors);
            std::map<Segment, int> expected;
            const std::vector<uint32_t>& l = model.meshes[0].lines;
            for (size_t i = 0; i < l.size(); i += 2) {
                Segment s = {Corner{points[l[i]].x, points[l[i]].y, points[l[i]].z},
                             Corner{points[l[i + 1]].x, points[l[i + 1]].y, points[l[i + 1]].z}};
                std::sort(s.begin(), s.end());
                ++expected[s];
            }
            size_t most_points = 0;
            EXPECT_EQ(polyline_segments(device, &most_points), expected) << "limit " << limit;
            // Joined into polylines unless each segment has colours of its own.
            EXPECT_EQ(most_points, colored || limit == 2 ? 2u : limit == 3 ? 3u : 5u) << "limit " << limit;
            EXPECT_EQ(device.dots, 3);
            // Unlit: without normals, lines take their colour as it is.
            for (const Recording_Device::Call& call : device.calls)
                EXPECT_EQ(call.rendition.color.color,
                          colored ? colors[size_t(HT_Red(call.rendition.color.color) / 20)] : model.meshes[0].diffuse);
        }
}

// Points bigger than a pixel are squares with their sides on pixel edges:
// each renderer covers the same point_size × point_size pixels.
TEST(Scene_Sender, PointsAreSquaresOfThePointSize) {
    Model model;
    Model_Mesh cloud;
    cloud.positions = {{0, 0, 0}, {3, 1, 0}};
    cloud.normals = {{0, 0, 0}, {0, 0, 0}};
    cloud.dots = {0, 1};
    cloud.diffuse = HT_Make_RGB32(255, 255, 0, 255);
    model.meshes.push_back(cloud);
    model.center = {1.5f, 0.5f, 0};
    model.radius = 2;
    for (int size : {2, 5}) {
        Software_Device device(160, 120, 24);
        Scene_Sender sender(model, View_Frame{160, 120, 24}, false, size);
        sender.draw_frame(&device, 0, 1);
        int yellow = 0;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x) yellow += device.image().at(x, y) == 0xFFFF00u;
        EXPECT_EQ(yellow, 2 * size * size) << "point size " << size;
    }
    Recording_Device dots(160, 120);
    Scene_Sender sender(model, View_Frame{160, 120, 24}, false, 1);
    sender.draw_frame(&dots, 0, 1);
    EXPECT_EQ(dots.dots, 2);
    EXPECT_TRUE(dots.calls.empty());
}

// A recording device that also notes its rectangles and how many
// primitives came before each.
class Rectangle_Device : public Recording_Device {
public:
    Rectangle_Device(int width, int height) : Recording_Device(width, height) {
        actions.draw_dc_rectangle = {this, [](HT_Renderer_Data* r, const HT_Rendition* rendition, int left,
                                              int right, int bottom, int top) {
                                         auto* self = static_cast<Rectangle_Device*>(r);
                                         self->rectangles.push_back({left, right, bottom, top,
                                                                     int(self->calls.size())});
                                         self->rectangle_color = rendition->color.color;
                                     }};
    }
    struct Rectangle {
        int left, right, bottom, top, calls_before;
    };
    std::vector<Rectangle> rectangles;
    HT_RGB32 rectangle_color = 0;
};

TEST(Scene_Sender, EachFrameStartsWithARectangleOverTheWholeWindow) {
    const Model model = grid_model(3, true);
    Rectangle_Device device(64, 48);
    Scene_Sender sender(model, View_Frame{64, 48, 16}, true);
    sender.draw_frame(&device, 0, 2);
    sender.draw_frame(&device, 1, 2);
    ASSERT_EQ(device.rectangles.size(), 2u);
    const size_t per_frame = device.calls.size() / 2;
    for (size_t frame = 0; frame < 2; ++frame) {
        const Rectangle_Device::Rectangle& r = device.rectangles[frame];
        EXPECT_EQ(r.calls_before, int(frame * per_frame));
        const std::array<int, 4> bounds = {r.left, r.right, r.bottom, r.top};
        EXPECT_EQ(bounds, (std::array<int, 4>{0, 63, 0, 47}));
    }
    EXPECT_EQ(device.rectangle_color, VIEW_BACKGROUND);
    ASSERT_FALSE(device.calls.empty());
    EXPECT_EQ(device.calls.front().kind, Recording_Device::Call::colorized_polytriangle) << "vertex colours";
    EXPECT_EQ(device.calls.back().kind, Recording_Device::Call::polyline) << "edges come last";
    EXPECT_EQ(device.calls.back().rendition.color.color, VIEW_EDGE_COLOR);
}

TEST(Scene_Sender, TheModelStaysInsideTheWindowAndTheDepthRangeAllRound) {
    const Model model = grid_model(6, false);
    for (int depth : {24, 16, 0}) {
        Model_View view(model, View_Frame{200, 100, depth, View_Up(depth % 3)});
        for (int frame = 0; frame < 12; ++frame) {
            view.set_orbit_frame(frame, 12);
            std::vector<HT_Point3D> points;
            std::vector<HT_RGB32> colors;
            view.project(model.meshes[0], &points, &colors);
            for (const HT_Point3D& p : points) {
                EXPECT_TRUE(p.x > 0 && p.x < 200 && p.y > 0 && p.y < 100) << p.x << "," << p.y;
                EXPECT_TRUE(p.z >= 0 && p.z <= view.far_depth()) << p.z;
                if (depth < 2) {
                    EXPECT_EQ(p.z, 0.0f);
                }
            }
        }
    }
}

// A thin rod along one axis stands upright on the screen when that axis is
// up, and lies across it when another is.
TEST(Model_View, TheUpAxisStandsUpright) {
    for (int axis = 0; axis < 3; ++axis) {
        Model model;
        Model_Mesh rod;
        for (int end = 0; end < 2; ++end) {
            float p[3] = {0.05f, 0.05f, 0.05f};
            p[axis] = end ? 1.0f : -1.0f;
            rod.positions.push_back({p[0], p[1], p[2]});
            rod.normals.push_back({0, 0, 0});
        }
        model.meshes.push_back(rod);
        model.radius = 1;
        for (int up = 0; up < 3; ++up)
            for (int frame = 0; frame < 4; ++frame) {
                Model_View view(model, View_Frame{200, 200, 24, View_Up(up)});
                view.set_orbit_frame(frame, 4);
                std::vector<HT_Point3D> points;
                std::vector<HT_RGB32> colors;
                view.project(rod, &points, &colors);
                const float across = std::fabs(points[1].x - points[0].x);
                const float along = points[1].y - points[0].y;
                if (axis == up) {
                    EXPECT_GT(along, 120.0f) << "axis " << axis << " frame " << frame << ": the positive end on top";
                    EXPECT_LT(across, 3.0f) << "axis " << axis << " frame " << frame;
                } else {
                    EXPECT_LT(std::fabs(along), 80.0f) << "axis " << axis << " up " << up << " frame " << frame;
                }
            }
    }
}

}  // namespace
