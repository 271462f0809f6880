// `tovrek info` on a private X server: it describes the screen, the board and
// the control panel it finds, and reports what a renderer object made there
// concludes, with the warnings that say why.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/process.h"

namespace {

class Board_Info : public testing::Test {
protected:
    void SetUp() override {
        folder_ = make_temporary_folder();
        ASSERT_FALSE(folder_.empty());
        // An empty registry unless the test writes one.
        setenv("WINX_REGISTRY", (folder_ + "/registry").c_str(), 1);
        unsetenv("WINX_BOARD");
        unsetenv("WINX_BOARD_FILE");
    }
    void TearDown() override {
        unsetenv("WINX_REGISTRY");
        unsetenv("WINX_BOARD");
        std::filesystem::remove_all(folder_);
    }
    Process_Result info(const std::vector<std::string>& words) {
        std::vector<std::string> arguments = {TOVREK_TOOL_PATH, "info"};
        arguments.insert(arguments.end(), words.begin(), words.end());
        return run_process(arguments, {"DISPLAY"});
    }
    static bool has(const std::string& output, const std::string& line) {
        return output.find(line + "\n") != std::string::npos;
    }
    std::string folder_;
};

TEST_F(Board_Info, PlainMachineAccelerates) {
    Process_Result result = info({"--screen", "640x480x16"});
    ASSERT_EQ(result.status, 0) << result.errors;
    const std::string& out = result.output;
    EXPECT_TRUE(has(out, "screen: 640 x 480, depth 16, 16 bits per pixel")) << out;
    EXPECT_NE(out.find("board: video_memory="), std::string::npos) << out;
    EXPECT_TRUE(has(out, "control panel: no key (both settings count as enabled)")) << out;
    EXPECT_TRUE(has(out, "renderer object: hardware acceleration")) << out;
    EXPECT_TRUE(has(out, "  double buffering: yes")) << out;
    EXPECT_EQ(out.find("why:"), std::string::npos) << out;
}

TEST_F(Board_Info, WarningsAreTheReasonsForEmulation) {
    std::ofstream(folder_ + "/registry") << "[SYSTEM\\CurrentControlSet\\Services\\QRB64\\Device0]\n"
                                            "\"User3d.ZBuffer\"=dword:00000000\n";
    // Too little free memory: the DirectDraw test still runs, silently.
    setenv("WINX_BOARD", "free_video_memory=0", 1);
    Process_Result result = info({"--screen", "640x480x24"});
    ASSERT_EQ(result.status, 0) << result.errors;
    const std::string& out = result.output;
    EXPECT_TRUE(has(out, "  User3d.ZBuffer: 0 (disabled)")) << out;
    EXPECT_TRUE(has(out, "  User3d.DoubleBuffer: absent (counts as enabled)")) << out;
    EXPECT_TRUE(has(out, "renderer object: software emulation")) << out;
    EXPECT_TRUE(has(out, "  why: QRB warning: Z buffering is disabled in QRB control panel, reverting to "
                         "software emulation code.  "))
        << out;
    EXPECT_TRUE(has(out, "  double buffering: yes")) << out;
}

TEST_F(Board_Info, StoppedConstructionIsExplained) {
    setenv("WINX_BOARD", "directdraw=cooperative_fails", 1);
    Process_Result result = info({});
    ASSERT_EQ(result.status, 0) << result.errors;
    EXPECT_TRUE(has(result.output, "renderer object: none (the construction stopped)")) << result.output;
    EXPECT_NE(result.output.find("why: DirectDraw could not be had"), std::string::npos) << result.output;
}

TEST_F(Board_Info, BadArgumentsShowTheUsage) {
    for (const char* screen : {"640x480", "640x480x32", "0x480x24", "640x480x24x1"}) {
        Process_Result result = info({"--screen", screen});
        EXPECT_EQ(result.status, 2) << screen;
        EXPECT_NE(result.errors.find("usage: tovrek info"), std::string::npos) << screen;
    }
}

}  // namespace
