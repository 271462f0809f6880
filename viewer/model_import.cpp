// The importer keeps only the loaders of the enabled formats: the others are
// taken out of its registry, so that neither the file's extension nor a look
// at its first bytes can hand a file to a loader nobody tested. The scene it
// is validated by the library before any other step runs, and checked again
// here (null arrays, index ranges, finite positions) before anything of it
// is used. A scene with a mesh of vertices and no faces is a point cloud:
// the validation would refuse it, so it gets no step at all, and only its
// vertices are used, drawn as dots. Meshes without vertices (an empty solid
// beside a good one) are taken out before the validation, which would
// refuse the whole scene for them.
//
// The loaders log an error for every part of a file that they had to skip
// or guess. Those errors become the model's warnings, with one for each
// texture that cannot be had: a file is refused only when nothing drawable
// comes out of it.
//
// The materials counted are those that the drawn meshes use: the loaders
// also make materials that nothing draws (the OBJ loader's default one
// beside a material file, a COLLADA library's unused effects), and a count
// of them would say nothing about the picture.
#include "viewer/model_import.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include <assimp/BaseImporter.h>
#include <assimp/Importer.hpp>
#include <assimp/DefaultLogger.hpp>
#include <assimp/LogStream.hpp>
#include <assimp/config.h>
#include <assimp/importerdesc.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include "viewer/gltf_version.h"
#include "viewer/import_child.h"
#include "viewer/memory_ceiling.h"
#include "viewer/model_counts.h"
#include "viewer/model_normals.h"
#include "viewer/model_texture.h"
#include "viewer/texture_path.h"

const char* const MODEL_FORMATS = "obj, ply, stl, off, 3ds, gltf, glb, dae";

namespace {

const char* const ENABLED_LOADERS[] = {
    "Wavefront Object Importer", "Stanford Polygon Library (PLY) Importer",
    "Stereolithography (STL) Importer", "OFF Importer", "Discreet 3DS Importer",
    "glTF2 Importer", "Collada Importer",
};
const char* const ENABLED_EXTENSIONS[] = {"obj", "ply", "stl", "off", "3ds", "gltf", "glb", "dae"};

// Normals are made by model_normals.h, which keeps the file's good ones.
constexpr unsigned IMPORT_STEPS =
    aiProcess_Triangulate | aiProcess_JoinIdenticalVertices | aiProcess_SortByPType;
// Node transforms are applied while the node tree is walked; a tree this
// large is not a model anybody views.
constexpr size_t MAX_NODE_VISITS = 1000000;
// The address space an import may take beyond what the process holds: some
// hundred times the largest model the viewer is meant for.
constexpr size_t IMPORT_MEMORY_ROOM = size_t(4) << 30;
// The largest text glTF file whose version is looked for before the
// import: beyond it the file is left to the loader.
constexpr size_t GLTF_TEXT_READ_LIMIT = size_t(256) << 20;
const char* const TOO_LARGE = "the file asks for more memory than the viewer gives one model (4 GiB)";

// The library's message as one line.
std::string one_line(std::string text) {
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text.empty() ? "the file could not be read as a model" : text;
}

// Each warning once, and no more of them than a model keeps.
void add_warning(std::vector<std::string>* warnings, const std::string& text) {
    if (warnings->size() < MODEL_WARNING_LIMIT && std::find(warnings->begin(), warnings->end(), text) == warnings->end())
        warnings->push_back(text);
}

// What the OBJ loader logs for files it reads whole all the same: faces
// that come before any object or group statement, and a material named
// without a material file (the plain OBJ exporters' "usemtl Default"), which
// gets the default material it would have had. A material file that is not
// there is still a warning.
const char* const HARMLESS_OBJ_ERRORS[] = {"No object detected to attach a new mesh instance",
                                           "failed to locate material Default, creating new material"};

bool harmless(const std::string& text) {
    return std::any_of(std::begin(HARMLESS_OBJ_ERRORS), std::end(HARMLESS_OBJ_ERRORS),
                       [&](const char* known) { return text.find(known) != std::string::npos; });
}

// The errors the loaders log during one import, each once, as warnings.
// The library's logger is one for the process, so imports take turns.
class Import_Errors final : public Assimp::LogStream {
public:
    Import_Errors() : lock_(mutex()) {
        Assimp::DefaultLogger::create("", Assimp::Logger::NORMAL, 0);
        Assimp::DefaultLogger::get()->attachStream(this, Assimp::Logger::Err);
    }
    ~Import_Errors() override {
        Assimp::DefaultLogger::get()->detachStream(this, Assimp::Logger::Err);
        Assimp::DefaultLogger::kill();
    }
    Import_Errors(const Import_Errors&) = delete;
    Import_Errors& operator=(const Import_Errors&) = delete;

