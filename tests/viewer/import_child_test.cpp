// Imports in a child process: a file that crashes or hangs the import
// library fails with a reason and this process goes on; every way the child can end is
// told apart; models come back from the child exactly as an import in this
// process makes them; and the stream reader refuses every damaged stream.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "tests/viewer/test_models.h"
#include "viewer/import_child.h"
#include "viewer/model_import.h"
#include "viewer/model_stream.h"
#include "viewer/model_texture.h"

namespace {

// Files found by fuzzing on which the import library itself crashes (a
// SEGV) and goes round for ever.
const std::string IMPORTER_CRASH = std::string(TOVREK_SOURCE_DIR) + "/tests/viewer/models/importer_crash.off";
const std::string IMPORTER_HANG = std::string(TOVREK_SOURCE_DIR) + "/tests/viewer/models/importer_hang.ply";

// Bit for bit, so that a NaN or a -0 that does not come back shows.
template <class T>
bool same_bits(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

void expect_same_model(const Model& a, const Model& b) {
    ASSERT_EQ(a.meshes.size(), b.meshes.size());
    ASSERT_EQ(a.textures.size(), b.textures.size());
    for (size_t t = 0; t < a.textures.size(); ++t) {
        EXPECT_EQ(a.textures[t].width, b.textures[t].width);
        EXPECT_EQ(a.textures[t].height, b.textures[t].height);
        EXPECT_TRUE(same_bits(a.textures[t].pixels, b.textures[t].pixels)) << "texture " << t;
    }
    for (size_t m = 0; m < a.meshes.size(); ++m) {
        const Model_Mesh &x = a.meshes[m], &y = b.meshes[m];
        EXPECT_TRUE(same_bits(x.positions, y.positions)) << "mesh " << m;
        EXPECT_TRUE(same_bits(x.normals, y.normals)) << "mesh " << m;
        EXPECT_TRUE(same_bits(x.colors, y.colors)) << "mesh " << m;
        EXPECT_TRUE(same_bits(x.texture_coordinates, y.texture_coordinates)) << "mesh " << m;
        EXPECT_EQ(x.triangles, y.triangles) << "mesh " << m;
        EXPECT_EQ(x.lines, y.lines) << "mesh " << m;
        EXPECT_EQ(x.dots, y.dots) << "mesh " << m;
        EXPECT_EQ(x.diffuse, y.diffuse) << "mesh " << m;
        EXPECT_EQ(x.texture, y.texture) << "mesh " << m;
    }
    EXPECT_EQ(std::memcmp(&a.center, &b.center, sizeof a.center), 0);
    EXPECT_EQ(a.radius, b.radius);
    EXPECT_EQ(a.materials, b.materials);
    EXPECT_EQ(a.textures_missing, b.textures_missing);
    EXPECT_EQ(a.warnings, b.warnings);
}

// A textured mesh with colours and line segments, a point cloud, and
// warnings: every field of the stream in use.
Model every_field() {
    Model model;
    model.textures.push_back({2, 1, {HT_Make_RGB32(1, 2, 3, 4), HT_Make_RGB32(5, 6, 7, 8)}});
    Model_Mesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {NAN, 0, 0}};
    mesh.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, -0.0f}, {0, 0, 1}};
    mesh.colors = {HT_Make_RGB32(255, 0, 0, 255), 2, 3, 4};
    mesh.texture_coordinates = {0, 0, 1, 0, 0, 1, 0.5f, 0.5f};
    mesh.triangles = {0, 1, 2};
    mesh.lines = {0, 1, 1, 2};
    mesh.diffuse = HT_Make_RGB32(9, 8, 7, 255);
    mesh.texture = 0;
    model.meshes.push_back(mesh);
    Model_Mesh cloud;
    cloud.positions = {{2, 2, 2}, {3, 3, 3}};
    cloud.normals = {{0, 1, 0}, {0, 1, 0}};
    cloud.dots = {0, 1};
    model.meshes.push_back(cloud);
    model.center = {1.5f, 1.5f, 1.5f};
    model.radius = 2.6f;
    model.materials = 2;
    model.textures_missing = 1;
    model.warnings = {"3DS: Skipping FOV animation track", "texture \"a.png\" left out: no such file"};
    return model;
}

std::vector<uint8_t> stream_of(const Import_Outcome& outcome) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(write_import_outcome(outcome, [&](const void* data, size_t size) {
        const uint8_t* from = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), from, from + size);
        return true;
    }));
    return bytes;
}

