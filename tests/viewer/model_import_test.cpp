// Reading models: every enabled format gives triangles inside a finite
// bounding sphere, other formats (glTF 1.0 by name) and mislabelled or
// damaged files are refused with a reason, what the importer had to repair
// is a warning, lines, points, normals and textures come out drawable, and
// what comes out is safe to index.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <memory>
#include <new>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/process.h"
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
        EXPECT_EQ(mesh.lines.size() % 2, 0u);
        for (uint32_t index : mesh.triangles) EXPECT_LT(index, count);
        for (uint32_t index : mesh.lines) EXPECT_LT(index, count);
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

// What the loader had to skip or guess is a warning, one line each, and the
// rest of the file is drawn; only a file with nothing to draw is refused.
TEST(Model_Import, TheImportersRepairsAreWarningsNotRefusals) {
    Model skipped;
    std::string reason;
    ASSERT_TRUE(from_text("v 0 0 0\nv 1 0 0\nv 0 1 0\nf\nf 1 2 3\n", "obj", &skipped, &reason)) << reason;
    EXPECT_EQ(skipped.triangle_count(), 1u);
    ASSERT_EQ(skipped.warnings.size(), 1u);
    EXPECT_FALSE(skipped.warnings[0].empty());
    // An empty solid beside a good one: the validation would refuse the
    // whole scene for the empty one.
    Model solids;
    ASSERT_TRUE(from_text("solid emptySolid\nendsolid emptySolid\nsolid good\nfacet normal 0 0 1\nouter loop\n"
                          "vertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\nendloop\nendfacet\nendsolid good\n",
                          "stl", &solids, &reason))
        << reason;
    EXPECT_EQ(solids.triangle_count(), 1u);
    for (const char* file : {"3DS/CameraRollAnim.3ds", "OBJ/cube_mtllib_after_g.obj"}) {
        Model model;
        ASSERT_TRUE(import_model_file(test_model(file), &model, &reason)) << file << ": " << reason;
        EXPECT_GT(model.triangle_count(), 0u) << file;
        ASSERT_FALSE(model.warnings.empty()) << file;
        for (const std::string& warning : model.warnings) EXPECT_EQ(warning.find('\n'), std::string::npos);
    }
    Model nothing;
    EXPECT_FALSE(from_text("# nothing\nf\n", "obj", &nothing, &reason));
}

// Line segments and points are kept beside the triangles, also in files
// that hold nothing else.
TEST(Model_Import, LinesAndPointsAreKept) {
    Model model;
    std::string reason;
    ASSERT_TRUE(from_text("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\n"
                          "l 1 2 3 4\np 5 6\nf 1 2 3\n",
                          "obj", &model, &reason))
        << reason;
    EXPECT_EQ(model.triangle_count(), 1u);
    EXPECT_EQ(model.line_count(), 3u);
    EXPECT_EQ(model.dot_count(), 2u);
    expect_safe(model);
    Model lines_only;
    ASSERT_TRUE(from_text("v 0 0 0\nv 1 0 0\nv 1 1 0\nl 1 2 3\n", "obj", &lines_only, &reason)) << reason;
    EXPECT_EQ(lines_only.line_count(), 2u);
    EXPECT_NEAR(lines_only.radius, std::hypot(0.5, 0.5), 1e-6) << "lines are framed";
    // glTF's points, lines, line loops, line strips and triangles, each
    // alone in a file.
    for (int mode : {0, 1, 2, 3, 4, 5, 6, 8, 9, 10}) {
        char file[96];
        std::snprintf(file, sizeof file, "glTF2/glTF-Asset-Generator/Mesh_PrimitiveMode/Mesh_PrimitiveMode_%02d.gltf",
                      mode);
        Model primitive;
        ASSERT_TRUE(import_model_file(test_model(file), &primitive, &reason)) << file << ": " << reason;
        EXPECT_GT(primitive.triangle_count() + primitive.line_count() + primitive.dot_count(), 0u) << file;
        expect_safe(primitive);
    }
}

// Zero or missing normals are made, so that faces are lit by how they face;
// a solid's faces keep their hard edges.
TEST(Model_Import, ZeroAndMissingNormalsAreMade) {
    for (const char* file : {"STL/Wuson.stl", "OFF/Cube.off"}) {
        Model model;
        std::string reason;
        ASSERT_TRUE(import_model_file(test_model(file), &model, &reason)) << file << ": " << reason;
        for (const Model_Mesh& mesh : model.meshes)
            for (uint32_t v : mesh.triangles) {
                const Model_Vector& n = mesh.normals[v];
                ASSERT_NEAR(std::hypot(n.x, n.y, n.z), 1.0, 1e-5) << file;
            }
    }
    Model cube;
    std::string reason;
    ASSERT_TRUE(import_model_file(test_model("OFF/Cube.off"), &cube, &reason)) << reason;
    for (const Model_Mesh& mesh : cube.meshes)
        for (const Model_Vector& n : mesh.normals)
            EXPECT_NEAR(std::fabs(n.x) + std::fabs(n.y) + std::fabs(n.z), 1.0, 1e-5) << "each corner faces one axis";
}