    void write(const char* message) override {
        std::string text = message != nullptr ? message : "";
        // The logger puts "Error, T0: " before the loader's words.
        const size_t words = text.find(": ");
        if (words != std::string::npos && words < 16) text.erase(0, words + 2);
        if (!harmless(text)) add_warning(&warnings, one_line(text));
    }

    std::vector<std::string> warnings;

private:
    static std::mutex& mutex() {
        static std::mutex shared;
        return shared;
    }
    std::lock_guard<std::mutex> lock_;
};

// An importer with the enabled loaders only. The loaders taken out are
// owned here, since the importer no longer deletes them.
class Restricted_Importer {
public:
    Restricted_Importer() {
        for (size_t i = importer.GetImporterCount(); i-- > 0;) {
            const aiImporterDesc* description = importer.GetImporterInfo(i);
            const bool enabled =
                description != nullptr &&
                std::any_of(std::begin(ENABLED_LOADERS), std::end(ENABLED_LOADERS),
                            [&](const char* name) { return std::string(description->mName) == name; });
            if (enabled) continue;
            Assimp::BaseImporter* loader = importer.GetImporter(i);
            if (loader != nullptr && importer.UnregisterLoader(loader) == aiReturn_SUCCESS)
                removed_.emplace_back(loader);
        }
    }
    Restricted_Importer(const Restricted_Importer&) = delete;
    Restricted_Importer& operator=(const Restricted_Importer&) = delete;

    Assimp::Importer importer;

private:
    std::vector<std::unique_ptr<Assimp::BaseImporter>> removed_;
};

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

bool enabled_extension(const std::string& extension) {
    return std::any_of(std::begin(ENABLED_EXTENSIONS), std::end(ENABLED_EXTENSIONS),
                       [&](const char* known) { return extension == known; });
}

std::string unsupported(const std::string& extension) {
    return "unsupported format" + (extension.empty() ? std::string(" (no file extension)") : " (." + extension + ")") +
           "; the viewer reads " + MODEL_FORMATS;
}

uint8_t channel(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 1.0f) return 255;
    return uint8_t(value * 255.0f + 0.5f);
}

HT_RGB32 color_of(const aiColor4D& c) { return HT_Make_RGB32(channel(c.r), channel(c.g), channel(c.b), 255); }

