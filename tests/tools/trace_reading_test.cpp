// Reading traces with `tovrek replay`: every kind of mistake stops the replay
// before anything runs, with exit status 2 and the line and column where the
// trace went wrong; well-formed traces in every lexical form are read.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/process.h"

namespace {

class Trace_Reading : public testing::Test {
protected:
    void SetUp() override {
        folder_ = make_temporary_folder();
        ASSERT_FALSE(folder_.empty());
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    Process_Result replay(const std::string& text) {
        trace_ = folder_ + "/case.trace";
        std::ofstream(trace_) << text;
        return run_process({TOVREK_TOOL_PATH, "replay", trace_, "--out", folder_ + "/out"});
    }

    std::string folder_;
    std::string trace_;
};

struct Bad_Line {
    const char* text;
    const char* where_and_what;  // "LINE:COLUMN: expected …"
};

TEST_F(Trace_Reading, EveryKindOfMistakeGivesItsLineAndColumn) {
    const Bad_Line cases[] = {
        // lexical: strings, numbers, colours, points
        {"window 8 8\noption \"Buffer Depth 16", "2:24: expected a closing quote"},
        {"option \"a\\n\" 3", "1:10: expected \\\" or \\\\ after a backslash"},
        {"option \"a\"b 3", "1:11: expected a blank after the closing quote"},
        {"window 8 0x", "1:10: expected a window height (an integer from 0 to 16384)"},
        {"window 8 99999", "1:10: expected a window height (an integer from 0 to 16384)"},
        {"color #ff00", "1:6: expected a colour #RRGGBB or #RRGGBBAA"},
        {"color red", "1:7: expected a colour #RRGGBB or #RRGGBBAA"},
        {"dot 1,2", "1:5: expected a point x,y,z"},
        {"polyline 1,2,3 4,five,6", "1:18: expected y (a number)"},
        {"polyline 1,2,3@#ff0000", "1:15: expected the end of a point x,y,z"},
        {"gouraud_polyline 1,2,3", "1:23: expected @ and a colour: a coloured point x,y,z@#RRGGBB"},
        {"colorized_dot 1,2,3@#f", "1:21: expected a colour #RRGGBB or #RRGGBBAA"},
        {"textured_polytriangle 1,2,3@#ffffff/0", "1:37: expected s,t"},
        {"textured_polytriangle 1,2,3@#ffffff/0,0 values=1,2", "1:48: expected one vertex value for each of the 1 points"},
        {"expect pixel 1 2 #ff0000ff", "1:18: expected a colour #RRGGBB"},
        // statements and their words
        {"# a comment\n\n  windw 3 4", "3:3: expected a statement, not \"windw\""},
        {"\"window\" 3 4", "1:1: expected a statement, not \"window\""},
        {"window 3", "1:9: expected a window height"},
        {"start now", "1:7: expected the end of the statement"},
        {"screen 640 480 32", "1:16: expected a screen depth of 8, 16 or 24"},
        {"registry \"User3d.ZBuffer\" yes", "1:27: expected a DWORD value or absent (an integer from 0 to 4294967295)"},
        {"expect colour 1 1 #000000", "1:8: expected pixel, read, depth, image, message or no_message"},
        {"write_depth 0,1,0 1,0,0 65536", "1:25: expected a depth value (an integer from 0 to 65535)"},
        {"rectangle 1 2 3 4294967296", "1:17: expected top (an integer from -2147483648 to 2147483647)"},
        // options
        {"device main expect=nothing", "1:20: expected expect=null"},
        {"device a b", "1:10: expected one of the options expect="},
        {"line", "1:5: expected pattern=, style=, weight= or dashes="},
        {"line weight=2 pattern=3 weight=4", "1:25: expected each option once, but weight came again"},
        {"line style=1", "1:12: expected two style words A,B"},
        {"line dashes=4,x", "1:15: expected a dash length (an integer from -2147483648 to 2147483647)"},
        {"face user=ff", "1:11: expected 256 hex digits (32 rows of 8)"},
        {"texture id=1 wrap=3,3", "1:22: expected image="},
        {"texture id=1 image=solid:2x2", "1:20: expected an image FILE.png, solid:WxH:#RRGGBBAA or checker:WxH:CELL:#C1:#C2"},
        {"texture id=1 image=checker:2x2:0:#000000:#ffffff", "1:32: expected a cell size (an integer from 1 to 8192)"},
        {"texture id=1 wrap=3,sideways image=a.png", "1:21: expected a wrap mode: a number, or clamp, mirrored_repeat, clamp_to_edge, repeat or decal"},
        {"image 0,1,0 1,0,0 photo.jpg", "1:19: expected an image FILE.png, solid:WxH:#RRGGBBAA or checker:WxH:CELL:#C1:#C2"},
        {"image 0,1,0 1,0,0 solid:2x2:#ffffffff upside_down", "1:39: expected one of the options row_step=, bottom_up"},
        {"read_depth 0,1,0 1,0,0 save=depth.png", "1:29: expected a file name ending in .pgm"},
        {"snapshot frame.bmp", "1:10: expected a file name ending in .png"},
        {"expect read 0 0 #ffffffff tol=256", "1:31: expected a tolerance (an integer from 0 to 255)"},
        {"board video_memory=4294967296", "1:20: expected video memory in bytes (an integer from 0 to 4294967295)"},
        {"board directdraw=broken", "1:18: expected ok, create_fails, cooperative_fails or query_fails"},
    };
    for (const Bad_Line& bad : cases) {
        SCOPED_TRACE(bad.text);
        Process_Result result = replay(bad.text);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.errors, trace_ + ":" + bad.where_and_what + "\n");
    }
}

TEST_F(Trace_Reading, AMistakeOnTheLastLineRunsNothing) {
    Process_Result result = replay(
        "window 16 16\n"
        "snapshot before.png\n"
        "expect message \"never\" \"shown\"\n"
        "polyline 0,0,0 1,1,nan 2,2,oops\n");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.errors, trace_ + ":4:28: expected z (a number)\n") << "no statement reported a failure";
    EXPECT_FALSE(std::filesystem::exists(folder_ + "/out/before.png"));
}