std::vector<uint8_t> stream_of(const Model& model) {
    Import_Outcome outcome;
    outcome.imported = true;
    outcome.model = model;
    return stream_of(outcome);
}

bool read_back(const std::vector<uint8_t>& bytes, Import_Outcome* outcome, std::string* damage) {
    size_t at = 0;
    return read_import_outcome(
        [&](void* into, size_t size) {
            if (size > bytes.size() - at) return false;
            std::memcpy(into, bytes.data() + at, size);
            at += size;
            return true;
        },
        outcome, damage);
}

std::string damage_of(const std::vector<uint8_t>& bytes) {
    Import_Outcome outcome;
    std::string damage;
    EXPECT_FALSE(read_back(bytes, &outcome, &damage));
    EXPECT_FALSE(outcome.imported);
    return damage;
}

TEST(Import_Child, AFileThatCrashesTheLibraryFailsWithAReasonAndThisProcessGoesOn) {
    Model model;
    std::string reason;
    EXPECT_FALSE(import_model_file(IMPORTER_CRASH, &model, &reason));
    EXPECT_EQ(reason.rfind("the importer crashed on this file (signal ", 0), 0u) << reason;
    EXPECT_TRUE(model.meshes.empty());
    // The next import works as before.
    EXPECT_TRUE(import_model_file(test_model("OFF/Cube.off"), &model, &reason)) << reason;
}

// On a busy machine the child may reach the wall-clock limit before its CPU
// time runs out: either way it is stopped.
TEST(Import_Child, AFileThatHangsTheLibraryIsStoppedByTheTimeLimit) {
    Model model;
    std::string reason;
    EXPECT_FALSE(import_model_file(IMPORTER_HANG, &model, &reason, 1));
    EXPECT_TRUE(reason == "the importer ran out of time: it used more than 1 s of CPU time on this file" ||
                reason == "the importer did not finish within 5 s")
        << reason;
}

TEST(Import_Child, EachWayTheChildEndsHasItsReason) {
    struct Case {
        const char* what;
        Model_Import import;
        const char* reason_start;
        Child_Ending ending;
        // On a busy machine a spinning child may reach the wall-clock limit
        // before its CPU time runs out: either stops it.
        const char* busy_machine_reason = nullptr;
    } cases[] = {
        {"crash", [](Model*, std::string*) { return raise(SIGSEGV) == 0; },
         "the importer crashed on this file (signal 11: ", Child_Ending::crashed},
        {"endless loop", [](Model*, std::string*) {
             volatile bool spinning = true;
             while (spinning) {
             }
             return false;
         },
         "the importer ran out of time: it used more than 1 s of CPU time on this file", Child_Ending::out_of_time,
         "the importer did not finish within 5 s"},
        {"blocked", [](Model*, std::string*) { return pause() == 0; }, "the importer did not finish within 5 s",
         Child_Ending::out_of_time},
        {"exit", [](Model*, std::string*) -> bool { _exit(3); }, "the importer stopped with exit status 3",
         Child_Ending::stopped},
        {"refusal", [](Model*, std::string* reason) { *reason = "no model here"; return false; }, "no model here",
         Child_Ending::refused},
        {"broken promise", [](Model*, std::string*) { return true; },
         "the importer sent back a damaged answer (a model without meshes)", Child_Ending::damaged_answer},
    };
    for (const Case& c : cases) {
        Model model;
        std::string reason;
        Child_Ending ending = Child_Ending::imported;
        EXPECT_FALSE(import_in_child(c.import, 1, &model, &reason, &ending)) << c.what;
        const bool busy = c.busy_machine_reason != nullptr && reason == c.busy_machine_reason;
        EXPECT_TRUE(busy || reason.rfind(c.reason_start, 0) == 0) << c.what << ": " << reason;
        EXPECT_EQ(ending, c.ending) << c.what;
    }
}

// Larger models than a pipe holds, textures, colours, a point cloud, lines
// and points, and warnings.
TEST(Import_Child, ModelsComeBackAsAnImportInThisProcessMakesThem) {
    const char* files[] = {"OBJ/spider.obj", "PLY/float-color.ply", "glTF2/BoxTextured-glTF-Binary/BoxTextured.glb",
                           "PLY/points.ply", "STL/Spider_binary.stl", "OBJ/testmixed.obj", "3DS/CameraRollAnim.3ds"};
    for (const char* file : files) {
        SCOPED_TRACE(file);
        Model here, there;
        std::string here_reason, there_reason;
        const bool imported_here = import_model_file_in_process(test_model(file), &here, &here_reason);
        EXPECT_EQ(import_model_file(test_model(file), &there, &there_reason), imported_here);
        EXPECT_EQ(there_reason, here_reason);
        expect_same_model(there, here);
    }
}