bool finite(const aiVector3D& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The texture a material names, decoded once per name; -1, with a warning,
// when it cannot be had.
class Texture_Table {
public:
    Texture_Table(const aiScene& scene, std::string directory, Model* model)
        : scene_(scene), directory_(std::move(directory)), model_(model) {}

    int find(const aiMaterial& material) {
        aiString name;
        if (material.GetTexture(aiTextureType_DIFFUSE, 0, &name) != aiReturn_SUCCESS &&
            material.GetTexture(aiTextureType_BASE_COLOR, 0, &name) != aiReturn_SUCCESS)
            return -1;
        const std::string key = name.C_Str();
        for (const auto& known : names_)
            if (known.first == key) return known.second;
        const int index = decode(key);
        names_.emplace_back(key, index);
        return index;
    }

private:
    int decode(const std::string& name) {
        Model_Texture texture;
        std::string reason;
        if (const aiTexture* embedded = scene_.GetEmbeddedTexture(name.c_str())) {
            if (!decode_embedded(*embedded, &texture, &reason)) return missing(name, reason);
        } else {
            // A model read from memory has no folder to look in.
            const std::string path = directory_.empty() ? std::string() : find_texture_file(directory_, name);
            if (path.empty()) return missing(name, "no such file");
            if (!decode_texture_file(path, &texture, &reason)) return missing(name, reason);
        }
        model_->textures.push_back(std::move(texture));
        return int(model_->textures.size() - 1);
    }

    int missing(const std::string& name, const std::string& reason) {
        ++model_->textures_missing;
        add_warning(&model_->warnings, one_line("texture \"" + name + "\" left out: " + reason));
        return -1;
    }

    static bool decode_embedded(const aiTexture& embedded, Model_Texture* texture, std::string* reason) {
        if (embedded.pcData == nullptr) {
            *reason = "no image bytes";
            return false;
        }
        // A height of 0 marks compressed file bytes, mWidth of them.
        if (embedded.mHeight == 0)
            return decode_texture_memory(reinterpret_cast<const uint8_t*>(embedded.pcData), embedded.mWidth, texture,
                                         reason);
        if (embedded.mWidth > unsigned(MODEL_TEXTURE_SIDE_LIMIT) ||
            embedded.mHeight > unsigned(MODEL_TEXTURE_SIDE_LIMIT)) {
            *reason = "larger than " + std::to_string(MODEL_TEXTURE_SIDE_LIMIT) + " pixels on a side";
            return false;
        }
        texture->width = int(embedded.mWidth);
        texture->height = int(embedded.mHeight);
        texture->pixels.resize(size_t(embedded.mWidth) * embedded.mHeight);
        for (size_t i = 0; i < texture->pixels.size(); ++i) {
            const aiTexel& t = embedded.pcData[i];
            texture->pixels[i] = HT_Make_RGB32(t.r, t.g, t.b, t.a);
        }
        return true;
    }

    const aiScene& scene_;
    std::string directory_;
    Model* model_;
    std::vector<std::pair<std::string, int>> names_;
};

// One mesh of the scene placed by its node's transform, or false when it
// has nothing to draw. Faces of three indices are triangles, of two a line
// segment, of one a point; in a point cloud every vertex is a point.
bool convert_mesh(const aiMesh& source, const aiMatrix4x4& transform, const aiScene& scene, bool point_cloud,
                  Texture_Table& textures, Model_Mesh* mesh) {
    const unsigned count = source.mNumVertices;
    if (count == 0 || source.mVertices == nullptr) return false;
    aiMatrix3x3 normal_transform(transform);
    normal_transform.Inverse().Transpose();
    mesh->positions.resize(count);
    mesh->normals.resize(count, Model_Vector{0, 0, 0});
    std::vector<bool> usable(count);
    for (unsigned i = 0; i < count; ++i) {
        const aiVector3D p = transform * source.mVertices[i];
        usable[i] = finite(p);
        mesh->positions[i] = {p.x, p.y, p.z};
        if (source.mNormals != nullptr) {
            const aiVector3D n = normal_transform * source.mNormals[i];
            if (finite(n)) mesh->normals[i] = {n.x, n.y, n.z};
        }
    }

    for (unsigned f = 0; !point_cloud && f < source.mNumFaces && source.mFaces != nullptr; ++f) {
        const aiFace& face = source.mFaces[f];
        const unsigned* index = face.mIndices;
        if (face.mNumIndices < 1 || face.mNumIndices > 3 || index == nullptr) continue;
        if (!std::all_of(index, index + face.mNumIndices, [&](unsigned i) { return i < count && usable[i]; }))
            continue;
        std::vector<uint32_t>& kind =
            face.mNumIndices == 3 ? mesh->triangles : face.mNumIndices == 2 ? mesh->lines : mesh->dots;
        kind.insert(kind.end(), index, index + face.mNumIndices);
    }
    if (point_cloud)
        for (unsigned i = 0; i < count; ++i)
            if (usable[i]) mesh->dots.push_back(i);
    if (mesh->triangles.empty() && mesh->lines.empty() && mesh->dots.empty()) return false;

    if (source.mColors[0] != nullptr) {
        mesh->colors.resize(count);
        for (unsigned i = 0; i < count; ++i) mesh->colors[i] = color_of(source.mColors[0][i]);
    }
    if (source.mMaterialIndex < scene.mNumMaterials && scene.mMaterials[source.mMaterialIndex] != nullptr) {
        const aiMaterial& material = *scene.mMaterials[source.mMaterialIndex];
        aiColor4D diffuse;
        if (material.Get(AI_MATKEY_COLOR_DIFFUSE, diffuse) == aiReturn_SUCCESS ||
            material.Get(AI_MATKEY_BASE_COLOR, diffuse) == aiReturn_SUCCESS)
            mesh->diffuse = color_of(diffuse);
        if (source.mTextureCoords[0] != nullptr) mesh->texture = textures.find(material);
    }
    if (mesh->texture >= 0) {
        mesh->texture_coordinates.resize(2 * size_t(count));
        for (unsigned i = 0; i < count; ++i) {
            const aiVector3D& uv = source.mTextureCoords[0][i];
            mesh->texture_coordinates[2 * i] = std::isfinite(uv.x) ? uv.x : 0.0f;
            mesh->texture_coordinates[2 * i + 1] = std::isfinite(uv.y) ? uv.y : 0.0f;
        }
    }
    repair_normals(mesh);
    return true;
}

// The bounding sphere around the centre of the bounding box of the vertices
// that are drawn.
void frame_model(Model* model) {
    Model_Vector low = {INFINITY, INFINITY, INFINITY}, high = {-INFINITY, -INFINITY, -INFINITY};
    for (const Model_Mesh& mesh : model->meshes)
        mesh.for_each_drawn_vertex([&](const Model_Vector& p) {
            low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
            high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
        });
    const double cx = (double(low.x) + high.x) / 2, cy = (double(low.y) + high.y) / 2, cz = (double(low.z) + high.z) / 2;
    double radius = 0;
    for (const Model_Mesh& mesh : model->meshes)
        mesh.for_each_drawn_vertex(
            [&](const Model_Vector& p) { radius = std::max(radius, std::hypot(p.x - cx, p.y - cy, p.z - cz)); });
    model->center = {float(cx), float(cy), float(cz)};
    model->radius = float(radius);
}

bool is_point_cloud(const aiScene& scene) {
    for (unsigned m = 0; m < scene.mNumMeshes && scene.mMeshes != nullptr; ++m) {
        const aiMesh* mesh = scene.mMeshes[m];
        if (mesh != nullptr && mesh->mNumVertices > 0 && mesh->mNumFaces == 0) return true;
    }
    return false;
}

// Takes the meshes without vertices out of the scene, and out of the nodes
// that place them. The scene is the importer's, made by the loader for
// changing: only the pointer that hands it out is const.
void remove_empty_meshes(const aiScene* read) {
    aiScene* scene = const_cast<aiScene*>(read);
    if (scene->mMeshes == nullptr) return;
    std::vector<unsigned> renumbered(scene->mNumMeshes);
    unsigned kept = 0;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        aiMesh* mesh = scene->mMeshes[m];
        if (mesh != nullptr && mesh->mNumVertices == 0) {
            delete mesh;
            renumbered[m] = UINT_MAX;
            continue;
        }
        renumbered[m] = kept;
        scene->mMeshes[kept++] = mesh;
    }
    if (kept == scene->mNumMeshes) return;
    const unsigned before = scene->mNumMeshes;
    scene->mNumMeshes = kept;
    std::vector<aiNode*> pending;
    if (scene->mRootNode != nullptr) pending.push_back(scene->mRootNode);
    for (size_t visits = 0; !pending.empty() && ++visits <= MAX_NODE_VISITS;) {
        aiNode* node = pending.back();
        pending.pop_back();
        unsigned placed = 0;
        for (unsigned i = 0; i < node->mNumMeshes && node->mMeshes != nullptr; ++i)
            if (node->mMeshes[i] < before && renumbered[node->mMeshes[i]] != UINT_MAX)
                node->mMeshes[placed++] = renumbered[node->mMeshes[i]];
        node->mNumMeshes = placed;
        for (unsigned c = 0; c < node->mNumChildren && node->mChildren != nullptr; ++c)
            if (node->mChildren[c] != nullptr) pending.push_back(node->mChildren[c]);
    }
}

