// What `tovrek view` answers: the exit status of each kind of failure, the
// outputs refused before anything is drawn, the comparison over every frame
// and its line rule for edges, pictures by extension, the frames written
// one by one, the statistics and the JSON report, and the progress line on
// a terminal only.
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "host/png_io.h"
#include "tests/support/process.h"
#include "tests/viewer/test_models.h"

namespace {

Process_Result view(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {TOVREK_TOOL_PATH, "view"});
    return run_process(arguments);
}

struct Comparison_Line {
    unsigned long differing = 0;
    double percent = -1;
    int frame = 0;
};

Comparison_Line comparison_line(const Process_Result& result) {
    Comparison_Line line;
    const size_t at = result.output.find("differing pixels: ");
    unsigned long total = 0;
    if (at != std::string::npos)
        std::sscanf(result.output.c_str() + at, "differing pixels: %lu of %lu (%lf%%) at frame %d", &line.differing,
                    &total, &line.percent, &line.frame);
    return line;
}

std::string file_start(const std::string& path, size_t bytes) {
    std::ifstream file(path, std::ios::binary);
    std::string start(bytes, '\0');
    file.read(&start[0], std::streamsize(bytes));
    start.resize(size_t(file.gcount()));
    return start;
}

class Display_Named {
public:
    explicit Display_Named(const char* display) {
        const char* old = std::getenv("DISPLAY");
        had_ = old != nullptr;
        if (had_) old_ = old;
        setenv("DISPLAY", display, 1);
    }
    ~Display_Named() {
        if (had_) setenv("DISPLAY", old_.c_str(), 1);
        else unsetenv("DISPLAY");
    }

private:
    bool had_ = false;
    std::string old_;
};

// Outputs that cannot be written, a missing module and an unreachable
// display stop the run with 3, and the outputs are refused before a frame
// is drawn; a comparison beyond the limit is the only 1.
TEST(View_Answers, EachKindOfFailureHasItsExitStatus) {
    const std::string model = test_model("OBJ/box.obj");
    const std::string folder = make_temporary_folder();
    const std::string folder_named_png = make_temporary_folder() + "/picture.png";
    std::filesystem::create_directory(folder_named_png);
    const std::vector<std::vector<std::string>> unwritable = {
        {"-o", "/nonexistent/last.png"},
        {"--compare", "software", "--diff", "/nonexistent/diff.png"},
        {"--record", "/nonexistent/run.trace"},
        {"-o", folder_named_png},
        {"--frames-out", "/proc/frames"},
    };
    for (const auto& options : unwritable) {
        std::vector<std::string> arguments = {model, "--size", "64x48"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const Process_Result result = view(arguments);
        EXPECT_EQ(result.status, 3) << testing::PrintToString(options) << result.errors;
        EXPECT_TRUE(result.output.empty()) << "nothing is drawn: " << result.output;
        EXPECT_EQ(result.errors.rfind("tovrek view: ", 0), 0u) << result.errors;
        EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1) << result.errors;
    }
    EXPECT_EQ(view({model, "--size", "64x48", "--module", folder + "/none.hdi"}).status, 3);
    {
        const Display_Named nowhere(":4711");
        const Process_Result result = view({model, "--size", "64x48", "--frames", "1"});
        EXPECT_EQ(result.status, 3) << result.errors;
    }
    EXPECT_EQ(view({folder + "/missing.obj"}).status, 2);
    EXPECT_TRUE(std::filesystem::is_empty(folder)) << "the checks leave no files behind";
    std::filesystem::remove_all(folder);
    std::filesystem::remove_all(std::filesystem::path(folder_named_png).parent_path());
}

// Every frame is compared: the worst is reported, and the exit status
// follows it, though the first frame alone is within the limit.
TEST(View_Answers, TheWorstFrameDecides) {
    const std::string model = test_model("OBJ/box.obj");
    const std::vector<std::string> strict = {"--edges", "--compare", "software", "--tolerance", "0", "--size",
                                             "160x120"};
    std::vector<std::string> one = {model, "--frames", "1"};
    one.insert(one.end(), strict.begin(), strict.end());
    const Comparison_Line first = comparison_line(view(one));
    ASSERT_GT(first.percent, 0.0);

    std::vector<std::string> four = {model, "--frames", "4", "--max-differing", std::to_string(first.percent)};
    four.insert(four.end(), strict.begin(), strict.end());
    const Process_Result result = view(four);
    const Comparison_Line worst = comparison_line(result);
    EXPECT_GT(worst.percent, first.percent) << result.output;
    EXPECT_GE(worst.frame, 2) << result.output;
    EXPECT_LE(worst.frame, 4) << result.output;
    EXPECT_EQ(result.status, 1) << result.output;
}

