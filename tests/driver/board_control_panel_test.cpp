// The board control panel's settings as construction reads them: the box for
// what is disabled on the first construction only, software emulation for
// every object, and no board box after a control-panel box. Each test starts
// with a fresh copy of the module, so its first object is the first
// construction.
#include <gtest/gtest.h>

#include <vector>

#include "platform/winx.h"
#include "tests/support/test_device.h"

namespace {

const char* const PANEL_KEY = "SYSTEM\\CurrentControlSet\\Services\\QRB64\\Device0";
const char* const Z_BUFFER = "User3d.ZBuffer";
const char* const DOUBLE_BUFFER = "User3d.DoubleBuffer";

const char* const BOTH_DISABLED =
    "Double buffering and Z buffering are disabled in QRB control panel, reverting to software "
    "emulation code.  ";
const char* const DOUBLE_BUFFERING_DISABLED =
    "Double buffering is disabled in QRB control panel, reverting to software emulation code.  ";
const char* const Z_BUFFERING_DISABLED =
    "Z buffering is disabled in QRB control panel, reverting to software emulation code.  ";

class Screen24_Control_Panel : public testing::Test {
protected:
    void SetUp() override {
        winx::registry_clear();
        winx::reset_board_profile();
        test_device::fresh_module();
    }
    void TearDown() override {
        winx::registry_clear();
        winx::reset_board_profile();
    }
    void set_board(const char* words) {
        winx::Board_Profile profile;
        ASSERT_TRUE(winx::parse_board_profile(words, &profile, nullptr));
        winx::set_board_profile(profile);
    }
    // Constructs an object, checks that it was made, and destroys it again;
    // its software_emulation and double_buffering.
    std::pair<int32_t, bool> construct() {
        HT_Device_Data* device = test_device::create();
        EXPECT_NE(device, nullptr);
        if (device == nullptr) return {-1, false};
        const OGL_Device_Data* object = test_device::driver(device);
        std::pair<int32_t, bool> result{object->software_emulation, object->double_buffering};
        test_device::destroy(device);
        return result;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> all;
        for (const winx::Message_Box& box : boxes_.boxes()) all.push_back(box.caption + "|" + box.text);
        return all;
    }
    winx::Message_Recorder boxes_;
};

std::string box(const char* caption, const char* text) { return std::string(caption) + "|" + text; }

TEST_F(Screen24_Control_Panel, NoKeyMeansBothEnabled) {
    EXPECT_EQ(construct(), std::make_pair(0, true));
    EXPECT_TRUE(texts().empty());

    // A key without the values, and values that cannot be read, count as enabled too.
    winx::registry_set_dword(PANEL_KEY, "Something.Else", 0);
    EXPECT_EQ(construct(), std::make_pair(0, true));
    EXPECT_TRUE(texts().empty());
}

TEST_F(Screen24_Control_Panel, BothDisabledGiveOneBoxAndNoBoardBox) {
    winx::registry_set_dword(PANEL_KEY, Z_BUFFER, 0);
    winx::registry_set_dword(PANEL_KEY, DOUBLE_BUFFER, 0);
    // Too little video memory on the board: its box must not follow.
    set_board("video_memory=1");
    EXPECT_EQ(construct(), std::make_pair(1, true));
    EXPECT_EQ(texts(), std::vector<std::string>{box("QRB warning", BOTH_DISABLED)});
}

TEST_F(Screen24_Control_Panel, BothDisabledStillRunTheDirectDrawTestSilently) {
    winx::registry_set_dword(PANEL_KEY, Z_BUFFER, 0);
    winx::registry_set_dword(PANEL_KEY, DOUBLE_BUFFER, 0);
    // That the test runs at all shows when DirectDraw cannot be had: the
    // construction stops, and the next one warns again.
    set_board("directdraw=create_fails");
    EXPECT_EQ(test_device::create(), nullptr);
    EXPECT_EQ(texts(), std::vector<std::string>{box("QRB warning", BOTH_DISABLED)});

    // Enough on the board, nothing free now: the test finds too little, but
    // the object is emulated already, so nothing more is said or changed.
    boxes_.clear();
    set_board("free_video_memory=0");
    EXPECT_EQ(construct(), std::make_pair(1, true));
    EXPECT_EQ(texts(), std::vector<std::string>{box("QRB warning", BOTH_DISABLED)});
}

// Construction checks the board before it sets the pixel format: the
// control panel's box comes before the pixel format's warning, and a
// DirectDraw that cannot be had stops the construction before the pixel
// format is tried at all.
TEST_F(Screen24_Control_Panel, TheBoardIsCheckedBeforeThePixelFormat) {
    winx::registry_set_dword(PANEL_KEY, Z_BUFFER, 0);
    winx::set_described_color_bits(24);
    EXPECT_EQ(construct(), std::make_pair(1, true));
    const std::vector<std::string> shown = texts();
    winx::set_described_color_bits(0);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], box("QRB warning", Z_BUFFERING_DISABLED));
    EXPECT_EQ(shown[1].rfind("QRB WARNING : PIXEL FORMAT NOT SUPPORTED|", 0), 0u) << shown[1];

    test_device::fresh_module();
    boxes_.clear();
    winx::registry_clear();
    set_board("directdraw=create_fails");
    winx::set_described_color_bits(24);
    EXPECT_EQ(test_device::create(), nullptr);
    winx::set_described_color_bits(0);
    EXPECT_TRUE(texts().empty());
}

