// The stream: "TVMI", one byte (1: imported, 0: refused), then
//   refused:  u32 length, the reason's bytes;
//   imported: center x y z and radius (f32); u32 textures, each i32 width,
//             i32 height and width × height pixels (u32); u32 meshes, each
//             u32 vertices, their positions and normals (3 × f32), one byte
//             of parts (1: colours, 2: texture coordinates), the colours
//             (u32) and coordinates (2 × f32) it names, u32 triangle
//             indices and the indices, u32 line indices and the indices,
//             u32 dots and the indices, diffuse (u32), texture (i32, -1 for
//             none); u32 materials (at most the meshes), u32 textures
//             missing (at most the materials); u32 warnings, each u32
//             length and its bytes;
// and nothing after that.
#include "viewer/model_stream.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>
#include <vector>

#include "viewer/model_texture.h"

namespace {

const char MAGIC[4] = {'T', 'V', 'M', 'I'};
constexpr uint8_t HAS_COLORS = 1;
constexpr uint8_t HAS_TEXTURE_COORDINATES = 2;
// A reason or a warning is one line of a message; longer is none the
// importer gives.
constexpr uint32_t LINE_LIMIT = 4096;
// Far more textures than the materials of any model the viewer is meant for.
constexpr uint32_t TEXTURE_LIMIT = 65536;
// Arrays arrive a mebibyte at a time, so that a stated count that the
// stream does not back takes no more memory than the bytes that came.
constexpr size_t ARRAY_CHUNK_BYTES = size_t(1) << 20;

class Writer {
public:
    explicit Writer(const Stream_Write& write) : write_(write) {}

    template <class T>
    bool value(const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        return write_(&value, sizeof value);
    }

    // The values alone, where the reader knows their count.
    template <class T>
    bool raw(const std::vector<T>& values) {
        return values.empty() || write_(values.data(), values.size() * sizeof(T));
    }

    template <class T>
    bool array(const std::vector<T>& values) {
        return count(values.size()) && raw(values);
    }

    bool count(size_t count) {
        return count <= std::numeric_limits<uint32_t>::max() && value(uint32_t(count));
    }

private:
    const Stream_Write& write_;
};

bool write_mesh(Writer& out, const Model_Mesh& mesh) {
    const size_t count = mesh.positions.size();
    if (mesh.normals.size() != count || !(mesh.colors.empty() || mesh.colors.size() == count) ||
        !(mesh.texture_coordinates.empty() || mesh.texture_coordinates.size() == 2 * count))
        return false;
    const uint8_t parts = uint8_t((mesh.colors.empty() ? 0 : HAS_COLORS) |
                                  (mesh.texture_coordinates.empty() ? 0 : HAS_TEXTURE_COORDINATES));
    return out.count(count) && out.raw(mesh.positions) && out.raw(mesh.normals) && out.value(parts) &&
           out.raw(mesh.colors) && out.raw(mesh.texture_coordinates) && out.array(mesh.triangles) &&
           out.array(mesh.lines) && out.array(mesh.dots) && out.value(mesh.diffuse) && out.value(int32_t(mesh.texture));
}

class Reader {
public:
    explicit Reader(const Stream_Read& read) : read_(read) {}

    template <class T>
    bool value(T* value) {
        static_assert(std::is_trivially_copyable_v<T>);
        return read_(value, sizeof *value) || cut_short();
    }

    bool count(uint32_t limit, const char* what, uint32_t* count) {
        if (!value(count)) return false;
        if (*count > limit) return damaged(std::to_string(*count) + " " + what + ", more than " + std::to_string(limit));
        return true;
    }

    template <class T>
    bool array(size_t count, std::vector<T>* values) {
        constexpr size_t chunk = ARRAY_CHUNK_BYTES / sizeof(T);
        values->clear();
        while (values->size() < count) {
            const size_t at = values->size(), part = std::min(chunk, count - at);
            values->resize(at + part);
            if (!read_(values->data() + at, part * sizeof(T))) return cut_short();
        }
        return true;
    }

