// What `tovrek replay` leaves for people and CI: the output folder made when
// missing, the checked picture and a difference picture for each failed
// pixel, named in the message, and a JUnit report with one test case per
// expectation and one per other failed statement.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/process.h"
#include "tools/check_pictures.h"
#include "host/png_io.h"

namespace {

class Replay_Reports : public testing::Test {
protected:
    void SetUp() override {
        folder_ = make_temporary_folder();
        ASSERT_FALSE(folder_.empty());
        trace_ = folder_ + "/case.trace";
        out_ = folder_ + "/not/yet/there";
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    Process_Result replay(const std::string& text, std::vector<std::string> extra = {}) {
        std::ofstream(trace_) << text;
        std::vector<std::string> arguments = {TOVREK_TOOL_PATH, "replay", trace_, "--out", out_};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return run_process(arguments);
    }

    static std::string pixel(const Rgba_Image& image, int column, int row) {
        const uint8_t* at = &image.bytes[(size_t(row) * size_t(image.width) + size_t(column)) * 4];
        char text[16];
        std::snprintf(text, sizeof text, "#%02x%02x%02x", at[0], at[1], at[2]);
        return text;
    }

    static Rgba_Image picture(const std::string& path) {
        Rgba_Image image;
        std::string error;
        EXPECT_TRUE(read_png(path, &image, &error)) << path << ": " << error;
        return image;
    }

    std::string folder_, trace_, out_;
};

const char* const RED_FRAME =
    "window 32 24\n"                 // 1
    "option \"Buffer Depth\" 16\n"   // 2
    "option \"Fast Readback\" off\n" // 3
    "device\n"                       // 4
    "start\n"                        // 5
    "color #ff0000\n"                // 6
    "rectangle 0 31 0 23\n"          // 7
    "show\n"                         // 8
    "snapshot\n";                    // 9

TEST_F(Replay_Reports, AFailedPixelLeavesTheCheckedPictureAndADifferencePictureNamedInTheMessage) {
    Process_Result result = replay(std::string(RED_FRAME) +
                                   "expect pixel 5 6 #ff0000\n"        // 10: holds
                                   "expect pixel 7 3 #00ff00\n"        // 11: fails in the snapshot
                                   "read_color 0,23,0 31,0,0\n"        // 12
                                   "expect read 2 2 #ff0000ff tol=8\n" // 13: holds
                                   "expect read 2 1 #00ff00ff\n");     // 14: fails in the read
    EXPECT_EQ(result.status, 1) << result.errors;
    const std::string snapshot = out_ + "/case.line11.png", snapshot_difference = out_ + "/case.line11.difference.png";
    EXPECT_NE(result.errors.find(":11: expected #00ff00 at (7,3), got #ff0000; checked picture " + snapshot +
                                 ", difference picture " + snapshot_difference + "\n"),
              std::string::npos)
        << result.errors;
    EXPECT_NE(result.errors.find("; checked picture " + out_ + "/case.line14.png"), std::string::npos) << result.errors;
    EXPECT_FALSE(std::filesystem::exists(out_ + "/case.line10.png")) << "only failures leave pictures";

    // Rows of a picture count from the top: device y 3 of 24 is row 20.
    Rgba_Image checked = picture(snapshot), difference = picture(snapshot_difference);
    ASSERT_EQ(checked.width, 32);
    ASSERT_EQ(difference.height, 24);
    EXPECT_EQ(pixel(checked, 7, 20), "#ff0000");
    EXPECT_EQ(pixel(difference, 7, 20), "#ff0000");
    EXPECT_EQ(pixel(difference, 0, 0), "#3f0000") << "the rest dimmed";
    EXPECT_EQ(pixel(difference, 11, 20), "#ffff00") << "a frame to find the pixel by";

    Rgba_Image read_difference = picture(out_ + "/case.line14.difference.png");
    ASSERT_EQ(read_difference.width, 32);
    EXPECT_EQ(pixel(read_difference, 2, 22), "#ff0000");
    EXPECT_EQ(pixel(read_difference, 2, 21), "#3f0000");
}

TEST_F(Replay_Reports, JUnitHasOneCaseForEachExpectationAndForEachOtherFailure) {
    const std::string report = folder_ + "/report.xml";
    Process_Result result = replay(std::string(RED_FRAME) +
                                   "expect pixel 5 6 #ff0000\n"        // 10: holds
                                   "expect pixel 7 3 #00ff00\n"        // 11: fails
                                   "expect message \"a<b\" \"x&y\"\n"  // 12: fails, with markup in it
                                   "use nobody\n",                     // 13: fails, not an expectation
                                   {"--junit", report});
    EXPECT_EQ(result.status, 1) << result.errors;
    EXPECT_TRUE(std::filesystem::is_directory(out_));
    std::stringstream text;
    text << std::ifstream(report).rdbuf();
    const std::string xml = text.str();
    EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites tests=\"4\" failures=\"3\">", 0), 0u)
        << xml;
    EXPECT_NE(xml.find("<testcase classname=\"case\" name=\"line 10: expect pixel 5 6 #ff0000\"/>"), std::string::npos)
        << xml;
    EXPECT_NE(xml.find("name=\"line 11: expect pixel 7 3 #00ff00\">\n      <failure message=\"expected #00ff00 at "
                       "(7,3), got #ff0000; checked picture "),
              std::string::npos)
        << xml;
    EXPECT_NE(xml.find("name=\"line 12: expect message &quot;a&lt;b&quot; &quot;x&amp;y&quot;\">"), std::string::npos)
        << xml;
    EXPECT_NE(xml.find("name=\"line 13: statement\">\n      <failure message=\"expected a live device named "
                       "&quot;nobody&quot;, got none\"/>"),
              std::string::npos)
        << xml;

    Process_Result held = replay(std::string(RED_FRAME) + "expect pixel 5 6 #ff0000\n", {"--junit", report});
    EXPECT_EQ(held.status, 0) << held.errors;
    std::stringstream again;
    again << std::ifstream(report).rdbuf();
    EXPECT_NE(again.str().find("<testsuites tests=\"1\" failures=\"0\">"), std::string::npos) << again.str();
}

TEST_F(Replay_Reports, AReportOrFolderThatCannotBeWrittenIsAFailure) {
    std::ofstream(folder_ + "/file") << "x";
    out_ = folder_ + "/file/below";
    EXPECT_EQ(replay("window 8 8\n").status, 2);
    out_ = folder_ + "/out";
    Process_Result result = replay("window 8 8\n", {"--junit", folder_ + "/missing/report.xml"});
    EXPECT_EQ(result.status, 1) << "a trace that held but left no report must not read as passed";
    EXPECT_NE(result.errors.find("cannot write " + folder_ + "/missing/report.xml"), std::string::npos)
        << result.errors;
}

TEST(Difference_Picture, MarksThePixelAndStaysInsideThePicture) {
    Rgba_Image small;
    small.width = 3;
    small.height = 2;
    small.bytes.assign(3 * 2 * 4, 0xFF);
    Rgba_Image corner = difference_picture(small, 0, 0);
    ASSERT_EQ(corner.bytes.size(), small.bytes.size());
    EXPECT_EQ(corner.bytes[0], 0xFF);
    EXPECT_EQ(corner.bytes[1], 0x00);
    EXPECT_EQ(corner.bytes[4], 0x3F) << "dimmed to a quarter";
    Rgba_Image outside = difference_picture(small, 100, -100);
    for (size_t at = 0; at < outside.bytes.size(); at += 4) EXPECT_EQ(outside.bytes[at], 0x3F);
}

}  // namespace