// TGA and BMP files, names in another letter case, paths with backslashes
// and "..", another machine's path; one warning for the texture that is
// not there.
TEST(Model_Import, TexturesAreFoundAndReadAndTheMissingOneIsNamed) {
    Model model;
    std::string reason;
    ASSERT_TRUE(import_model_file(std::string(TOVREK_SOURCE_DIR) + "/tests/viewer/models/textured/quads.obj", &model,
                                  &reason))
        << reason;
    ASSERT_EQ(model.textures.size(), 5u);
    for (const Model_Texture& texture : model.textures) {
        ASSERT_EQ(texture.pixels.size(), 4u);
        EXPECT_EQ(texture.pixels[0], HT_Make_RGB32(255, 0, 0, 255)) << "red top left";
        EXPECT_EQ(texture.pixels[3], HT_Make_RGB32(255, 255, 255, 255));
    }
    int textured = 0;
    for (const Model_Mesh& mesh : model.meshes) textured += mesh.texture >= 0;
    EXPECT_EQ(textured, 5);
    EXPECT_EQ(model.warnings, std::vector<std::string>{"texture \"missing.png\" left out: no such file"});
    EXPECT_EQ(model.materials, 6u);
    EXPECT_EQ(model.textures_missing, 1u);
}

// Materials are counted when a drawn mesh uses them, and every texture that
// cannot be had is counted, also past the warnings a model keeps.
TEST(Model_Import, MaterialsInUseAndEveryMissingTextureAreCounted) {
    const std::string folder = make_temporary_folder();
    const size_t used = MODEL_WARNING_LIMIT + 6;
    std::ofstream materials(folder + "/many.mtl");
    std::ofstream faces(folder + "/many.obj");
    faces << "mtllib many.mtl\nvt 0 0\n";
    for (size_t m = 0; m <= used; ++m) {
        materials << "newmtl m" << m << "\nKd 1 1 1\nmap_Kd gone" << m << ".png\n";
        if (m == used) break;  // the last one is left unused
        faces << "v " << m << " 0 0\nv " << m << " 1 0\nv " << m + 0.5 << " 0 0\n";
        faces << "usemtl m" << m << "\nf -3/1 -2/1 -1/1\n";
    }
    materials.close();
    faces.close();
    Model model;
    std::string reason;
    ASSERT_TRUE(import_model_file(folder + "/many.obj", &model, &reason)) << reason;
    EXPECT_EQ(model.meshes.size(), used);
    EXPECT_EQ(model.materials, used);
    EXPECT_EQ(model.textures_missing, used);
    EXPECT_EQ(model.warnings.size(), MODEL_WARNING_LIMIT);
    std::filesystem::remove_all(folder);
}

// glTF 1.0, as text (its version a string or a number, anywhere in the
// file) or binary, is named; a version elsewhere than in the asset is not
// taken for the file's.
TEST(Model_Import, GltfOneIsRefusedByName) {
    const std::string refusal = "glTF 1.0 is not supported (glTF 2.0 is)";
    Model model;
    std::string reason;
    EXPECT_FALSE(from_text(R"({"buffers":{"b":{"uri":"x.bin","byteLength":[1,{"version":"2.0"}]}},
                               "asset":{"profile":{"api":"WebGL","version":"2.0"},"version":"1.0"}})",
                           "gltf", &model, &reason));
    EXPECT_EQ(reason, refusal);
    EXPECT_FALSE(from_text(R"({"asset": {"version" : 1}})", "GLTF", &model, &reason));
    EXPECT_EQ(reason, refusal);
    const std::string binary_one("glTF\x01\0\0\0\x14\0\0\0\0\0\0\0\0\0\0\0", 20);
    EXPECT_FALSE(from_text(binary_one, "glb", &model, &reason));
    EXPECT_EQ(reason, refusal);
    std::string binary_two = binary_one;
    binary_two[4] = 2;
    EXPECT_FALSE(from_text(binary_two, "glb", &model, &reason));
    EXPECT_NE(reason, refusal);
    const std::string two = R"({"asset":{"extras":{"version":"1.0"},"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],
        "nodes":[{"mesh":0}],"meshes":[{"primitives":[{"attributes":{"POSITION":0}}]}],
        "accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3","min":[0,0,0],"max":[1,1,0]}],
        "bufferViews":[{"buffer":0,"byteLength":36}],
        "buffers":[{"byteLength":36,"uri":"data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA"}]})";
    EXPECT_TRUE(from_text(two, "gltf", &model, &reason)) << reason;
    // Every glTF 1.0 file of the package.
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(test_model("glTF"))) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".gltf" && extension != ".glb") continue;
        ++files;
        EXPECT_FALSE(import_model_file(entry.path().string(), &model, &reason)) << entry.path();
        EXPECT_EQ(reason, refusal) << entry.path();
    }
    EXPECT_GE(files, 7);
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
