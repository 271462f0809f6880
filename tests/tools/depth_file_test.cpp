// Depth pictures in traces: `write_depth` with a 16-bit PGM writes the file's
// values where the corners say (top row first), a file of the wrong size is
// the statement's failure, and a host's depth write of varying values is
// recorded into such a file and replays to the same depths.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/png_io.h"
#include "tests/support/process.h"

namespace {

constexpr int WIDTH = 4;
constexpr int HEIGHT = 3;

uint16_t value_at(int column, int row) { return uint16_t(1000 + 700 * row + 90 * column); }

// The values' expectations: the rectangle from (2, 10) down to (5, 8).
std::string expectations() {
    std::string text = "read_depth 0,15,0 15,0,0\n";
    for (int row = 0; row < HEIGHT; ++row)
        for (int column = 0; column < WIDTH; ++column)
            text += "expect depth " + std::to_string(2 + column) + " " + std::to_string(10 - row) + " " +
                    std::to_string(value_at(column, row)) + " tol=1\n";
    return text;
}

class Depth_File : public testing::Test {
protected:
    void SetUp() override {
        folder_ = make_temporary_folder();
        std::vector<uint16_t> values;
        for (int row = 0; row < HEIGHT; ++row)
            for (int column = 0; column < WIDTH; ++column) values.push_back(value_at(column, row));
        std::string error;
        ASSERT_TRUE(write_pgm16(folder_ + "/values.pgm", WIDTH, HEIGHT, reinterpret_cast<const uint8_t*>(values.data()),
                                WIDTH * 2, &error))
            << error;
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    Process_Result replay(const std::string& name, const std::string& text) {
        std::ofstream(folder_ + "/" + name) << text;
        return run_process({TOVREK_TOOL_PATH, "replay", folder_ + "/" + name, "--out", folder_ + "/out"});
    }

    // Reads that stay on the board would give the host placeholders.
    const std::string start =
        "window 16 16\noption \"Buffer Depth\" 16\noption \"Fast Readback\" off\ndevice\nstart\n";
    std::string folder_;
};

TEST_F(Depth_File, TheFilesValuesLandWhereTheCornersSay) {
    const Process_Result result = replay("file.trace", start + "write_depth 2,10,0 5,8,0 values.pgm\n" + expectations());
    EXPECT_EQ(result.status, 0) << result.errors;
}

TEST_F(Depth_File, AFileOfAnotherSizeOrNoneIsTheStatementsFailure) {
    const Process_Result wrong = replay("wrong.trace", start + "write_depth 2,10,0 6,8,0 values.pgm\n");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.errors.find("expected corners spanning the file's 4x3 values, got 5x3"), std::string::npos)
        << wrong.errors;
    const Process_Result missing = replay("missing.trace", start + "write_depth 2,10,0 5,8,0 nothing.pgm\n");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.errors.find("expected depth values, got "), std::string::npos) << missing.errors;
}

TEST_F(Depth_File, AVaryingDepthWriteIsRecordedIntoAFileAndReplays) {
    const std::string recorded = folder_ + "/recorded.trace";
    ASSERT_EQ(setenv("TOVREK_RECORD", recorded.c_str(), 1), 0);
    const Process_Result first = replay("host.trace", start + "write_depth 2,10,0 5,8,0 values.pgm\nshow\n");
    unsetenv("TOVREK_RECORD");
    ASSERT_EQ(first.status, 0) << first.errors;

    std::ifstream file(recorded);
    std::stringstream text;
    text << file.rdbuf();
    std::string trace = text.str();
    EXPECT_NE(trace.find("\nwrite_depth 2,10,0 5,8,0 recorded-1.pgm\n"), std::string::npos) << trace;
    // The expectations go in before the device is destroyed at the end.
    const size_t destroy = trace.rfind("destroy main\n");
    ASSERT_NE(destroy, std::string::npos) << trace;
    trace.insert(destroy, expectations());
    std::ofstream(recorded) << trace;
    const Process_Result again = run_process({TOVREK_TOOL_PATH, "replay", recorded});
    EXPECT_EQ(again.status, 0) << again.errors;
}

}  // namespace
