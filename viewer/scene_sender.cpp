// Strips come from meshoptimizer's stripifier, cut at its restart marks, so
// that each strip is one polytriangle call; a device that limits the points
// of one call gets each strip, and each polyline, in overlapping pieces
// within the limit. Line segments that follow on from each other make one
// polyline, in the lit colour of its first vertex; with vertex colours each
// segment is a polyline of its own. A square point has its sides on pixel
// edges, so that every renderer's fill rule covers the same pixels.
#include "viewer/scene_sender.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <meshoptimizer.h>

namespace {

constexpr unsigned RESTART = ~0u;

}  // namespace

Scene_Sender::Scene_Sender(const Model& model, const View_Frame& frame, bool edges, int point_size)
    : model_(model), view_(model, frame), edges_(edges), point_size_(std::clamp(point_size, 1, VIEW_POINT_SIZE_LIMIT)) {
    for (const Model_Mesh& mesh : model.meshes) {
        Mesh_Strips mesh_strips;
        build_polylines(mesh.lines, mesh.colors.empty(), &mesh_strips);
        // Lines and points have no strips; the strip builder refuses empty
        // arrays (their data pointers may be the same null).
        if (mesh.triangles.empty()) {
            strips_.push_back(std::move(mesh_strips));
            continue;
        }
        std::vector<unsigned> optimized(mesh.triangles.size());
        meshopt_optimizeVertexCache(optimized.data(), mesh.triangles.data(), mesh.triangles.size(),
                                    mesh.positions.size());
        mesh_strips.indices.resize(meshopt_stripifyBound(optimized.size()));
        const size_t written = meshopt_stripify(mesh_strips.indices.data(), optimized.data(), optimized.size(),
                                                mesh.positions.size(), RESTART);
        mesh_strips.indices.resize(written);
        uint32_t first = 0;
        for (uint32_t i = 0; i <= written; ++i) {
            if (i < written && mesh_strips.indices[i] != RESTART) continue;
            if (i - first >= 3) mesh_strips.strips.push_back({first, i - first});
            first = i + 1;
        }
        strips_.push_back(std::move(mesh_strips));
    }
    for (size_t i = 0; i < model.textures.size(); ++i) {
        const Model_Texture& texture = model.textures[i];
        HT_Shared_Image image({0, 0, 0}, texture.width, texture.height, HT_IMAGE_FORMAT_RGB32, texture.width * 4,
                              nullptr, false);
        if (!image.is_null() && image->pixels() != nullptr)
            std::memcpy(image->pixels(), texture.pixels.data(), texture.pixels.size() * sizeof(HT_RGB32));
        textures_.emplace_back(new HT_Texture(HT_WRAP_REPEAT, HT_WRAP_REPEAT, image));
    }
}

// The segments of `lines` (two indices each) joined where one starts at the
// vertex where the one before ended, unless `joined` is false.
void Scene_Sender::build_polylines(const std::vector<uint32_t>& lines, bool joined, Mesh_Strips* mesh_strips) {
    std::vector<uint32_t>& indices = mesh_strips->line_indices;
    for (size_t s = 0; s + 1 < lines.size(); s += 2) {
        if (!joined || indices.empty() || indices.back() != lines[s]) {
            mesh_strips->polylines.push_back({uint32_t(indices.size()), 1});
            indices.push_back(lines[s]);
        }
        indices.push_back(lines[s + 1]);
        ++mesh_strips->polylines.back().count;
    }
}

size_t Scene_Sender::strip_count() const {
    size_t count = 0;
    for (const Mesh_Strips& mesh : strips_) count += mesh.strips.size();
    return count;
}

size_t Scene_Sender::polyline_count() const {
    size_t count = 0;
    for (const Mesh_Strips& mesh : strips_) count += mesh.polylines.size();
    return count;
}

void Scene_Sender::draw_frame(HT_Device_Data* device, int index, int frame_count) {
    view_.set_orbit_frame(index, frame_count);
    draw_current(device);
}

