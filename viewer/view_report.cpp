// Counting and printing; the JSON is written by hand since it is one flat
// object of numbers and a few strings.
#include "viewer/view_report.h"

#include <algorithm>
#include <cmath>

namespace {

std::string json_string(const std::string& text) {
    std::string quoted = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += char(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            quoted += escaped;
        } else {
            quoted += char(c);
        }
    }
    return quoted + "\"";
}

std::string json_number(double value) {
    if (!std::isfinite(value)) return "null";
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string json_vector(const Model_Vector& v) {
    return "[" + json_number(v.x) + "," + json_number(v.y) + "," + json_number(v.z) + "]";
}

}  // namespace

Model_Figures figures_of(const Model& model, size_t strips, size_t polylines, bool edges) {
    Model_Figures figures;
    figures.meshes = model.meshes.size();
    figures.vertices = model.vertex_count();
    figures.triangles = model.triangle_count();
    figures.lines = model.line_count();
    figures.points = model.dot_count();
    figures.materials = model.materials;
    figures.textures = model.textures.size();
    figures.textures_missing = model.textures_missing;
    figures.strips = strips;
    figures.polylines = polylines;
    figures.calls_per_frame = 1 + strips + polylines + figures.points + (edges ? figures.triangles : 0);
    bool first = true;
    for (const Model_Mesh& mesh : model.meshes)
        mesh.for_each_drawn_vertex([&](const Model_Vector& p) {
            if (first) figures.low = figures.high = p;
            first = false;
            figures.low = {std::min(figures.low.x, p.x), std::min(figures.low.y, p.y), std::min(figures.low.z, p.z)};
            figures.high = {std::max(figures.high.x, p.x), std::max(figures.high.y, p.y),
                            std::max(figures.high.z, p.z)};
        });
    return figures;
}

void print_model_figures(std::FILE* stream, const Model_Figures& f) {
    std::fprintf(stream, "meshes: %zu\nvertices: %zu\ntriangles: %zu\nlines: %zu\npoints: %zu\n", f.meshes, f.vertices,
                 f.triangles, f.lines, f.points);
    std::fprintf(stream, "materials: %zu\ntextures: %zu\ntextures missing: %zu\n", f.materials, f.textures,
                 f.textures_missing);
    std::fprintf(stream, "bounds: %g %g %g to %g %g %g\n", double(f.low.x), double(f.low.y), double(f.low.z),
                 double(f.high.x), double(f.high.y), double(f.high.z));
    std::fprintf(stream, "strips per frame: %zu\npolylines per frame: %zu\ncalls per frame: %zu\n", f.strips,
                 f.polylines, f.calls_per_frame);
}

std::string json_report(const std::string& model_path, const Model_Figures& f, const Run_Figures* runs,
                        size_t run_count, int status) {
    std::string json = "{\"model\":" + json_string(model_path);
    json += ",\"meshes\":" + std::to_string(f.meshes) + ",\"vertices\":" + std::to_string(f.vertices) +
            ",\"triangles\":" + std::to_string(f.triangles) + ",\"lines\":" + std::to_string(f.lines) +
            ",\"points\":" + std::to_string(f.points) + ",\"materials\":" + std::to_string(f.materials) +
            ",\"textures\":" + std::to_string(f.textures) +
            ",\"textures_missing\":" + std::to_string(f.textures_missing) + ",\"bounds\":[" + json_vector(f.low) + "," +
            json_vector(f.high) + "],\"strips_per_frame\":" + std::to_string(f.strips) +
            ",\"polylines_per_frame\":" + std::to_string(f.polylines) +
            ",\"calls_per_frame\":" + std::to_string(f.calls_per_frame) + ",\"runs\":[";
    const Run_Figures* comparison = nullptr;
    for (size_t i = 0; i < run_count; ++i) {
        const Run_Figures& run = runs[i];
        if (run.compared) comparison = &run;
        json += std::string(i ? "," : "") + "{\"renderer\":" + json_string(run.renderer) +
                ",\"frames\":" + std::to_string(run.frames) + ",\"seconds\":" + json_number(run.seconds) +
                ",\"fps\":" + json_number(run.seconds > 0 ? run.frames / run.seconds : 0.0) + "}";
    }
    json += "]";
    if (comparison != nullptr)
        json += ",\"compared_with\":" + json_string(comparison->compared_with) +
                ",\"differing_pixels\":" + std::to_string(comparison->differing) +
                ",\"pixels\":" + std::to_string(comparison->total) +
                ",\"differing_percent\":" + json_number(comparison->percent()) +
                ",\"worst_frame\":" + std::to_string(comparison->worst_frame);
    return json + ",\"status\":" + std::to_string(status) + "}";
}
