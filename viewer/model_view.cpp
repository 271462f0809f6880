// The camera looks at the model's centre from a distance at which the
// bounding sphere fits the narrower side of the window, 25 degrees above the
// horizon. The orbit is worked out for a y-up model and turned onto the
// model's own up axis by a rotation. Depth is linear in the distance from the camera between the
// sphere's near and far sides, so that every buffer depth spends its levels
// on the model.
#include "viewer/model_view.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double VERTICAL_FIELD = 40.0 * PI / 180.0;
constexpr double ELEVATION = 25.0 * PI / 180.0;
// Room around the sphere, so that the silhouette never touches the border.
constexpr double MARGIN = 1.08;
constexpr double AMBIENT = 0.25;
constexpr double DIFFUSE = 0.75;

// A direction of the y-up camera, in the coordinates of a model whose up
// axis is `up`: rotations that take y onto that axis.
void onto_model(View_Up up, const double in[3], double out[3]) {
    switch (up) {
    case View_Up::x: out[0] = in[1]; out[1] = -in[0]; out[2] = in[2]; return;
    case View_Up::y: out[0] = in[0]; out[1] = in[1]; out[2] = in[2]; return;
    case View_Up::z: out[0] = in[0]; out[1] = -in[2]; out[2] = in[1]; return;
    }
}

uint8_t scaled(uint8_t channel, double light) {
    const double value = channel * light;
    return value >= 255.0 ? 255 : uint8_t(value + 0.5);
}

}  // namespace

Model_View::Model_View(const Model& model, const View_Frame& frame) : model_(model), frame_(frame) {
    focal_ = 1.0 / std::tan(VERTICAL_FIELD / 2);
    const double aspect = double(std::max(frame.width, 1)) / double(std::max(frame.height, 1));
    // The sphere must fit the vertical field and, in a tall window, the
    // horizontal one.
    const double half_field = std::atan(std::min(1.0, aspect) / focal_);
    const double radius = model.radius > 0 ? double(model.radius) : 1.0;
    distance_ = radius * MARGIN / std::sin(half_field);
    near_ = std::max(distance_ - radius * MARGIN, distance_ * 1e-3);
    far_ = distance_ + radius * MARGIN;
    const int depth = std::clamp(frame.buffer_depth, 0, 32);
    far_depth_ = depth >= 2 ? float((uint64_t(1) << depth) - 1) : 0.0f;
    set_orbit_frame(0, 1);
}

void Model_View::set_orbit_frame(int index, int frame_count) {
    View_Camera camera;
    camera.turn = frame_count > 1 ? 2 * PI * index / frame_count : 0.0;
    camera.elevation = ELEVATION;
    set_camera(camera);
}

void Model_View::set_camera(const View_Camera& camera) {
    const double angle = PI / 6 + camera.turn;
    const double elevation = camera.elevation;
    zoom_ = camera.zoom > 0 ? camera.zoom : 1.0;
    // Backward axis: from the centre towards the eye.
    const double back[3] = {std::sin(angle) * std::cos(elevation), std::sin(elevation),
                            std::cos(angle) * std::cos(elevation)};
    const double right[3] = {std::cos(angle), 0.0, -std::sin(angle)};
    const double up[3] = {back[1] * right[2] - back[2] * right[1], back[2] * right[0] - back[0] * right[2],
                          back[0] * right[1] - back[1] * right[0]};
    onto_model(frame_.up, right, axes_[0]);
    onto_model(frame_.up, up, axes_[1]);
    onto_model(frame_.up, back, axes_[2]);
    const double center[3] = {model_.center.x, model_.center.y, model_.center.z};
    // The eye moves against the pan, by the size of a pixel at the centre.
    const double pixel = distance_ / (focal_ * zoom_) / (std::max(frame_.height, 1) / 2.0);
    for (int i = 0; i < 3; ++i)
        eye_[i] = center[i] + distance_ * axes_[2][i] - pixel * (camera.pan_x * axes_[0][i] + camera.pan_y * axes_[1][i]);
}

void Model_View::project(const Model_Mesh& mesh, std::vector<HT_Point3D>* points,
                         std::vector<HT_RGB32>* colors) const {
    const size_t count = mesh.positions.size();
    points->resize(count);
    colors->resize(count);
    const double half_width = frame_.width / 2.0, half_height = frame_.height / 2.0;
    const double focal = focal_ * zoom_;
    const double x_focal = focal * frame_.height / std::max(frame_.width, 1);
    const double depth_scale = far_depth_ / (far_ - near_);
    const bool textured = mesh.texture >= 0;
    for (size_t i = 0; i < count; ++i) {
        const Model_Vector& p = mesh.positions[i];
        const double d[3] = {p.x - eye_[0], p.y - eye_[1], p.z - eye_[2]};
        const double view_x = d[0] * axes_[0][0] + d[1] * axes_[0][1] + d[2] * axes_[0][2];
        const double view_y = d[0] * axes_[1][0] + d[1] * axes_[1][1] + d[2] * axes_[1][2];
        const double distance = -(d[0] * axes_[2][0] + d[1] * axes_[2][1] + d[2] * axes_[2][2]);
        const double w = std::max(distance, near_);
        (*points)[i] = {float(half_width * (1.0 + x_focal * view_x / w)),
                        float(half_height * (1.0 + focal * view_y / w)),
                        float(std::clamp((distance - near_) * depth_scale, 0.0, double(far_depth_)))};

        // A headlight: faces lit by how squarely they face the camera, from
        // either side; without a normal, fully.
        const Model_Vector& n = mesh.normals[i];
        const double length = std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z);
        double facing = 1;
        if (length > 0 && std::isfinite(length))
            facing = std::fabs(n.x * axes_[2][0] + n.y * axes_[2][1] + n.z * axes_[2][2]) / length;
        const double light = AMBIENT + DIFFUSE * std::min(facing, 1.0);
        const HT_RGB32 base = textured ? HT_Make_RGB32(255, 255, 255)
                              : mesh.colors.empty() ? mesh.diffuse : mesh.colors[i];
        (*colors)[i] = HT_Make_RGB32(scaled(HT_Red(base), light), scaled(HT_Green(base), light),
                                     scaled(HT_Blue(base), light), 255);
    }
}