// The software reference steps its lines through pixel centres: with the
// line rule the engine's edges are within the default limit.
TEST(View_Answers, EdgesAgreeWithTheSoftwareReferenceAtTheDefaults) {
    const Process_Result result =
        view({test_model("glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb"), "--edges", "--compare", "software"});
    EXPECT_EQ(result.status, 0) << result.output << result.errors;
    EXPECT_LE(comparison_line(result).percent, 0.5) << result.output;
}

// Depths 0 and 32 are both the driver's; JPEG and PNG by the extension.
TEST(View_Answers, BufferDepthsAtBothEndsAndPicturesByExtension) {
    const std::string folder = make_temporary_folder();
    const std::string model = test_model("OBJ/box.obj");
    for (const char* depth : {"0", "32"}) {
        const Process_Result result =
            view({model, "--size", "160x120", "--buffer-depth", depth, "--compare", "direct", "-o",
                  folder + "/last.JPG", "--diff", folder + "/diff.png"});
        EXPECT_EQ(result.status, 0) << depth << ": " << result.output << result.errors;
        EXPECT_EQ(file_start(folder + "/last.JPG", 3), "\xFF\xD8\xFF") << "a JPEG";
        EXPECT_EQ(file_start(folder + "/diff.png", 4), "\x89PNG");
    }
    std::filesystem::remove_all(folder);
}

TEST(View_Answers, FramesOutWritesEveryFrameOfTheOrbit) {
    const std::string folder = make_temporary_folder() + "/frames";
    const Process_Result result =
        view({test_model("PLY/cube_binary.ply"), "--frames", "3", "--size", "80x60", "--frames-out", folder});
    EXPECT_EQ(result.status, 0) << result.errors;
    Rgba_Image pictures[3];
    std::string error;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(read_png(folder + "/frame-000" + std::to_string(i + 1) + ".png", &pictures[i], &error)) << error;
    EXPECT_FALSE(std::filesystem::exists(folder + "/frame-0004.png"));
    EXPECT_NE(pictures[0].bytes, pictures[1].bytes) << "the orbit turns";
    EXPECT_NE(pictures[1].bytes, pictures[2].bytes);
    std::filesystem::remove_all(std::filesystem::path(folder).parent_path());
}

TEST(View_Answers, StatsAndJson) {
    const std::string model = test_model("OBJ/box.obj");
    const Process_Result stats = view({model, "--stats", "--frames", "1", "--size", "64x48"});
    EXPECT_EQ(stats.status, 0) << stats.errors;
    // The box's eight corners carry no normals: each face gets its own. The
    // figures come in this order.
    size_t at = 0;
    for (const char* line : {"meshes: 1\n", "vertices: 24\n", "triangles: 12\n", "lines: 0\n", "points: 0\n",
                             "materials: 1\n", "textures: 0\n", "textures missing: 0\n",
                             "bounds: -0.5 -0.5 -0.5 to 0.5 0.5 0.5\n", "strips per frame: ", "calls per frame: "}) {
        at = stats.output.find(line, at);
        EXPECT_NE(at, std::string::npos) << line << " in order in " << stats.output;
        if (at == std::string::npos) break;
    }

    // Lines joined into polylines cost a call each, beside the clearing
    // rectangle and the points; a texture that cannot be had is counted.
    const std::string source = TOVREK_SOURCE_DIR;
    const Process_Result lines = view({source + "/tests/viewer/models/helix_lines_points.obj", "--stats", "--frames",
                                       "1", "--size", "64x48", "--point-size", "1"});
    for (const char* line : {"triangles: 0\n", "lines: 49\n", "points: 12\n", "polylines per frame: 2\n",
                             "calls per frame: 15\n"})
        EXPECT_NE(lines.output.find(line), std::string::npos) << line << " in " << lines.output;
    const Process_Result textures = view({source + "/tests/viewer/models/textured/quads.obj", "--json", "--frames",
                                          "1", "--size", "64x48"});
    EXPECT_NE(textures.output.find("\"materials\":6,\"textures\":5,\"textures_missing\":1,"), std::string::npos)
        << textures.output;

    const Process_Result json =
        view({model, "--json", "--frames", "2", "--size", "64x48", "--compare", "software"});
    EXPECT_EQ(json.status, 0) << json.errors;
    EXPECT_EQ(std::count(json.output.begin(), json.output.end(), '\n'), 1) << json.output;
    EXPECT_EQ(json.output.front(), '{');
    for (const char* field : {"\"triangles\":12", "\"renderer\":\"driver\",\"frames\":2", "\"fps\":",
                              "\"renderer\":\"software reference\"", "\"differing_pixels\":", "\"worst_frame\":",
                              "\"status\":0}"})
        EXPECT_NE(json.output.find(field), std::string::npos) << field << " in " << json.output;
}