    // A string of one line, as a reason or a warning is.
    bool line(std::string* text) {
        uint32_t length = 0;
        std::vector<char> bytes;
        if (!count(LINE_LIMIT, "bytes of a line", &length) || !array(length, &bytes)) return false;
        text->assign(bytes.begin(), bytes.end());
        return (!text->empty() && text->find('\n') == std::string::npos) ||
               damaged("a reason or warning that is not one line");
    }

    bool at_end() {
        uint8_t extra;
        return !read_(&extra, 1) || damaged("bytes after the end");
    }

    bool cut_short() { return damaged("cut short"); }

    bool damaged(std::string what) {
        if (damage.empty()) damage = std::move(what);
        return false;
    }

    std::string damage;

private:
    const Stream_Read& read_;
};

bool finite(const Model_Vector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// Every index names a vertex, and the vertices drawn are finite: what the
// importer promises and the scene sender relies on.
bool indices_drawable(Reader& in, const std::vector<uint32_t>& indices, const std::vector<Model_Vector>& positions) {
    for (uint32_t index : indices) {
        if (index >= positions.size())
            return in.damaged("index " + std::to_string(index) + " past " + std::to_string(positions.size()) +
                              " vertices");
        if (!finite(positions[index])) return in.damaged("a drawn vertex is not finite");
    }
    return true;
}

bool read_texture(Reader& in, Model_Texture* texture) {
    int32_t width = 0, height = 0;
    if (!in.value(&width) || !in.value(&height)) return false;
    if (width < 0 || height < 0 || width > MODEL_TEXTURE_SIDE_LIMIT || height > MODEL_TEXTURE_SIDE_LIMIT)
        return in.damaged("a texture of " + std::to_string(width) + " × " + std::to_string(height) + " pixels");
    texture->width = width;
    texture->height = height;
    return in.array(size_t(width) * size_t(height), &texture->pixels);
}

bool read_mesh(Reader& in, size_t textures, size_t* vertices_left, Model_Mesh* mesh) {
    uint32_t count = 0;
    if (!in.count(uint32_t(*vertices_left), "vertices", &count)) return false;
    if (count == 0) return in.damaged("a mesh without vertices");
    *vertices_left -= count;
    uint8_t parts = 0;
    if (!in.array(count, &mesh->positions) || !in.array(count, &mesh->normals) || !in.value(&parts)) return false;
    if ((parts & ~(HAS_COLORS | HAS_TEXTURE_COORDINATES)) != 0) return in.damaged("unknown mesh parts");
    if (!in.array((parts & HAS_COLORS) != 0 ? count : 0, &mesh->colors) ||
        !in.array((parts & HAS_TEXTURE_COORDINATES) != 0 ? 2 * size_t(count) : 0, &mesh->texture_coordinates))
        return false;
    uint32_t indices = 0;
    if (!in.value(&indices) || !in.array(indices, &mesh->triangles)) return false;
    if (indices % 3 != 0) return in.damaged(std::to_string(indices) + " triangle indices, not three to a triangle");
    uint32_t line_indices = 0;
    if (!in.value(&line_indices) || !in.array(line_indices, &mesh->lines)) return false;
    if (line_indices % 2 != 0)
        return in.damaged(std::to_string(line_indices) + " line indices, not two to a segment");
    uint32_t dots = 0;
    if (!in.value(&dots) || !in.array(dots, &mesh->dots)) return false;
    if (indices == 0 && line_indices == 0 && dots == 0) return in.damaged("a mesh with nothing to draw");
    if (!indices_drawable(in, mesh->triangles, mesh->positions) || !indices_drawable(in, mesh->lines, mesh->positions) ||
        !indices_drawable(in, mesh->dots, mesh->positions))
        return false;
    int32_t texture = -1;
    if (!in.value(&mesh->diffuse) || !in.value(&texture)) return false;
    if (texture < -1 || texture >= int64_t(textures))
        return in.damaged("texture " + std::to_string(texture) + " of " + std::to_string(textures));
    if (texture >= 0 && mesh->texture_coordinates.empty()) return in.damaged("a texture without coordinates");
    mesh->texture = texture;
    return true;
}

bool read_model(Reader& in, Model* model) {
    float radius = 0;
    if (!in.value(&model->center) || !in.value(&radius)) return false;
    if (!finite(model->center) || !std::isfinite(radius) || radius < 0)
        return in.damaged("a bounding sphere that is not finite");
    model->radius = radius;
    uint32_t textures = 0;
    if (!in.count(TEXTURE_LIMIT, "textures", &textures)) return false;
    for (uint32_t t = 0; t < textures; ++t) {
        model->textures.emplace_back();
        if (!read_texture(in, &model->textures.back())) return false;
    }
    // Every mesh has a vertex, so the vertex limit bounds the meshes too.
    size_t vertices_left = MODEL_PLACED_VERTEX_LIMIT;
    uint32_t meshes = 0;
    if (!in.count(uint32_t(vertices_left), "meshes", &meshes)) return false;
    if (meshes == 0) return in.damaged("a model without meshes");
    for (uint32_t m = 0; m < meshes; ++m) {
        model->meshes.emplace_back();
        if (!read_mesh(in, textures, &vertices_left, &model->meshes.back())) return false;
    }
    // Each drawn mesh uses one material, and each material names one texture.
    uint32_t materials = 0, textures_missing = 0;
    if (!in.count(meshes, "materials", &materials) || !in.count(materials, "textures missing", &textures_missing))
        return false;
    model->materials = materials;
    model->textures_missing = textures_missing;
    uint32_t warnings = 0;
    if (!in.count(uint32_t(MODEL_WARNING_LIMIT), "warnings", &warnings)) return false;
    for (uint32_t w = 0; w < warnings; ++w) {
        model->warnings.emplace_back();
        if (!in.line(&model->warnings.back())) return false;
    }
    return true;
}

}  // namespace

bool write_import_outcome(const Import_Outcome& outcome, const Stream_Write& write) {
    Writer out(write);
    if (!write(MAGIC, sizeof MAGIC) || !out.value(uint8_t(outcome.imported ? 1 : 0))) return false;
    if (!outcome.imported) return out.array(std::vector<char>(outcome.reason.begin(), outcome.reason.end()));
    const Model& model = outcome.model;
    if (!out.value(model.center) || !out.value(model.radius) || !out.count(model.textures.size())) return false;
    for (const Model_Texture& texture : model.textures)
        if (texture.pixels.size() != size_t(texture.width) * size_t(texture.height) ||
            !out.value(int32_t(texture.width)) || !out.value(int32_t(texture.height)) || !out.raw(texture.pixels))
            return false;
    if (!out.count(model.meshes.size())) return false;
    for (const Model_Mesh& mesh : model.meshes)
        if (!write_mesh(out, mesh)) return false;
    if (!out.count(model.materials) || !out.count(model.textures_missing) || !out.count(model.warnings.size()))
        return false;
    for (const std::string& warning : model.warnings)
        if (!out.array(std::vector<char>(warning.begin(), warning.end()))) return false;
    return true;
}

bool read_import_outcome(const Stream_Read& read, Import_Outcome* outcome, std::string* damage) {
    *outcome = Import_Outcome();
    Reader in(read);
    char magic[sizeof MAGIC];
    uint8_t imported = 0;
    bool whole = in.value(&magic) && (std::memcmp(magic, MAGIC, sizeof MAGIC) == 0 || in.damaged("not a model stream")) &&
                 in.value(&imported) && (imported <= 1 || in.damaged("neither imported nor refused"));
    if (whole && imported == 1) {
        whole = read_model(in, &outcome->model);
    } else if (whole) {
        whole = in.line(&outcome->reason);
    }
    whole = whole && in.at_end();
    if (!whole) {
        *outcome = Import_Outcome();
        *damage = in.damage;
        return false;
    }
    outcome->imported = imported == 1;
    return true;
}
