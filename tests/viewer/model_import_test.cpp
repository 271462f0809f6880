// Reading models: every enabled format gives triangles inside a finite
// bounding sphere, other formats and mislabelled or damaged files are
// refused with a reason, and what comes out is safe to index.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <memory>
#include <new>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/viewer/test_models.h"
#include "viewer/memory_ceiling.h"
#include "viewer/model_import.h"

namespace {

std::vector<uint8_t> bytes_of(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

bool from_text(const std::string& text, const std::string& extension, Model* model, std::string* reason) {
    return import_model_memory(reinterpret_cast<const uint8_t*>(text.data()), text.size(), extension, model, reason);
}

// Every index names a vertex, every drawn vertex is finite, and the normals
// and optional arrays match the vertices.
void expect_safe(const Model& model) {
    for (const Model_Mesh& mesh : model.meshes) {
        const size_t count = mesh.positions.size();
        EXPECT_EQ(mesh.normals.size(), count);
        EXPECT_TRUE(mesh.colors.empty() || mesh.colors.size() == count);
        EXPECT_TRUE(mesh.texture < 0 || mesh.texture_coordinates.size() == 2 * count);
        EXPECT_LT(mesh.texture, int(model.textures.size()));
        EXPECT_EQ(mesh.triangles.size() % 3, 0u);
        mesh.for_each_drawn_vertex([](const Model_Vector& p) {
            EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
        });
        for (uint32_t index : mesh.triangles) EXPECT_LT(index, count);
        for (uint32_t index : mesh.dots) EXPECT_LT(index, count);
    }
    EXPECT_TRUE(std::isfinite(model.radius));
}

TEST(Model_Import, EveryEnabledFormatGivesTrianglesInAFiniteSphere) {
    const char* files[] = {"OBJ/box.obj", "OBJ/spider.obj", "PLY/float-color.ply", "PLY/cube_binary.ply",
                           "STL/Spider_binary.stl", "STL/Spider_ascii.stl", "OFF/Cube.off", "3DS/fels.3ds",
                           "glTF2/BoxTextured-glTF/BoxTextured.gltf",
                           "glTF2/BoxTextured-glTF-Binary/BoxTextured.glb", "Collada/duck.dae"};
    for (const char* file : files) {
        Model model;
        std::string reason;
        EXPECT_TRUE(import_model_file(test_model(file), &model, &reason)) << file << ": " << reason;
        EXPECT_GT(model.triangle_count(), 0u) << file;
        EXPECT_GT(model.radius, 0.0f) << file;
        expect_safe(model);
    }
}

TEST(Model_Import, MaterialsGiveColoursAndTextures) {
    Model spider;
    std::string reason;
    ASSERT_TRUE(import_model_file(test_model("OBJ/spider.obj"), &spider, &reason)) << reason;
    ASSERT_FALSE(spider.textures.empty()) << "the spider's JPEG textures are read from beside the model";
    for (const Model_Texture& texture : spider.textures) {
        EXPECT_GT(texture.width, 0);
        EXPECT_EQ(texture.pixels.size(), size_t(texture.width) * size_t(texture.height));
    }
    Model colored;
    ASSERT_TRUE(import_model_file(test_model("PLY/float-color.ply"), &colored, &reason)) << reason;
    ASSERT_EQ(colored.meshes.size(), 1u);
    EXPECT_EQ(colored.meshes[0].colors.size(), colored.meshes[0].positions.size());
    // A texture embedded in a binary glTF file.
    Model boxed;
    ASSERT_TRUE(import_model_file(test_model("glTF2/BoxTextured-glTF-Binary/BoxTextured.glb"), &boxed, &reason))
        << reason;
    EXPECT_EQ(boxed.textures.size(), 1u);
}

TEST(Model_Import, OtherFormatsAndNoFilesAreRefusedWithAReason) {
    struct Case {
        std::string path;
        std::string reason_start;
    } cases[] = {
        {test_model("FBX/spider.fbx"), "unsupported format (.fbx)"},
        {test_model("X/test.x"), "unsupported format (.x)"},
        {test_model("invalid/readme.txt"), "unsupported format (.txt)"},
        {std::string(TEST_MODELS) + "OBJ/no-such-model.obj", "no such file"},
        {std::string(TEST_MODELS) + "OBJ", "unsupported format (no file extension)"},
    };
    for (const Case& c : cases) {
        Model model;
        std::string reason;
        EXPECT_FALSE(import_model_file(c.path, &model, &reason)) << c.path;
        EXPECT_EQ(reason.rfind(c.reason_start, 0), 0u) << c.path << ": " << reason;
        EXPECT_EQ(reason.find('\n'), std::string::npos);
    }
}

// A disabled format's bytes under an enabled format's name are not handed to
// its loader by a look at the first bytes.
TEST(Model_Import, AFileUnderAnotherFormatsNameIsNotReadByItsOwnLoader) {
    const std::vector<uint8_t> x_file = bytes_of(test_model("X/test.x"));
    ASSERT_FALSE(x_file.empty());
    Model model;
    std::string reason;
    EXPECT_FALSE(import_model_memory(x_file.data(), x_file.size(), "obj", &model, &reason));
    EXPECT_FALSE(reason.empty());
}

TEST(Model_Import, DamagedAndHostileContentIsRefusedOrCleaned) {
    Model model;
    std::string reason;
    // An empty face: the loader had to skip part of the file.
    EXPECT_FALSE(from_text("v 0 0 0\nv 1 0 0\nv 0 1 0\nf\nf 1 2 3\n", "obj", &model, &reason));
    EXPECT_EQ(reason.rfind("damaged file: ", 0), 0u) << reason;
    // An index past the vertices.
    EXPECT_FALSE(from_text("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n", "obj", &model, &reason));
    // Not a number and infinity: the triangles that use them are left out.
    Model cleaned;
    ASSERT_TRUE(from_text("v 0 0 0\nv 1 0 0\nv 0 1 0\nv nan 0 0\nv 0 inf 0\nf 1 2 3\nf 1 2 4\nf 1 5 3\n", "obj",
                          &cleaned, &reason))
        << reason;
    EXPECT_EQ(cleaned.triangle_count(), 1u);
    expect_safe(cleaned);
    // Nothing at all, and bytes that are no model.
    EXPECT_FALSE(import_model_memory(nullptr, 0, "stl", &model, &reason));
    const std::string noise(4096, '\xA5');
    EXPECT_FALSE(from_text(noise, "ply", &model, &reason));
    EXPECT_FALSE(from_text(noise, "glb", &model, &reason));
    // Coordinates that overflow once the sphere is measured.
    EXPECT_FALSE(from_text("v -3.4e38 0 0\nv 3.4e38 0 0\nv 0 3.4e38 0\nf 1 2 3\n", "obj", &model, &reason));
    EXPECT_EQ(reason, "the model's coordinates are too large to frame");
}

// A header that claims more elements than the file can hold is refused
// before the importer makes room for them.
TEST(Model_Import, HeaderCountsBeyondTheFileSizeAreRefused) {
    Model model;
    std::string reason;
    EXPECT_FALSE(from_text("OFF\n3000000000 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n", "off", &model, &reason));
    EXPECT_EQ(reason, "the header claims 3000000000 vertices, more than the file's 45 bytes can hold");
    EXPECT_FALSE(from_text("OFF\n3 900 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n", "off", &model, &reason));
    EXPECT_EQ(reason, "the header claims 900 faces, more than the file's 38 bytes can hold");
    EXPECT_FALSE(from_text("ply\nformat binary_little_endian 1.0\nelement vertex 4000000000\nproperty float x\n"
                           "end_header\n",
                           "ply", &model, &reason));
    EXPECT_EQ(reason.rfind("the header claims 4000000000 elements of vertex", 0), 0u) << reason;
    // Counts that fit are the importer's to read.
    EXPECT_TRUE(from_text("OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n", "off", &model, &reason)) << reason;
}

// Counts that no header states can still ask for more than there is: within
// the import's ceiling such an allocation fails (and the importer reports
// it), and the process's own limit comes back afterwards. Sanitizer builds
// stop on a failed allocation, so there it is not tried.
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
TEST(Memory_Ceiling, AnAllocationPastTheCeilingFailsAndTheLimitComesBack) {
    rlimit before = {};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &before), 0);
    {
        Memory_Ceiling ceiling(size_t(64) << 20);
        ASSERT_TRUE(ceiling.active());
        std::unique_ptr<char[]> small(new (std::nothrow) char[size_t(1) << 20]);
        EXPECT_NE(small, nullptr);
        std::unique_ptr<char[]> large(new (std::nothrow) char[size_t(1) << 30]);
        EXPECT_EQ(large, nullptr);
    }
    rlimit after = {};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &after), 0);
    EXPECT_EQ(after.rlim_cur, before.rlim_cur);
    EXPECT_EQ(after.rlim_max, before.rlim_max);
    std::unique_ptr<char[]> large(new (std::nothrow) char[size_t(1) << 30]);
    EXPECT_NE(large, nullptr);
}
#endif

