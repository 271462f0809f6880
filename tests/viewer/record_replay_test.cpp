// Recording what a host does: `tovrek view --record` writes a trace that
// `tovrek replay --final` plays back to the identical picture, textures
// included, and the trace holds floats that read back bit for bit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/png_io.h"
#include "tests/support/process.h"
#include "tests/viewer/test_models.h"

namespace {

TEST(Record_Replay, AReplayedModelGivesTheIdenticalPicture) {
    const std::string folder = make_temporary_folder();
    const std::string trace = folder + "/spider.trace";
    const Process_Result viewed = run_process({TOVREK_TOOL_PATH, "view", test_model("OBJ/spider.obj"), "--frames",
                                               "2", "--record", trace, "-o", folder + "/viewed.png"});
    ASSERT_EQ(viewed.status, 0) << viewed.errors;
    const Process_Result replayed =
        run_process({TOVREK_TOOL_PATH, "replay", trace, "--final", folder + "/replayed.png"});
    ASSERT_EQ(replayed.status, 0) << replayed.errors;

    Rgba_Image first, second;
    std::string error;
    ASSERT_TRUE(read_png(folder + "/viewed.png", &first, &error)) << error;
    ASSERT_TRUE(read_png(folder + "/replayed.png", &second, &error)) << error;
    EXPECT_EQ(first.width, second.width);
    EXPECT_EQ(first.height, second.height);
    EXPECT_TRUE(first.bytes == second.bytes) << "the replay differs from what the viewer showed";

    std::ifstream file(trace);
    std::stringstream text;
    text << file.rdbuf();
    const std::string recorded = text.str();
    for (const char* statement : {"\ndevice main\n", "\noption \"Buffer Depth\" 24\n", "\nwindow 640 480\n",
                                  "\nstart\n", "\nrectangle 0 639 0 479\n", "\ntexture id=1 wrap=3,3 image=spider-",
                                  "\ntextured_polytriangle ", "\nshow\n", "\ndestroy main\n"})
        EXPECT_NE(recorded.find(statement), std::string::npos) << statement;
    EXPECT_EQ(std::count(recorded.begin(), recorded.end(), '\n') > 100, true);
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