TEST_F(Screen24_Control_Panel, EachDisabledSettingHasItsOwnTextAndLaterObjectsAreSilent) {
    winx::registry_set_dword(PANEL_KEY, DOUBLE_BUFFER, 0);
    HT_Device_Data* first = test_device::create();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(test_device::driver(first)->software_emulation, 1);
    EXPECT_EQ(texts(), std::vector<std::string>{box("QRB warning", DOUBLE_BUFFERING_DISABLED)});

    // The first construction is over: the same settings switch the next
    // object silently, and DirectDraw is not asked again.
    boxes_.clear();
    winx::registry_set_dword(PANEL_KEY, DOUBLE_BUFFER, 1);
    winx::registry_set_dword(PANEL_KEY, Z_BUFFER, 0);
    set_board("directdraw=create_fails");
    EXPECT_EQ(construct(), std::make_pair(1, true));
    EXPECT_TRUE(texts().empty());
    test_device::destroy(first);
}

TEST_F(Screen24_Control_Panel, ZBufferingDisabledAlone) {
    winx::registry_set_dword(PANEL_KEY, Z_BUFFER, 0);
    winx::registry_set_dword(PANEL_KEY, DOUBLE_BUFFER, 7);
    EXPECT_EQ(construct(), std::make_pair(1, true));
    EXPECT_EQ(texts(), std::vector<std::string>{box("QRB warning", Z_BUFFERING_DISABLED)});
}

TEST_F(Screen24_Control_Panel, ValuesOfOtherSizesAreReadThroughOneBuffer) {
    // A Z-buffer value longer than the buffer is unreadable (enabled). The
    // double-buffer read after it is still told the buffer's own size: a
    // 60-byte value does not fit either, and a DWORD is read.
    std::vector<BYTE> long_value(100, 0);
    winx::registry_set_value(PANEL_KEY, Z_BUFFER, REG_BINARY, long_value.data(), long_value.size());
    winx::registry_set_value(PANEL_KEY, DOUBLE_BUFFER, REG_BINARY, long_value.data(), 60);
    EXPECT_EQ(construct(), std::make_pair(0, true));
    EXPECT_TRUE(texts().empty());
    winx::registry_set_dword(PANEL_KEY, DOUBLE_BUFFER, 0);
    EXPECT_EQ(construct(), std::make_pair(1, true));

    // A one-byte 0 is disabled. The byte count the first read leaves is the
    // next read's: after a two-byte value a DWORD does not fit and counts as
    // enabled.
    const BYTE zero[1] = {0};
    const BYTE one[2] = {1, 0};
    winx::registry_set_value(PANEL_KEY, Z_BUFFER, REG_BINARY, zero, sizeof zero);
    winx::registry_set_dword(PANEL_KEY, DOUBLE_BUFFER, 1);
    EXPECT_EQ(construct(), std::make_pair(1, true));
    winx::registry_set_value(PANEL_KEY, Z_BUFFER, REG_BINARY, one, sizeof one);
    winx::registry_set_dword(PANEL_KEY, DOUBLE_BUFFER, 0);
    EXPECT_EQ(construct(), std::make_pair(0, true));
}

}  // namespace
