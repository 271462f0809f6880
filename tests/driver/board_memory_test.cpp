// The board's side of the start-up checks: the number of boards, the video
// memory on the board against what the screen needs, the free video memory
// that DirectDraw finds on the first construction, and a DirectDraw that
// cannot be had, which stops the construction. Each test runs in its own
// process, so it starts with the first construction.
#include <gtest/gtest.h>

#include <vector>

#include "platform/winx.h"
#include "tests/support/screen_depth.h"
#include "tests/support/test_device.h"

namespace {

const char* const MULTIPLE_BOARDS =
    "QRB WARNING: NO H/W ACCELERATION FOR MULTIPLE BOARD SYSTEM|Hardware acceleration is not "
    "supported with multiple board implementations.";
const char* const ON_BOARD =
    "QRB WARNING : Insufficient Video Memory OnBoard|There is not enough on board video memory "
    "for hardware acceleration, reverting to software emulation code.  You must try running at a "
    "lower display resolution .  If you cannot, you may either continue in software emulation "
    "mode or you may select the standard VUDOZ Software ZBuffer driver and restart this "
    "application.";
const char* const CURRENTLY_AVAILABLE =
    "QRB WARNING : Insufficient Video Memory Currently Available|There is not enough on board "
    "video memory for hardware acceleration, reverting to software emulation code.  Either you "
    "must close other apps which are currently using video memory or you must try running at a "
    "lower display resolution.  If you cannot do either, you may either continue in sw emulation "
    "mode or you may select the standard VUDOZ Software ZBuffer driver and restart this "
    "application.";

class Board_Memory : public testing::Test {
protected:
    // Every test starts with the module's first construction ahead.
    void SetUp() override {
        winx::registry_clear();
        winx::reset_board_profile();
        ASSERT_TRUE(winx::screen_info(&screen_));
        test_device::fresh_module();
    }
    void TearDown() override { winx::reset_board_profile(); }

    void set_board(const std::string& words) {
        winx::Board_Profile profile;
        ASSERT_TRUE(winx::parse_board_profile(words, &profile, nullptr));
        winx::set_board_profile(profile);
    }
    // Two colour buffers of the screen's depth and a 16-bit depth buffer.
    uint32_t need() const {
        const uint32_t area = uint32_t(screen_.width) * uint32_t(screen_.height);
        return area * uint32_t(screen_.bits_per_pixel) / 4 + 2 * area;
    }
    uint32_t surface_bytes() const {
        return uint32_t(screen_.width) * uint32_t(screen_.height) * uint32_t(screen_.bits_per_pixel / 8);
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> all;
        for (const winx::Message_Box& box : boxes_.boxes()) all.push_back(box.caption + "|" + box.text);
        return all;
    }
    // The object's software_emulation and double_buffering, and both "Double
    // Buffering" options, which must agree with the field.
    std::pair<int32_t, bool> outcome(HT_Device_Data* device) const {
        const OGL_Device_Data* object = test_device::driver(device);
        for (const HT_Option_Table& table : device->option_tables) {
            const HT_Option* option = table.find(HT_String("Double Buffering"));
            if (option == nullptr) {
                ADD_FAILURE() << "no \"Double Buffering\" option";
                continue;
            }
            EXPECT_EQ(option->value().as_boolean(0), object->double_buffering);
        }
        return {object->software_emulation, object->double_buffering};
    }
    std::pair<int32_t, bool> construct() {
        HT_Device_Data* device = test_device::create();
        EXPECT_NE(device, nullptr);
        if (device == nullptr) return {-1, false};
        std::pair<int32_t, bool> result = outcome(device);
        test_device::destroy(device);
        return result;
    }

