// `tovrek view` as a user runs it: real models (with lines, points and
// textures) through the driver agree with the direct-OpenGL and the software
// references, what the importer warns about is printed and the model drawn,
// every file of the test package's invalid folder and a file that crashes
// the importer are answered with exit status 2 and one line, and bad
// arguments get the usage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/process.h"
#include "tests/viewer/test_models.h"

namespace {

// Runs tovrek view. A run that names no frames renders one rather than
// opening the window a user turns.
Process_Result view(std::vector<std::string> arguments) {
    if (std::find(arguments.begin(), arguments.end(), "--frames") == arguments.end())
        arguments.insert(arguments.begin(), {"--frames", "1"});
    arguments.insert(arguments.begin(), {TOVREK_TOOL_PATH, "view"});
    return run_process(arguments);
}

// The percentage that the comparison line prints; 100 without the line.
double differing_percent(const Process_Result& result) {
    const size_t at = result.output.find("differing pixels: ");
    unsigned long differing = 0, total = 0;
    double percent = 0;
    if (at == std::string::npos ||
        std::sscanf(result.output.c_str() + at, "differing pixels: %lu of %lu (%lf%%)", &differing, &total,
                    &percent) != 3)
        return 100.0;
    return percent;
}

// A model of this repository (under tests/) or of the test package.
std::string model_path(const std::string& model) {
    return model.rfind("tests/", 0) == 0 ? std::string(TOVREK_SOURCE_DIR) + "/" + model : test_model(model);
}

struct Reference_Case {
    const char* model;
    const char* reference;
    double most_percent;
};

class View_Comparison : public testing::TestWithParam<Reference_Case> {};

TEST_P(View_Comparison, TheDriverAgreesWithTheReference) {
    const Reference_Case& c = GetParam();
    const std::string folder = make_temporary_folder();
    const std::string diff = folder + "/diff.png";
    const Process_Result result = view({model_path(c.model), "--frames", "2", "--compare", c.reference,
                                        "--max-differing", std::to_string(c.most_percent), "--diff", diff});
    EXPECT_EQ(result.status, 0) << result.output << result.errors;
    EXPECT_LE(differing_percent(result), c.most_percent) << result.output;
    EXPECT_TRUE(std::filesystem::exists(diff));
    std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(
    Models, View_Comparison,
    testing::Values(Reference_Case{"OBJ/box.obj", "direct", 0.5}, Reference_Case{"OBJ/box.obj", "software", 2},
                    Reference_Case{"PLY/float-color.ply", "direct", 0.5},
                    Reference_Case{"PLY/float-color.ply", "software", 2},
                    Reference_Case{"STL/Spider_binary.stl", "direct", 0.5},
                    Reference_Case{"STL/Spider_binary.stl", "software", 2},
                    Reference_Case{"OBJ/spider.obj", "direct", 0.5}, Reference_Case{"OBJ/spider.obj", "software", 2},
                    Reference_Case{"tests/viewer/models/helix_lines_points.obj", "direct", 0.5},
                    Reference_Case{"tests/viewer/models/helix_lines_points.obj", "software", 2},
                    Reference_Case{"tests/viewer/models/textured/quads.obj", "direct", 0.5},
                    Reference_Case{"tests/viewer/models/textured/quads.obj", "software", 2}),
    [](const testing::TestParamInfo<Reference_Case>& info) {
        std::string name = std::string(info.param.model) + "_" + info.param.reference;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

TEST(View_Command, ADifferenceBeyondTheLimitExitsOne) {
    // Edges drawn one way by the driver's lines and another by the software
    // steps: some pixels differ, and a limit of 0 refuses them.
    const Process_Result result =
        view({test_model("OBJ/box.obj"), "--edges", "--compare", "software", "--tolerance", "0", "--max-differing", "0"});
    EXPECT_EQ(result.status, 1) << result.output << result.errors;
    EXPECT_GT(differing_percent(result), 0.0) << result.output;
}

// Except the one whose faces are all good but one empty face: it is drawn,
// and the empty face and its missing material are warnings.
TEST(View_Command, EveryInvalidFileOfThePackageExitsTwoWithOneLine) {
    const std::string folder = test_model("invalid");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++files;
        const std::string path = entry.path().string();
        const Process_Result result = view({path});
        if (entry.path().filename() == "malformed2.obj") {
            EXPECT_EQ(result.status, 0) << result.errors;
            EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 2) << result.errors;
            EXPECT_EQ(result.errors.rfind("tovrek view: " + path + ": warning: ", 0), 0u) << result.errors;
            continue;
        }
        EXPECT_EQ(result.status, 2) << path << ": " << result.errors;
        EXPECT_EQ(result.errors.rfind("tovrek view: " + path + ": ", 0), 0u) << result.errors;
        EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1) << result.errors;
        EXPECT_TRUE(result.output.empty()) << "nothing was rendered: " << result.output;
    }
    EXPECT_GE(files, 10);
}

// The file crashes the import library: the import's child dies, the
// command answers as for any bad file.
TEST(View_Command, AFileThatCrashesTheImporterExitsTwoWithOneLine) {
    const std::string path = std::string(TOVREK_SOURCE_DIR) + "/tests/viewer/models/importer_crash.off";
    const Process_Result result = view({path});
    EXPECT_EQ(result.status, 2) << result.errors;
    EXPECT_EQ(result.errors.rfind("tovrek view: " + path + ": the importer crashed on this file (signal ", 0), 0u)
        << result.errors;
    EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1) << result.errors;
    EXPECT_TRUE(result.output.empty()) << result.output;
}