void Scene_Sender::draw_view(HT_Device_Data* device, const View_Camera& camera) {
    view_.set_camera(camera);
    draw_current(device);
}

void Scene_Sender::draw_current(HT_Device_Data* device) {
    clear(device);
    const int limit = device->device_options.polytriangle_point_limit;
    for (size_t m = 0; m < model_.meshes.size(); ++m) send_mesh(device, m, limit >= 4 ? limit : 0);
    if (edges_)
        for (const Model_Mesh& mesh : model_.meshes) send_edges(device, mesh);
}

// The whole window, at the far end of the depth range: the driver never
// clears depth, so this rectangle does.
void Scene_Sender::clear(HT_Device_Data* device) {
    const HT_Action<HT_Rectangle_Action>& rectangle = device->actions.draw_dc_rectangle;
    if (rectangle.function == nullptr) return;
    rendition_.color.color = VIEW_BACKGROUND;
    rendition_.color.texture = HT_Texture_Reference();
    rendition_.face.pattern = HT_SOLID_FACE_PATTERN;
    const View_Frame& frame = view_.frame();
    rectangle.function(rectangle.object, &rendition_, 0, frame.width - 1, 0, frame.height - 1);
}

void Scene_Sender::send_mesh(HT_Device_Data* device, size_t mesh_index, int point_limit) {
    const Model_Mesh& mesh = model_.meshes[mesh_index];
    const Mesh_Strips& mesh_strips = strips_[mesh_index];
    view_.project(mesh, &projected_, &lit_);
    send_lines(device, mesh_strips);
    if (point_size_ > 1)
        send_squares(device, mesh);
    else
        send_dots(device, mesh);

    const bool textured = mesh.texture >= 0 && size_t(mesh.texture) < textures_.size();
    rendition_.color.color = mesh.diffuse;
    rendition_.face.pattern = HT_SOLID_FACE_PATTERN;
    rendition_.color.texture = HT_Texture_Reference();
    if (textured) {
        rendition_.color.texture.id = mesh.texture + 1;
        rendition_.color.texture.texture = textures_[size_t(mesh.texture)];
    }
    const HT_Action_Table& actions = device->actions;

    for (const Strip& strip : mesh_strips.strips) {
        const uint32_t* indices = mesh_strips.indices.data() + strip.first;
        uint32_t start = 0;
        while (start + 2 < strip.count) {
            uint32_t count = strip.count - start;
            if (point_limit > 0) count = std::min(count, uint32_t(point_limit) & ~1u);
            points_.resize(count);
            colors_.resize(count);
            for (uint32_t i = 0; i < count; ++i) {
                points_[i] = projected_[indices[start + i]];
                colors_[i] = lit_[indices[start + i]];
            }
            const int n = int(count);
            if (textured) {
                parameters_.resize(count);
                vertex_values_.assign(count, 0.0f);
                for (uint32_t i = 0; i < count; ++i) {
                    const uint32_t v = indices[start + i];
                    parameters_[i] = {mesh.texture_coordinates[2 * v], mesh.texture_coordinates[2 * v + 1], 0.0f};
                }
                if (actions.draw_dc_textured_polytriangle.function != nullptr)
                    actions.draw_dc_textured_polytriangle.function(actions.draw_dc_textured_polytriangle.object,
                                                                   &rendition_, n, points_.data(), colors_.data(),
                                                                   parameters_.data(), vertex_values_.data());
            } else if (!mesh.colors.empty()) {
                if (actions.draw_dc_colorized_polytriangle.function != nullptr)
                    actions.draw_dc_colorized_polytriangle.function(actions.draw_dc_colorized_polytriangle.object,
                                                                    &rendition_, n, points_.data(), colors_.data(),
                                                                    0);
            } else if (actions.draw_dc_gouraud_polytriangle.function != nullptr) {
                actions.draw_dc_gouraud_polytriangle.function(actions.draw_dc_gouraud_polytriangle.object,
                                                              &rendition_, n, points_.data(), colors_.data());
            }
            // The next piece repeats the last two points, so no triangle is lost;
            // pieces start at even offsets and keep the strip's winding.
            start += count - 2;
        }
    }
}