// What the importer read, validated and post-processed unless it is a point
// cloud; null when the validation or a step fails.
const aiScene* finish_import(Assimp::Importer& importer, const aiScene* scene) {
    if (scene == nullptr || is_point_cloud(*scene)) return scene;
    remove_empty_meshes(scene);
    return importer.ApplyPostProcessing(aiProcess_ValidateDataStructure | IMPORT_STEPS);
}

bool convert_scene(const aiScene* scene, const std::string& directory, Model* model, std::string* reason) {
    if (scene == nullptr) return false;
    Texture_Table textures(*scene, directory, model);
    const bool point_cloud = is_point_cloud(*scene);
    size_t placed = 0;
    std::vector<bool> material_used(scene->mNumMaterials);
    auto add = [&](unsigned index, const aiMatrix4x4& transform) {
        if (index >= scene->mNumMeshes || scene->mMeshes[index] == nullptr) return;
        const aiMesh& source = *scene->mMeshes[index];
        placed += source.mNumVertices;
        if (placed > MODEL_PLACED_VERTEX_LIMIT) return;
        Model_Mesh mesh;
        if (!convert_mesh(source, transform, *scene, point_cloud, textures, &mesh)) return;
        // Vertices split for their normals count too.
        placed += mesh.positions.size() - source.mNumVertices;
        if (placed > MODEL_PLACED_VERTEX_LIMIT) return;
        model->meshes.push_back(std::move(mesh));
        if (source.mMaterialIndex < material_used.size()) material_used[source.mMaterialIndex] = true;
    };
    if (scene->mRootNode == nullptr) {
        for (unsigned m = 0; m < scene->mNumMeshes; ++m) add(m, aiMatrix4x4());
    } else {
        // Depth first, without recursion; a bounded number of visits keeps a
        // node graph that is not a tree from going round for ever.
        std::vector<std::pair<const aiNode*, aiMatrix4x4>> pending = {{scene->mRootNode, scene->mRootNode->mTransformation}};
        size_t visits = 0;
        while (!pending.empty() && ++visits <= MAX_NODE_VISITS) {
            const auto [node, transform] = pending.back();
            pending.pop_back();
            for (unsigned m = 0; m < node->mNumMeshes && node->mMeshes != nullptr; ++m) add(node->mMeshes[m], transform);
            for (unsigned c = 0; c < node->mNumChildren && node->mChildren != nullptr; ++c)
                if (node->mChildren[c] != nullptr)
                    pending.emplace_back(node->mChildren[c], transform * node->mChildren[c]->mTransformation);
        }
    }
    if (placed > MODEL_PLACED_VERTEX_LIMIT) {
        *reason = "the model places more than " + std::to_string(MODEL_PLACED_VERTEX_LIMIT) + " vertices";
        return false;
    }
    if (model->meshes.empty()) {
        *reason = "the model holds no triangle, line or point to draw";
        return false;
    }
    model->materials = size_t(std::count(material_used.begin(), material_used.end(), true));
    frame_model(model);
    // A model whose extent overflows a float cannot be framed by a camera.
    if (!std::isfinite(model->radius) || !std::isfinite(model->center.x) || !std::isfinite(model->center.y) ||
        !std::isfinite(model->center.z)) {
        *reason = "the model's coordinates are too large to frame";
        return false;
    }
    return true;
}

