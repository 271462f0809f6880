// The virtual board's profile: its words, the environment it comes from, and
// the default that lets a plain machine accelerate.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/winx.h"

namespace {

class Board_Profile_Environment : public testing::Test {
protected:
    void TearDown() override {
        unsetenv("WINX_BOARD");
        unsetenv("WINX_BOARD_FILE");
        if (!file_.empty()) std::remove(file_.c_str());
        winx::reset_board_profile();
    }
    void write_file(const std::string& text) {
        char path[] = "/tmp/winx_board_XXXXXX";
        int descriptor = mkstemp(path);
        ASSERT_GE(descriptor, 0);
        std::FILE* file = fdopen(descriptor, "w");
        std::fputs(text.c_str(), file);
        std::fclose(file);
        file_ = path;
        setenv("WINX_BOARD_FILE", path, 1);
    }
    std::string file_;
};

TEST(Board_Profile, WordsSetOnlyWhatTheyName) {
    winx::Board_Profile profile;
    profile.boards = 3;
    std::string error;
    ASSERT_TRUE(winx::parse_board_profile(
        "video_memory=0x800000 free_video_memory=4194304\tdirectdraw=query_fails", &profile, &error))
        << error;
    EXPECT_EQ(profile.video_memory, 0x800000u);
    EXPECT_EQ(profile.free_video_memory, 4194304u);
    EXPECT_EQ(profile.directdraw, winx::DirectDraw_Behaviour::query_fails);
    EXPECT_EQ(profile.boards, 3u) << "a setting left out is kept";
    EXPECT_TRUE(profile.escapes_answered);

    // A leading zero is not octal.
    ASSERT_TRUE(winx::parse_board_profile("boards=010 escapes=silent", &profile, &error));
    EXPECT_EQ(profile.boards, 10u);
    EXPECT_FALSE(profile.escapes_answered);
}

TEST(Board_Profile, BadWordsChangeNothing) {
    const char* const bad[] = {"boards",           "boards=",         "boards=-1",
                               "boards=2x",        "video_memory=4294967296",
                               "directdraw=maybe", "escapes=yes",     "colour=red",
                               "free_video_memory=0x"};
    for (const char* word : bad) {
        winx::Board_Profile profile;
        std::string error;
        EXPECT_FALSE(winx::parse_board_profile(std::string("boards=2 ") + word, &profile, &error))
            << word;
        EXPECT_NE(error.find(word), std::string::npos) << error;
        EXPECT_EQ(profile.boards, 1u) << "the good word before it is not applied either";
    }
    winx::Board_Profile profile;
    EXPECT_TRUE(winx::parse_board_profile("video_memory=4294967295", &profile, nullptr));
    EXPECT_EQ(profile.video_memory, 0xFFFFFFFFu);
}

TEST(Board_Profile, TextReadsBackAsTheSameProfile) {
    winx::Board_Profile profile;
    profile.video_memory = 123;
    profile.boards = 2;
    profile.directdraw = winx::DirectDraw_Behaviour::cooperative_fails;
    profile.escapes_answered = false;
    winx::Board_Profile again;
    ASSERT_TRUE(winx::parse_board_profile(winx::board_profile_text(profile), &again, nullptr));
    EXPECT_EQ(again.video_memory, 123u);
    EXPECT_FALSE(again.free_video_memory.has_value());
    EXPECT_EQ(again.boards, 2u);
    EXPECT_EQ(again.directdraw, winx::DirectDraw_Behaviour::cooperative_fails);
    EXPECT_FALSE(again.escapes_answered);
}

TEST_F(Board_Profile_Environment, VariableOverridesTheFile) {
    write_file("# a board with two heads\nvideo_memory=8388608 boards=2  # both\n"
               "free_video_memory=1000\n");
    setenv("WINX_BOARD", "boards=1 escapes=silent", 1);
    winx::reset_board_profile();
    winx::Board_Profile profile = winx::board_profile();
    EXPECT_EQ(profile.video_memory, 8388608u);
    EXPECT_EQ(profile.free_video_memory, 1000u);
    EXPECT_EQ(profile.boards, 1u);
    EXPECT_FALSE(profile.escapes_answered);
}

// A file written by hand has one setting to a line, with nothing after the
// value: a line's end separates settings as a blank does, whatever ends the
// line (a comment, a carriage return, the end of the file).
TEST_F(Board_Profile_Environment, EachLineOfTheFileIsASettingOfItsOwn) {
    write_file("video_memory=8388608\n"
               "boards=2#two heads\n"
               "free_video_memory=1000\r\n"
               "\n"
               "escapes=silent");
    winx::reset_board_profile();
    const winx::Board_Profile profile = winx::board_profile();
    EXPECT_EQ(profile.video_memory, 8388608u);
    EXPECT_EQ(profile.boards, 2u);
    EXPECT_EQ(profile.free_video_memory, 1000u);
    EXPECT_FALSE(profile.escapes_answered);
}

TEST_F(Board_Profile_Environment, MalformedProfileFallsBackToTheDefaultAndSaysWhy) {
    setenv("WINX_BOARD", "boards=2 video_memory=lots", 1);
    testing::internal::CaptureStderr();
    winx::reset_board_profile();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("video_memory=lots"), std::string::npos) << said;
    EXPECT_EQ(winx::board_profile().boards, 1u);

    unsetenv("WINX_BOARD");
    setenv("WINX_BOARD_FILE", "/nonexistent/board", 1);
    testing::internal::CaptureStderr();
    winx::reset_board_profile();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("/nonexistent/board"), std::string::npos);
}

TEST_F(Board_Profile_Environment, DefaultBoardHoldsTheScreenTwiceOverWithADepthBuffer) {
    winx::reset_board_profile();
    winx::Screen_Info screen;
    ASSERT_TRUE(winx::screen_info(&screen));
    const winx::Board_Profile profile = winx::board_profile();
    const uint64_t pixels = uint64_t(screen.width) * uint64_t(screen.height);
    EXPECT_GE(*profile.video_memory, pixels * uint64_t(screen.bits_per_pixel) / 4 + 2 * pixels);
    EXPECT_EQ(profile.free_video_memory, profile.video_memory);
    EXPECT_EQ(profile.boards, 1u);
    EXPECT_EQ(profile.directdraw, winx::DirectDraw_Behaviour::ok);
    EXPECT_TRUE(profile.escapes_answered);

    // A profile that names only the board's memory has all of it free.
    winx::Board_Profile named;
    named.video_memory = 5000;
    winx::set_board_profile(named);
    EXPECT_EQ(winx::board_profile().free_video_memory, 5000u);
}

}  // namespace
