// Running traces with `tovrek replay`, where no driver is needed: failures are
// reported in order and the replay goes on, output files land under --out,
// and the module is found from --module or $TOVREK_MODULE.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/process.h"

namespace {

class Replay_Running : public testing::Test {
protected:
    void SetUp() override {
        folder_ = make_temporary_folder();
        ASSERT_FALSE(folder_.empty());
        trace_ = folder_ + "/case.trace";
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    Process_Result replay(const std::string& text, std::vector<std::string> extra = {}) {
        std::ofstream(trace_) << text;
        std::vector<std::string> arguments = {TOVREK_TOOL_PATH, "replay", trace_, "--out", folder_ + "/out"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return run_process(arguments);
    }

    // Width and height from a PNG file's header; 0, 0 when it is not one.
    static std::pair<int, int> png_size(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        unsigned char header[24] = {};
        file.read(reinterpret_cast<char*>(header), sizeof header);
        if (!file || header[1] != 'P' || header[2] != 'N' || header[3] != 'G') return {0, 0};
        auto word = [&header](int at) {
            return int(header[at]) << 24 | int(header[at + 1]) << 16 | int(header[at + 2]) << 8 | int(header[at + 3]);
        };
        return {word(16), word(20)};
    }

    std::string folder_;
    std::string trace_;
};

TEST_F(Replay_Running, FailuresAreReportedInOrderAndTheReplayGoesOn) {
    Process_Result result = replay(
        "window 24 16\n"
        "start\n"
        "expect read 0 0 #000000ff\n"
        "expect depth 0 0 0\n"
        "expect image 1 1 3 4\n"
        "redraw 0,0,0 0,0,0\n"
        "use nobody\n"
        "destroy\n"
        "texture id=1 image=missing.png\n"
        "image 0,0,0 0,0,0 solid:1x1:#ffffffff\n"
        "snapshot later/frame.png\n"
        "expect pixel 24 0 #000000\n"
        "expect no_message\n");
    EXPECT_EQ(result.status, 1);
    const std::string at = trace_ + ":";
    std::string expected_errors =
        at + "2: expected a current device, got none\n" +
        at + "3: expected a read_color before it, got none\n" +
        at + "4: expected a read_depth before it, got none\n" +
        at + "5: expected a read before it, got none\n" +
        at + "6: expected a read_color before it, got none\n" +
        at + "7: expected a live device named \"nobody\", got none\n" +
        at + "8: expected a current device, got none\n";
    ASSERT_EQ(result.errors.substr(0, expected_errors.size()), expected_errors);
    std::string rest = result.errors.substr(expected_errors.size());
    EXPECT_EQ(rest.rfind(at + "9: expected a texture image, got " + folder_ + "/missing.png", 0), 0u) << rest;
    EXPECT_NE(rest.find("\n" + at + "10: expected a current device, got none\n" + at +
                        "12: expected (24,0) inside the snapshot, got a snapshot of 24x16\n"),
              std::string::npos)
        << rest;
    EXPECT_EQ(png_size(folder_ + "/out/later/frame.png"), std::make_pair(24, 16)) << "the snapshot after failures ran";
}

TEST_F(Replay_Running, ImagesMustSpanTheirCornersBeforeAnyDeviceIsAsked) {
    Process_Result result = replay(
        "image 0,9,0 9,0,0 checker:10x8:2:#ff0000ff:#00ff00ff\n"
        "image 5,0,0 0,0,0 solid:3x3:#ffffffff\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.errors,
              trace_ + ":1: expected corners spanning the image's 10x8 pixels, got 10x10\n" +
              trace_ + ":2: expected a current device, got none\n")
        << "corners that enclose nothing go to the device as they are";
}

TEST_F(Replay_Running, TheModuleComesFromTheCommandLineThenTheEnvironment) {
    Process_Result chosen = replay("device\n", {"--module", "/nonexistent/chosen.hdi"});
    EXPECT_EQ(chosen.status, 1);
    EXPECT_EQ(chosen.errors.rfind(trace_ + ":1: expected the driver module to load, got cannot load /nonexistent/chosen.hdi", 0), 0u)
        << chosen.errors;

    setenv("TOVREK_MODULE", "/nonexistent/environment.hdi", 1);
    Process_Result from_environment = replay("device\ndevice second\n");
    Process_Result overridden = replay("device\n", {"--module", "/nonexistent/chosen.hdi"});
    unsetenv("TOVREK_MODULE");
    EXPECT_EQ(from_environment.status, 1);
    EXPECT_NE(from_environment.errors.find(":1: expected the driver module to load, got cannot load /nonexistent/environment.hdi"),
              std::string::npos) << from_environment.errors;
    EXPECT_NE(from_environment.errors.find(":2: expected the driver module to load"), std::string::npos)
        << "every device statement reports the missing module";
    EXPECT_NE(overridden.errors.find("/nonexistent/chosen.hdi"), std::string::npos) << overridden.errors;
}

TEST_F(Replay_Running, CommandLineMistakesAreUsageErrors) {
    EXPECT_EQ(run_process({TOVREK_TOOL_PATH}).status, 2);
    EXPECT_EQ(run_process({TOVREK_TOOL_PATH, "replay"}).status, 2);
    EXPECT_EQ(run_process({TOVREK_TOOL_PATH, "replay", "a.trace", "--out"}).status, 2);
    EXPECT_EQ(run_process({TOVREK_TOOL_PATH, "replay", "a.trace", "b.trace"}).status, 2);
    EXPECT_EQ(run_process({TOVREK_TOOL_PATH, "demo", "--frames", "3"}).status, 2);
}

}  // namespace
