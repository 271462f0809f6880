// The host's side of a frame: cleared first with a far rectangle over the
// whole window, every triangle of the model sent exactly once through the
// strips (also when the device limits the points of one call), vertex
// colours through colorized strips, and the model framed inside the window
// and the depth range on every frame of the orbit.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>

#include "tests/support/recording_device.h"
#include "viewer/scene_sender.h"

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
    Scene_Sender sender(model, View_Frame{320, 240, 24}, false);
    sender.draw_frame(&device, 0, 1);
    EXPECT_EQ(device.dots, 3);
    EXPECT_EQ(strip_triangles(device, Recording_Device::Call::gouraud_polytriangle).size(), 8u);
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
        Model_View view(model, View_Frame{200, 100, depth});
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

}  // namespace