TEST(Model_Stream, EveryFieldComesBackBitForBit) {
    const Model model = every_field();
    Import_Outcome outcome;
    std::string damage;
    ASSERT_TRUE(read_back(stream_of(model), &outcome, &damage)) << damage;
    EXPECT_TRUE(outcome.imported);
    expect_same_model(outcome.model, model);

    Import_Outcome refusal;
    refusal.reason = "damaged file: no faces";
    ASSERT_TRUE(read_back(stream_of(refusal), &outcome, &damage)) << damage;
    EXPECT_FALSE(outcome.imported);
    EXPECT_EQ(outcome.reason, refusal.reason);
}

TEST(Model_Stream, AStreamCutShortOrRunningOnIsRefused) {
    const std::vector<uint8_t> whole = stream_of(every_field());
    for (size_t length = 0; length < whole.size(); ++length)
        EXPECT_EQ(damage_of(std::vector<uint8_t>(whole.begin(), whole.begin() + long(length))), "cut short")
            << length << " of " << whole.size() << " bytes";
    std::vector<uint8_t> longer = whole;
    longer.push_back(0);
    EXPECT_EQ(damage_of(longer), "bytes after the end");
    std::vector<uint8_t> other = whole;
    other[0] = 'X';
    EXPECT_EQ(damage_of(other), "not a model stream");
}

TEST(Model_Stream, IndicesAndCountsOutOfRangeAreRefused) {
    auto damaged = [](void (*change)(Model*)) {
        Model model = every_field();
        change(&model);
        return damage_of(stream_of(model));
    };
    EXPECT_EQ(damaged([](Model* m) { m->meshes[0].triangles[2] = 4; }), "index 4 past 4 vertices");
    EXPECT_EQ(damaged([](Model* m) { m->meshes[1].dots[0] = 0xFFFFFFFF; }), "index 4294967295 past 2 vertices");
    EXPECT_EQ(damaged([](Model* m) { m->meshes[0].triangles[0] = 3; }), "a drawn vertex is not finite");
    EXPECT_EQ(damaged([](Model* m) { m->meshes[0].triangles.pop_back(); }),
              "2 triangle indices, not three to a triangle");
    EXPECT_EQ(damaged([](Model* m) { m->meshes[0].lines.push_back(0); }), "5 line indices, not two to a segment");
    EXPECT_EQ(damaged([](Model* m) { m->meshes[0].lines[3] = 3; }), "a drawn vertex is not finite");
    EXPECT_EQ(damaged([](Model* m) { m->warnings[1] = "two\nlines"; }), "a reason or warning that is not one line");
    EXPECT_EQ(damaged([](Model* m) { m->warnings.assign(MODEL_WARNING_LIMIT + 1, "again"); }),
              "65 warnings, more than 64");
    EXPECT_EQ(damaged([](Model* m) { m->meshes[0].texture = 1; }), "texture 1 of 1");
    EXPECT_EQ(damaged([](Model* m) { m->meshes[0].texture = -2; }), "texture -2 of 1");
    EXPECT_EQ(damaged([](Model* m) {
                  m->meshes[0].texture_coordinates.clear();
              }),
              "a texture without coordinates");
    EXPECT_EQ(damaged([](Model* m) { m->radius = INFINITY; }), "a bounding sphere that is not finite");
    EXPECT_EQ(damaged([](Model* m) { m->materials = 3; }), "3 materials, more than 2");
    EXPECT_EQ(damaged([](Model* m) { m->textures_missing = 3; }), "3 textures missing, more than 2");
    EXPECT_EQ(damaged([](Model* m) { m->textures[0] = {MODEL_TEXTURE_SIDE_LIMIT + 1, 0, {}}; }),
              "a texture of 8193 × 0 pixels");

    // Stated counts far beyond the bytes that follow: refused by their limit,
    // or cut short once the bytes run out, without room made for them first.
    std::vector<uint8_t> stream = stream_of(every_field());
    const size_t first_mesh = 4 + 1 + 16 + 4 + 8 + 2 * 4 + 4;
    uint32_t count = 0xFFFFFFFF;
    std::memcpy(&stream[first_mesh], &count, sizeof count);
    EXPECT_EQ(damage_of(stream), "4294967295 vertices, more than 33554432");
    count = 4000000;
    std::memcpy(&stream[first_mesh], &count, sizeof count);
    EXPECT_EQ(damage_of(stream), "cut short");
}

}  // namespace