bool converted(const aiScene* scene, const std::string& directory, const Import_Errors& errors, Model* model,
               std::string* reason) {
    try {
        for (const std::string& warning : errors.warnings) add_warning(&model->warnings, warning);
        return convert_scene(scene, directory, model, reason);
    } catch (const std::bad_alloc&) {
        *model = Model();
        *reason = TOO_LARGE;
        return false;
    }
}

bool imported(const aiScene* scene, const Restricted_Importer& restricted, std::string* reason) {
    if (scene != nullptr) return true;
    const std::string error = restricted.importer.GetErrorString();
    *reason = error.find("bad_alloc") != std::string::npos ? TOO_LARGE : one_line(error);
    return false;
}

// The glTF 2.0 loader reads no glTF 1.0; such a file is named as what it is.
bool gltf_version_readable(const char* bytes, size_t size, const std::string& extension, std::string* reason) {
    if ((extension == "gltf" || extension == "glb") && declares_gltf_1(bytes, size, extension == "glb")) {
        *reason = GLTF_1_REFUSAL;
        return false;
    }
    return true;
}

}  // namespace

bool import_model_file_in_process(const std::string& path, Model* model, std::string* reason) {
    std::string extension = lower(std::filesystem::path(path).extension().string());
    if (!extension.empty()) extension.erase(0, 1);
    if (!enabled_extension(extension)) {
        *reason = unsupported(extension);
        return false;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        *reason = std::filesystem::exists(path, error) ? "not a regular file" : "no such file";
        return false;
    }
    {
        const size_t size = size_t(std::filesystem::file_size(path, error));
        // A text glTF file states its version anywhere in its JSON.
        const bool whole = extension == "gltf" && size <= GLTF_TEXT_READ_LIMIT;
        std::vector<char> head(whole ? size : MODEL_HEAD_BYTES);
        std::ifstream file(path, std::ios::binary);
        file.read(head.data(), std::streamsize(head.size()));
        const size_t got = size_t(file.gcount());
        if (!counts_fit_size(head.data(), std::min(got, MODEL_HEAD_BYTES), size, extension, reason) ||
            !gltf_version_readable(head.data(), got, extension, reason))
            return false;
    }
    Import_Errors errors;
    Memory_Ceiling ceiling(IMPORT_MEMORY_ROOM);
    Restricted_Importer restricted;
    const aiScene* scene = finish_import(restricted.importer, restricted.importer.ReadFile(path, 0));
    if (!imported(scene, restricted, reason)) return false;
    const std::string directory = std::filesystem::path(path).parent_path().string();
    return converted(scene, directory.empty() ? "." : directory, errors, model, reason);
}

