// Recording what a host does: `tovrek view --record` writes a trace that
// `tovrek replay --final` plays back to the identical picture, textures
// included, and the trace holds floats that read back bit for bit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/png_io.h"
#include "tests/support/process.h"
#include "tests/viewer/test_models.h"

namespace {

std::string text_of(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void expect_same_png(const std::string& a, const std::string& b) {
    Rgba_Image first, second;
    std::string error;
    ASSERT_TRUE(read_png(a, &first, &error)) << error;
    ASSERT_TRUE(read_png(b, &second, &error)) << error;
    EXPECT_EQ(first.width, second.width);
    EXPECT_EQ(first.height, second.height);
    EXPECT_TRUE(first.bytes == second.bytes) << b << " differs from " << a;
}

TEST(Record_Replay, AReplayedModelGivesTheIdenticalPicture) {
    const std::string folder = make_temporary_folder();
    const std::string trace = folder + "/spider.trace";
    const Process_Result viewed = run_process({TOVREK_TOOL_PATH, "view", test_model("OBJ/spider.obj"), "--frames",
                                               "2", "--record", trace, "-o", folder + "/viewed.png"});
    ASSERT_EQ(viewed.status, 0) << viewed.errors;
    const Process_Result replayed =
        run_process({TOVREK_TOOL_PATH, "replay", trace, "--final", folder + "/replayed.png"});
    ASSERT_EQ(replayed.status, 0) << replayed.errors;

    expect_same_png(folder + "/viewed.png", folder + "/replayed.png");

    const std::string recorded = text_of(trace);
    for (const char* statement : {"\ndevice main\n", "\noption \"Buffer Depth\" 24\n", "\nwindow 640 480\n",
                                  "\nstart\n", "\nrectangle 0 639 0 479\n", "\ntexture id=1 wrap=3,3 image=spider-",
                                  "\ntextured_polytriangle ", "\nshow\n", "\ndestroy main\n"})
        EXPECT_NE(recorded.find(statement), std::string::npos) << statement;
    EXPECT_EQ(std::count(recorded.begin(), recorded.end(), '\n') > 100, true);
    std::filesystem::remove_all(folder);
}

// Any host on libvudoz records: the demo's image, its reads and the
// restoring of what it read come back as image, read and restore steps.
TEST(Record_Replay, TheDemoRecordedUnderTheVariableReplaysToTheSamePicture) {
    const std::string folder = make_temporary_folder();
    const std::string trace = folder + "/demo.trace";
    ASSERT_EQ(setenv("TOVREK_RECORD", trace.c_str(), 1), 0);
    const Process_Result shown = run_process({TOVREK_TOOL_PATH, "demo", "-o", folder + "/shown.png"});
    unsetenv("TOVREK_RECORD");
    ASSERT_EQ(shown.status, 0) << shown.errors;
    const Process_Result replayed =
        run_process({TOVREK_TOOL_PATH, "replay", trace, "--final", folder + "/replayed.png"});
    ASSERT_EQ(replayed.status, 0) << replayed.errors;
    expect_same_png(folder + "/shown.png", folder + "/replayed.png");
    const std::string recorded = text_of(trace);
    for (const char* statement : {"\nimage ", "\nread_color ", "\nread_depth ", "\nredraw ", "\nrestore_depth ",
                                  "\nface pattern=73 user="})
        EXPECT_NE(recorded.find(statement), std::string::npos) << statement;
    EXPECT_EQ(recorded.find("\n#"), std::string::npos) << "every call of the demo has a statement";
    std::filesystem::remove_all(folder);
}

TEST(Record_Replay, ReplayWithoutAShowHasNoFinalPicture) {
    const std::string folder = make_temporary_folder();
    std::ofstream(folder + "/quiet.trace") << "window 8 8\ndevice\nstart\ndestroy\n";
    const Process_Result result =
        run_process({TOVREK_TOOL_PATH, "replay", folder + "/quiet.trace", "--final", folder + "/final.png"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.errors.find("expected a show to write"), std::string::npos) << result.errors;
    EXPECT_FALSE(std::filesystem::exists(folder + "/final.png"));
    std::filesystem::remove_all(folder);
}

}  // namespace