// A folder's model files (one in a subfolder) and a file beside them, two at a time: one row
// each in the table, the bad model's reason on standard error, and the
// worst status for the whole.
TEST(View_Answers, SeveralModelsEndWithATableAndTheWorstStatus) {
    const std::string folder = make_temporary_folder();
    std::filesystem::copy_file(test_model("OBJ/box.obj"), folder + "/box.obj");
    std::filesystem::create_directory(folder + "/more");
    std::filesystem::copy_file(test_model("PLY/cube_binary.ply"), folder + "/more/cube.PLY");
    std::ofstream(folder + "/broken.stl") << "solid nothing";
    std::ofstream(folder + "/notes.txt") << "not a model";
    const std::string spider = test_model("OBJ/spider.obj");
    const Process_Result result =
        view({folder, spider, "--compare", "direct", "--size", "80x60", "--jobs", "2"});
    EXPECT_EQ(result.status, 2) << result.output << result.errors;
    const std::regex rows("file +result +differing +time\n" + folder + "/box.obj +done +[0-9.]+% +[0-9.]+ s\n" +
                          folder + "/broken.stl +bad model +- +[0-9.]+ s\n" + folder +
                          "/more/cube.PLY +done +[0-9.]+% +[0-9.]+ s\n" + spider + " +done +[0-9.]+% +[0-9.]+ s\n");
    EXPECT_TRUE(std::regex_match(result.output, rows)) << result.output;
    EXPECT_EQ(result.errors.rfind("tovrek view: " + folder + "/broken.stl: ", 0), 0u) << result.errors;

    const Process_Result json = view({folder + "/box.obj", spider, "--json", "--size", "80x60"});
    EXPECT_EQ(json.status, 0) << json.errors;
    EXPECT_EQ(std::count(json.output.begin(), json.output.end(), '{'), 2 + 2 * 1) << json.output;
    EXPECT_EQ(view({folder, "-o", folder + "/last.png"}).status, 2);
    std::filesystem::remove_all(folder);
}

// Runs the command on a pseudo-terminal until `wanted` shows or `seconds`
// pass, then ends it; what it wrote to the terminal.
std::string terminal_output(const std::vector<std::string>& arguments, const std::string& wanted, int seconds) {
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        std::vector<char*> argv;
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    std::string seen;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    char buffer[256];
    while (seen.find(wanted) == std::string::npos && std::chrono::steady_clock::now() < end) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(terminal, &ready);
        timeval wait = {0, 200000};
        if (select(terminal + 1, &ready, nullptr, nullptr, &wait) <= 0) continue;
        const ssize_t got = read(terminal, buffer, sizeof buffer);
        if (got <= 0) break;
        seen.append(buffer, size_t(got));
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    close(terminal);
    return seen;
}

// Long work shows frames done of the total on a terminal, and nothing on
// a pipe.
TEST(View_Answers, AProgressLineOnATerminalOnly) {
    const std::vector<std::string> long_run = {TOVREK_TOOL_PATH, "view", test_model("OBJ/box.obj"), "--reference",
                                               "software", "--size", "64x48", "--frames", "1000000"};
    const std::string shown = terminal_output(long_run, " of 1000000, ", 30);
    EXPECT_NE(shown.find("software reference: frame "), std::string::npos) << shown;
    EXPECT_NE(shown.find(" frames per second"), std::string::npos) << shown;

    std::vector<std::string> piped = {"/usr/bin/timeout", "3"};
    piped.insert(piped.end(), long_run.begin(), long_run.end());
    const Process_Result result = run_process(piped);
    EXPECT_EQ(result.status, 124) << "ended by the timeout";
    EXPECT_TRUE(result.errors.empty()) << result.errors;
}

}  // namespace