    winx::Screen_Info screen_;
    winx::Message_Recorder boxes_;
};

class Screen24_Board_Memory : public Board_Memory {};
class Screen16_Board_Memory : public Board_Memory {};

TEST_F(Screen24_Board_Memory, PlainBoardAccelerates) {
    EXPECT_EQ(construct(), std::make_pair(0, true));
    EXPECT_TRUE(texts().empty());
    EXPECT_EQ(winx::directdraw_object_count(), 0);
}

TEST_F(Screen24_Board_Memory, TwoBoardsAreNotComparedForMemory) {
    set_board("boards=2 video_memory=0");
    EXPECT_EQ(construct(), std::make_pair(1, true));
    EXPECT_EQ(texts(), std::vector<std::string>{MULTIPLE_BOARDS});
    // The next object is switched without a word.
    boxes_.clear();
    EXPECT_EQ(construct(), std::make_pair(1, true));
    EXPECT_TRUE(texts().empty());
}

TEST_F(Screen24_Board_Memory, NeedEqualToTheBoardsMemoryIsEnough) {
    set_board("video_memory=" + std::to_string(need()));
    EXPECT_EQ(construct(), std::make_pair(0, true));
    EXPECT_TRUE(texts().empty());
}

TEST_F(Screen24_Board_Memory, OneByteLessIsTooLittleAndSkipsTheDirectDrawTest) {
    // A DirectDraw that cannot be had would stop the construction if the
    // test ran.
    set_board("video_memory=" + std::to_string(need() - 1) + " directdraw=create_fails");
    EXPECT_EQ(construct(), std::make_pair(1, true));
    EXPECT_EQ(texts(), std::vector<std::string>{ON_BOARD});
}

TEST_F(Screen24_Board_Memory, ThirtyTwoBitScreenNeedsRoomForOneSurface) {
    set_board("free_video_memory=" + std::to_string(surface_bytes()));
    EXPECT_EQ(construct(), std::make_pair(0, true));
    EXPECT_TRUE(texts().empty());
    EXPECT_EQ(winx::board_free_video_memory_now(), surface_bytes()) << "the surface was released";
}

TEST_F(Screen24_Board_Memory, TooLittleFreeMemoryClearsDoubleBuffering) {
    set_board("free_video_memory=" + std::to_string(surface_bytes() - 1));
    EXPECT_EQ(construct(), std::make_pair(1, false));
    EXPECT_EQ(texts(), std::vector<std::string>{CURRENTLY_AVAILABLE});
}

TEST_F(Screen24_Board_Memory, LaterObjectsKeepDoubleBufferingAfterTooLittleFreeMemory) {
    set_board("free_video_memory=0");
    EXPECT_EQ(construct(), std::make_pair(1, false));
    // Later objects run no DirectDraw test and keep double buffering.
    boxes_.clear();
    EXPECT_EQ(construct(), std::make_pair(0, true));
    EXPECT_TRUE(texts().empty());
}

TEST_F(Screen16_Board_Memory, SixteenBitScreenNeedsRoomForTwoSurfaces) {
    SKIP_UNLESS_SCREEN_DEPTH(16);
    ASSERT_EQ(screen_.bits_per_pixel, 16);
    set_board("free_video_memory=" + std::to_string(2 * surface_bytes() - 1));
    EXPECT_EQ(construct(), std::make_pair(1, false));
    EXPECT_EQ(texts(), std::vector<std::string>{CURRENTLY_AVAILABLE});
    EXPECT_EQ(winx::directdraw_object_count(), 0) << "the first surface was released";
    EXPECT_EQ(winx::board_free_video_memory_now(), 2 * surface_bytes() - 1);
}

TEST_F(Screen16_Board_Memory, TwoSurfacesOfRoomAccelerate) {
    SKIP_UNLESS_SCREEN_DEPTH(16);
    set_board("free_video_memory=" + std::to_string(2 * surface_bytes()));
    EXPECT_EQ(construct(), std::make_pair(0, true));
    EXPECT_TRUE(texts().empty());
}

TEST_F(Screen24_Board_Memory, UnusableDirectDrawStopsTheConstructionSilentlyAndLeavesNothing) {
    winx::registry_set_dword("SYSTEM\\CurrentControlSet\\Services\\QRB64\\Device0",
                             "User3d.ZBuffer", 0);
    const long handles = winx::open_handle_count();
    for (const char* failure : {"create_fails", "cooperative_fails", "query_fails"}) {
        SCOPED_TRACE(failure);
        boxes_.clear();
        set_board(std::string("directdraw=") + failure);
        EXPECT_EQ(test_device::create(), nullptr);
        // Only the control panel's box: the stop itself says nothing.
        EXPECT_EQ(texts().size(), 1u);
        EXPECT_EQ(winx::directdraw_object_count(), 0);
        EXPECT_EQ(winx::open_handle_count(), handles);
    }
    // The next call runs the checks, and their warnings, again.
    boxes_.clear();
    winx::reset_board_profile();
    EXPECT_EQ(construct(), std::make_pair(1, true));
    EXPECT_EQ(texts().size(), 1u);
}

TEST_F(Screen24_Board_Memory, SilentEscapesPassEveryCheck) {
    // Zero answers: no boards, nothing needed, no depth for the DirectDraw
    // test, so even a board without memory or DirectDraw accelerates.
    set_board("escapes=silent boards=2 video_memory=0 free_video_memory=0 directdraw=create_fails");
    EXPECT_EQ(construct(), std::make_pair(0, true));
    EXPECT_TRUE(texts().empty());
}

}  // namespace