bool import_model_memory_in_process(const uint8_t* data, size_t size, const std::string& extension, Model* model,
                                    std::string* reason) {
    const std::string hint = lower(extension);
    if (!enabled_extension(hint)) {
        *reason = unsupported(hint);
        return false;
    }
    if (data == nullptr || size == 0) {
        *reason = "the file is empty";
        return false;
    }
    const char* bytes = reinterpret_cast<const char*>(data);
    if (!counts_fit_size(bytes, std::min(size, MODEL_HEAD_BYTES), size, hint, reason) ||
        !gltf_version_readable(bytes, size, hint, reason))
        return false;
    Import_Errors errors;
    Memory_Ceiling ceiling(IMPORT_MEMORY_ROOM);
    Restricted_Importer restricted;
    const aiScene* scene =
        finish_import(restricted.importer, restricted.importer.ReadFileFromMemory(data, size, 0, hint.c_str()));
    if (!imported(scene, restricted, reason)) return false;
    return converted(scene, "", errors, model, reason);
}

bool import_model_file(const std::string& path, Model* model, std::string* reason, int cpu_seconds) {
    return import_in_child([&](Model* read, std::string* why) { return import_model_file_in_process(path, read, why); },
                           cpu_seconds, model, reason);
}

bool import_model_memory(const uint8_t* data, size_t size, const std::string& extension, Model* model,
                         std::string* reason, int cpu_seconds) {
    return import_in_child(
        [&](Model* read, std::string* why) { return import_model_memory_in_process(data, size, extension, read, why); },
        cpu_seconds, model, reason);
}