TEST_F(Trace_Reading, EveryLexicalFormIsRead) {
    // Nothing here needs a device, so the statements that draw fail at run
    // time; that they are reached shows that the whole trace was read.
    Process_Result result = replay(
        "# comments, blank lines and trailing comments\n"
        "\n"
        "\tcolor #FF8000   # orange\n"
        "color #ff800080 #translucent\n"
        "line weight=0x2 dashes=4,2,1,2 style=1,2 pattern=9\n"
        "face user=" + std::string(248, '0') + "8000000f pattern=73\n"
        "texture none further=1\n"
        "registry \"User3d.ZBuffer\" 0x1\n"
        "registry \"User3d.ZBuffer\" absent\n"
        "polyline 0,0,0 1.5,-2e3,1e-2 nan,inf,-inf\n"
        "textured_polytriangle 0,0,0@#ffffff/0,0 1,0,0@#ffffff80/1,0.5 0,1,0@#000000/-1,2 values=1,0.5,2\n"
        "expect message \"QRB \\\"Error\\\"\" \"back\\\\slash\"\n"
        "expect no_message\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.errors,
              trace_ + ":10: expected a current device, got none\n" +
              trace_ + ":11: expected a current device, got none\n" +
              trace_ + ":12: expected message box \"QRB \"Error\"\" \"back\\slash\", got none\n");
}

TEST_F(Trace_Reading, AMissingTraceOrAFolderIsNotRead) {
    trace_ = folder_ + "/absent.trace";
    Process_Result result = run_process({TOVREK_TOOL_PATH, "replay", trace_});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.errors, trace_ + ": expected a readable trace file\n");

    Process_Result folder = run_process({TOVREK_TOOL_PATH, "replay", folder_});
    EXPECT_EQ(folder.status, 2);
    EXPECT_EQ(folder.errors, folder_ + ": expected a readable trace file\n");
}

}  // namespace