// Each polyline in pieces within the device's limit; the next piece starts
// at the point where the one before ended.
void Scene_Sender::send_lines(HT_Device_Data* device, const Mesh_Strips& mesh_strips) {
    const HT_Action<HT_Polyline_Action>& polyline = device->actions.draw_dc_polyline;
    if (polyline.function == nullptr || mesh_strips.polylines.empty()) return;
    const int limit = device->device_options.polyline_point_limit;
    rendition_.color.texture = HT_Texture_Reference();
    rendition_.line.pattern = 0;
    rendition_.line.weight = 0;
    for (const Strip& line : mesh_strips.polylines) {
        const uint32_t* indices = mesh_strips.line_indices.data() + line.first;
        for (uint32_t start = 0; start + 1 < line.count;) {
            uint32_t count = line.count - start;
            if (limit >= 2) count = std::min(count, uint32_t(limit));
            points_.resize(count);
            for (uint32_t i = 0; i < count; ++i) points_[i] = projected_[indices[start + i]];
            rendition_.color.color = lit_[indices[start]];
            polyline.function(polyline.object, &rendition_, int(count), points_.data());
            start += count - 1;
        }
    }
}

// Each point a dot in its lit colour.
void Scene_Sender::send_dots(HT_Device_Data* device, const Model_Mesh& mesh) {
    const HT_Action<HT_Colorized_Dot_Action>& dot = device->actions.draw_dc_colorized_dot;
    if (dot.function == nullptr || mesh.dots.empty()) return;
    rendition_.color.color = mesh.diffuse;
    rendition_.color.texture = HT_Texture_Reference();
    for (uint32_t index : mesh.dots) dot.function(dot.object, &rendition_, &projected_[index], &lit_[index]);
}

// Each point a square of point_size_ pixels around the pixel it falls in,
// at its depth, in its lit colour: a strip of two triangles.
void Scene_Sender::send_squares(HT_Device_Data* device, const Model_Mesh& mesh) {
    const HT_Action<HT_Gouraud_Polytriangle_Action>& strip = device->actions.draw_dc_gouraud_polytriangle;
    if (strip.function == nullptr || mesh.dots.empty()) return;
    rendition_.color.color = mesh.diffuse;
    rendition_.color.texture = HT_Texture_Reference();
    rendition_.face.pattern = HT_SOLID_FACE_PATTERN;
    const float before = float((point_size_ - 1) / 2);
    const float side = float(point_size_);
    for (uint32_t index : mesh.dots) {
        const HT_Point3D& p = projected_[index];
        const float left = std::floor(p.x) - before, bottom = std::floor(p.y) - before;
        const HT_Point3D corners[4] = {
            {left, bottom, p.z}, {left + side, bottom, p.z}, {left, bottom + side, p.z}, {left + side, bottom + side, p.z}};
        const HT_RGB32 colors[4] = {lit_[index], lit_[index], lit_[index], lit_[index]};
        strip.function(strip.object, &rendition_, 4, corners, colors);
    }
}

// Each triangle's outline as a closed polyline of four points.
void Scene_Sender::send_edges(HT_Device_Data* device, const Model_Mesh& mesh) {
    const HT_Action<HT_Polyline_Action>& polyline = device->actions.draw_dc_polyline;
    if (polyline.function == nullptr) return;
    view_.project(mesh, &projected_, &lit_);
    rendition_.color.color = VIEW_EDGE_COLOR;
    rendition_.color.texture = HT_Texture_Reference();
    rendition_.line.pattern = 0;
    rendition_.line.weight = 0;
    HT_Point3D outline[4];
    for (size_t t = 0; t + 2 < mesh.triangles.size(); t += 3) {
        for (int k = 0; k < 3; ++k) outline[k] = projected_[mesh.triangles[t + size_t(k)]];
        outline[3] = outline[0];
        polyline.function(polyline.object, &rendition_, 4, outline);
    }
}
