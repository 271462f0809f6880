// Triangles are found around a position, not around a vertex index, so
// that a file which repeats a vertex for each of its triangles (as STL
// does) is smoothed over the repeated copies as well. A position that very
// many triangles share is smoothed over all of them at once, so that a
// crafted fan of triangles costs no more than the triangles themselves.
#include "viewer/model_normals.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace {

// Beyond this many triangles at one position, the crease angle is not
// looked at.
constexpr size_t CREASE_TESTED_TRIANGLES = 64;

struct Normal {
    double x = 0, y = 0, z = 0;
    Normal& operator+=(const Normal& n) {
        x += n.x;
        y += n.y;
        z += n.z;
        return *this;
    }
    double dot(const Normal& n) const { return x * n.x + y * n.y + z * n.z; }
    double length() const { return std::sqrt(dot(*this)); }
    Normal unit() const {
        const double l = length();
        return l > 0 && std::isfinite(l) ? Normal{x / l, y / l, z / l} : Normal{};
    }
};

bool bad(const Model_Vector& n) {
    return !(std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z)) || (n.x == 0 && n.y == 0 && n.z == 0);
}

// The position's bits, with -0 taken as 0, as a key.
struct Position_Key {
    uint32_t bits[3];
    bool operator==(const Position_Key& other) const { return std::memcmp(bits, other.bits, sizeof bits) == 0; }
};

struct Position_Hash {
    size_t operator()(const Position_Key& key) const {
        return (size_t(key.bits[0]) * 73856093u) ^ (size_t(key.bits[1]) * 19349663u) ^ (size_t(key.bits[2]) * 83492791u);
    }
};

Position_Key key_of(const Model_Vector& p) {
    Position_Key key;
    const float coordinates[3] = {p.x + 0.0f, p.y + 0.0f, p.z + 0.0f};
    std::memcpy(key.bits, coordinates, sizeof key.bits);
    return key;
}

Normal face_normal(const Model_Mesh& mesh, size_t triangle) {
    const Model_Vector& a = mesh.positions[mesh.triangles[3 * triangle]];
    const Model_Vector& b = mesh.positions[mesh.triangles[3 * triangle + 1]];
    const Model_Vector& c = mesh.positions[mesh.triangles[3 * triangle + 2]];
    const double u[3] = {double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z};
    const double v[3] = {double(c.x) - a.x, double(c.y) - a.y, double(c.z) - a.z};
    const Normal n = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    return std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z) ? n : Normal{};
}

// The triangles at one position, and their sum for a crowded position.
struct Corner_Group {
    std::vector<uint32_t> triangles;
    Normal sum;
};

Model_Vector vector_of(const Normal& n) { return {float(n.x), float(n.y), float(n.z)}; }

bool same(const Model_Vector& a, const Model_Vector& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// A copy of vertex `v` with its own normal, at the end of the mesh.
uint32_t split_vertex(Model_Mesh* mesh, uint32_t v, const Model_Vector& normal) {
    mesh->positions.push_back(mesh->positions[v]);
    mesh->normals.push_back(normal);
    if (!mesh->colors.empty()) mesh->colors.push_back(mesh->colors[v]);
    if (!mesh->texture_coordinates.empty())
        mesh->texture_coordinates.insert(mesh->texture_coordinates.end(),
                                         {mesh->texture_coordinates[2 * size_t(v)],
                                          mesh->texture_coordinates[2 * size_t(v) + 1]});
    return uint32_t(mesh->positions.size() - 1);
}

}  // namespace

void repair_normals(Model_Mesh* mesh) {
    const size_t triangle_count = mesh->triangles.size() / 3;
    const size_t vertex_count = mesh->positions.size();
    std::vector<bool> needs(vertex_count, false);
    bool any = false;
    for (uint32_t v : mesh->triangles)
        if (bad(mesh->normals[v])) any = needs[v] = true;
    if (!any) return;

    std::vector<Normal> faces(triangle_count);
    std::unordered_map<Position_Key, Corner_Group, Position_Hash> groups;
    for (size_t t = 0; t < triangle_count; ++t) {
        faces[t] = face_normal(*mesh, t);
        for (int k = 0; k < 3; ++k) {
            const uint32_t v = mesh->triangles[3 * t + size_t(k)];
            if (!needs[v]) continue;
            Corner_Group& group = groups[key_of(mesh->positions[v])];
            if (!group.triangles.empty() && group.triangles.back() == t) continue;
            group.triangles.push_back(uint32_t(t));
            group.sum += faces[t];
        }
    }

    const double crease = std::cos(MODEL_CREASE_DEGREES * 3.14159265358979323846 / 180.0);
    std::vector<bool> assigned(vertex_count, false);
    std::unordered_map<uint32_t, std::vector<uint32_t>> copies;
    for (size_t t = 0; t < triangle_count; ++t) {
        const Normal own = faces[t].unit();
        for (int k = 0; k < 3; ++k) {
            uint32_t& corner = mesh->triangles[3 * t + size_t(k)];
            const uint32_t v = corner;
            if (v >= vertex_count || !needs[v]) continue;
            const Corner_Group& group = groups[key_of(mesh->positions[v])];
            Normal sum;
            if (group.triangles.size() > CREASE_TESTED_TRIANGLES || own.length() == 0) {
                sum = group.sum;
            } else {
                for (uint32_t other : group.triangles)
                    if (faces[other].unit().dot(own) >= crease) sum += faces[other];
            }
            const Model_Vector normal = vector_of(sum.unit());
            if (!assigned[v]) {
                assigned[v] = true;
                mesh->normals[v] = normal;
                continue;
            }
            if (same(mesh->normals[v], normal)) continue;
            std::vector<uint32_t>& split = copies[v];
            uint32_t chosen = 0;
            bool found = false;
            for (uint32_t copy : split)
                if (same(mesh->normals[copy], normal)) {
                    chosen = copy;
                    found = true;
                }
            if (!found) {
                chosen = split_vertex(mesh, v, normal);
                split.push_back(chosen);
            }
            corner = chosen;
        }
    }
}