// The importer's complaints and a texture that is not there: one line each,
// and the picture is drawn.
TEST(View_Command, WarningsArePrintedAndTheModelIsDrawn) {
    const std::string folder = make_temporary_folder();
    const std::string model = model_path("tests/viewer/models/textured/quads.obj");
    const Process_Result result = view({model, "-o", folder + "/quads.png", "--up", "z", "-x", "--point-size", "1"});
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(result.errors, "tovrek view: " + model + ": warning: texture \"missing.png\" left out: no such file\n");
    EXPECT_TRUE(std::filesystem::exists(folder + "/quads.png"));
    std::filesystem::remove_all(folder);
}

TEST(View_Command, AFewWarningsArePrintedAndTheRestCounted) {
    const std::string folder = make_temporary_folder();
    std::ofstream(folder + "/many.mtl") << "newmtl a\nmap_Kd 1.png\nnewmtl b\nmap_Kd 2.png\nnewmtl c\nmap_Kd 3.png\n"
                                           "newmtl d\nmap_Kd 4.png\nnewmtl e\nmap_Kd 5.png\nnewmtl f\nmap_Kd 6.png\n";
    std::ofstream model(folder + "/many.obj");
    model << "mtllib many.mtl\nvt 0 0\n";
    for (int i = 0; i < 6; ++i)
        model << "v " << i << " 0 0\nv " << i << " 1 0\nv " << i + 1 << " 0 0\nusemtl " << char('a' + i) << "\nf "
              << 3 * i + 1 << "/1 " << 3 * i + 2 << "/1 " << 3 * i + 3 << "/1\n";
    model.close();
    const Process_Result result = view({folder + "/many.obj", "-o", folder + "/many.png"});
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 5) << result.errors;
    EXPECT_NE(result.errors.find(": warning: 2 more warnings not shown\n"), std::string::npos) << result.errors;
    std::filesystem::remove_all(folder);
}

TEST(View_Command, TheHelpNamesGltfTwo) {
    const Process_Result result = view({"--help"});
    EXPECT_NE(result.output.find("glTF 2.0"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("--point-size N"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("--up x|y|z"), std::string::npos) << result.output;
}

TEST(View_Command, FramesAreCountedAndTheLastOneWritten) {
    const std::string folder = make_temporary_folder();
    const Process_Result result =
        view({test_model("PLY/cube_binary.ply"), "--frames", "3", "--size", "120x90", "--buffer-depth", "16", "-o",
              folder + "/last.png"});
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_NE(result.output.find("driver: 3 frames in "), std::string::npos) << result.output;
    EXPECT_NE(result.output.find(" frames per second"), std::string::npos) << result.output;
    EXPECT_TRUE(std::filesystem::exists(folder + "/last.png"));
    std::filesystem::remove_all(folder);
}

// Each mistake is one line naming it, then where to find the usage.
TEST(View_Command, BadArgumentsGetOneLineAndAPointerToTheHelp) {
    const std::string model = test_model("OBJ/box.obj");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {model, "--size", "0x10"},
        {model, "--size", "640"},
        {model, "--frames", "-1"},
        {model, "--buffer-depth", "33"},
        {model, "--compare", "nobody"},
        {model, "--max-differing", "nan"},
        {model, "--reference", "direct", "--compare", "software"},
        {model, "--frames"},
        {model, "--up", "w"},
        {model, "--up"},
        {model, "--point-size", "0"},
        {model, "--point-size", "65"},
        {model, "--unknown"},
        {model, "-o", "last.gif"},
        {model, "--diff", "diff.png"},
    };
    for (const auto& arguments : cases) {
        const Process_Result result = view(arguments);
        EXPECT_EQ(result.status, 2) << testing::PrintToString(arguments);
        EXPECT_EQ(result.errors.rfind("tovrek view: ", 0), 0u) << result.errors;
        EXPECT_NE(result.errors.find("\nTry 'tovrek view --help'.\n"), std::string::npos) << result.errors;
        EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 2) << result.errors;
    }
    EXPECT_NE(view({model, "--frames"}).errors.find("--frames needs a value"), std::string::npos);
    EXPECT_NE(view({model, "--buffer-depth", "33"}).errors.find("--buffer-depth \"33\": expected a depth from 0 to 32"),
              std::string::npos);
}

}  // namespace
