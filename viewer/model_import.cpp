// The importer keeps only the loaders of the enabled formats: the others are
// taken out of its registry, so that neither the file's extension nor a look
// at its first bytes can hand a file to a loader nobody tested. The scene it
// returns is validated by the library and then checked again here (index
// ranges, finite positions) before anything of it is used.
#include "viewer/model_import.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <assimp/BaseImporter.h>
#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/importerdesc.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include "viewer/model_texture.h"

const char* const MODEL_FORMATS = "obj, ply, stl, off, 3ds, gltf, glb, dae";

namespace {

const char* const ENABLED_LOADERS[] = {
    "Wavefront Object Importer", "Stanford Polygon Library (PLY) Importer",
    "Stereolithography (STL) Importer", "OFF Importer", "Discreet 3DS Importer",
    "glTF2 Importer", "Collada Importer",
};
const char* const ENABLED_EXTENSIONS[] = {"obj", "ply", "stl", "off", "3ds", "gltf", "glb", "dae"};

constexpr unsigned IMPORT_STEPS = aiProcess_Triangulate | aiProcess_GenSmoothNormals |
                                  aiProcess_JoinIdenticalVertices | aiProcess_PreTransformVertices |
                                  aiProcess_SortByPType | aiProcess_ValidateDataStructure;

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
        // Points and lines are no faces: they are dropped from the scene.
        importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE, aiPrimitiveType_POINT | aiPrimitiveType_LINE);
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

// The library's message as one line.
std::string one_line(std::string text) {
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text.empty() ? "the file could not be read as a model" : text;
}

uint8_t channel(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 1.0f) return 255;
    return uint8_t(value * 255.0f + 0.5f);
}

HT_RGB32 color_of(const aiColor4D& c) { return HT_Make_RGB32(channel(c.r), channel(c.g), channel(c.b), 255); }

bool finite(const aiVector3D& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The texture a material names, decoded once per name; -1 when there is
// none or it cannot be read.
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
        if (const aiTexture* embedded = scene_.GetEmbeddedTexture(name.c_str())) {
            if (!decode_embedded(*embedded, &texture)) return -1;
        } else {
            if (directory_.empty()) return -1;
            std::string relative = name;
            std::replace(relative.begin(), relative.end(), '\\', '/');
            if (!decode_texture_file((std::filesystem::path(directory_) / relative).string(), &texture)) return -1;
        }
        model_->textures.push_back(std::move(texture));
        return int(model_->textures.size() - 1);
    }

    static bool decode_embedded(const aiTexture& embedded, Model_Texture* texture) {
        if (embedded.pcData == nullptr) return false;
        // A height of 0 marks compressed file bytes, mWidth of them.
        if (embedded.mHeight == 0)
            return decode_texture_memory(reinterpret_cast<const uint8_t*>(embedded.pcData), embedded.mWidth, texture);
        if (embedded.mWidth > unsigned(MODEL_TEXTURE_SIDE_LIMIT) || embedded.mHeight > unsigned(MODEL_TEXTURE_SIDE_LIMIT))
            return false;
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

// One mesh of the scene, or false when it has no usable triangle.
bool convert_mesh(const aiMesh& source, const aiScene& scene, Texture_Table& textures, Model_Mesh* mesh) {
    const unsigned count = source.mNumVertices;
    if (count == 0 || source.mVertices == nullptr) return false;
    for (unsigned f = 0; f < source.mNumFaces; ++f) {
        const aiFace& face = source.mFaces[f];
        if (face.mNumIndices != 3 || face.mIndices == nullptr) continue;
        const unsigned* index = face.mIndices;
        if (index[0] >= count || index[1] >= count || index[2] >= count) continue;
        if (!finite(source.mVertices[index[0]]) || !finite(source.mVertices[index[1]]) ||
            !finite(source.mVertices[index[2]]))
            continue;
        mesh->triangles.insert(mesh->triangles.end(), {index[0], index[1], index[2]});
    }
    if (mesh->triangles.empty()) return false;

    mesh->positions.resize(count);
    mesh->normals.resize(count, Model_Vector{0, 0, 0});
    for (unsigned i = 0; i < count; ++i) {
        const aiVector3D& p = source.mVertices[i];
        mesh->positions[i] = {p.x, p.y, p.z};
        if (source.mNormals != nullptr && finite(source.mNormals[i])) {
            const aiVector3D& n = source.mNormals[i];
            mesh->normals[i] = {n.x, n.y, n.z};
        }
    }
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
    return true;
}

// The bounding sphere around the centre of the bounding box of the vertices
// that triangles use.
void frame_model(Model* model) {
    Model_Vector low = {INFINITY, INFINITY, INFINITY}, high = {-INFINITY, -INFINITY, -INFINITY};
    for (const Model_Mesh& mesh : model->meshes)
        for (uint32_t index : mesh.triangles) {
            const Model_Vector& p = mesh.positions[index];
            low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
            high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
        }
    const double cx = (double(low.x) + high.x) / 2, cy = (double(low.y) + high.y) / 2, cz = (double(low.z) + high.z) / 2;
    double radius = 0;
    for (const Model_Mesh& mesh : model->meshes)
        for (uint32_t index : mesh.triangles) {
            const Model_Vector& p = mesh.positions[index];
            radius = std::max(radius, std::hypot(p.x - cx, p.y - cy, p.z - cz));
        }
    model->center = {float(cx), float(cy), float(cz)};
    model->radius = float(radius);
}

bool convert_scene(const aiScene* scene, const std::string& directory, Model* model, std::string* reason) {
    if (scene == nullptr) return false;
    Texture_Table textures(*scene, directory, model);
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        if (scene->mMeshes[m] == nullptr) continue;
        Model_Mesh mesh;
        if (convert_mesh(*scene->mMeshes[m], *scene, textures, &mesh)) model->meshes.push_back(std::move(mesh));
    }
    if (model->meshes.empty()) {
        *reason = "the model holds no triangle to draw";
        return false;
    }
    frame_model(model);
    // A model whose extent overflows a float cannot be framed by a camera.
    if (!std::isfinite(model->radius) || !std::isfinite(model->center.x) || !std::isfinite(model->center.y) ||
        !std::isfinite(model->center.z)) {
        *reason = "the model's coordinates are too large to frame";
        return false;
    }
    return true;
}

}  // namespace

bool import_model_file(const std::string& path, Model* model, std::string* reason) {
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
    Restricted_Importer restricted;
    const aiScene* scene = restricted.importer.ReadFile(path, IMPORT_STEPS);
    if (scene == nullptr) {
        *reason = one_line(restricted.importer.GetErrorString());
        return false;
    }
    const std::string directory = std::filesystem::path(path).parent_path().string();
    return convert_scene(scene, directory.empty() ? "." : directory, model, reason);
}

bool import_model_memory(const uint8_t* data, size_t size, const std::string& extension, Model* model,
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
    Restricted_Importer restricted;
    const aiScene* scene = restricted.importer.ReadFileFromMemory(data, size, IMPORT_STEPS, hint.c_str());
    if (scene == nullptr) {
        *reason = one_line(restricted.importer.GetErrorString());
        return false;
    }
    return convert_scene(scene, "", model, reason);
}