TEST(Model_Import, AFileFromMemoryMatchesTheSameFileFromDisk) {
    const std::string path = test_model("STL/Spider_binary.stl");
    const std::vector<uint8_t> bytes = bytes_of(path);
    Model from_disk, from_memory;
    std::string reason;
    ASSERT_TRUE(import_model_file(path, &from_disk, &reason)) << reason;
    ASSERT_TRUE(import_model_memory(bytes.data(), bytes.size(), "STL", &from_memory, &reason)) << reason;
    EXPECT_EQ(from_memory.triangle_count(), from_disk.triangle_count());
    EXPECT_EQ(from_memory.radius, from_disk.radius);
    // Cut short, the same bytes never give more than the whole.
    Model truncated;
    if (import_model_memory(bytes.data(), bytes.size() / 2, "stl", &truncated, &reason)) {
        EXPECT_LT(truncated.triangle_count(), from_disk.triangle_count());
        expect_safe(truncated);
    }
}

TEST(Model_Import, VerticesWithoutFacesAreAPointCloud) {
    const std::string ply =
        "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\nproperty float z\n"
        "property uchar red\nproperty uchar green\nproperty uchar blue\nend_header\n"
        "0 0 0 255 0 0\n1 0 0 0 255 0\n0 2 0 0 0 255\n";
    Model model;
    std::string reason;
    ASSERT_TRUE(from_text(ply, "ply", &model, &reason)) << reason;
    EXPECT_EQ(model.triangle_count(), 0u);
    EXPECT_EQ(model.dot_count(), 3u);
    EXPECT_NEAR(model.radius, std::hypot(0.5, 1.0), 1e-6);
    expect_safe(model);
}

TEST(Model_Import, NodeTransformsPlaceTheMeshes) {
    // Two nodes place one triangle 10 units apart along x.
    const std::string gltf = R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0,1]}],
        "nodes":[{"mesh":0},{"mesh":0,"translation":[10,0,0]}],
        "meshes":[{"primitives":[{"attributes":{"POSITION":0}}]}],
        "accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3","min":[0,0,0],"max":[1,1,0]}],
        "bufferViews":[{"buffer":0,"byteLength":36}],
        "buffers":[{"byteLength":36,"uri":"data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA"}]})";
    Model model;
    std::string reason;
    ASSERT_TRUE(from_text(gltf, "gltf", &model, &reason)) << reason;
    ASSERT_EQ(model.meshes.size(), 2u);
    EXPECT_EQ(model.triangle_count(), 2u);
    EXPECT_FLOAT_EQ(model.center.x, 5.5f);
}

}  // namespace
