// The board's display driver: its four escapes answer with the profile and
// the real screen in their fixed layouts, write nothing they should not, and
// answer nothing when the profile makes them silent.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/windows.h"
#include "platform/winx.h"
#include "tests/support/screen_depth.h"

namespace {

constexpr int BOARD_MEMORY = 0x57515AF0;
constexpr int DISPLAY_MODE = 0x57515AED;
constexpr int SCAN_LINE = 0x57515A03;
constexpr int BOARD_COUNT = 0x57515A11;

uint32_t word_at(const std::vector<uint8_t>& bytes, size_t offset) {
    uint32_t word = 0;
    std::memcpy(&word, bytes.data() + offset, 4);
    return word;
}

// The escape's answer in a buffer of `size` bytes that starts out filled with
// 0xA5, so that untouched bytes show.
struct Answer {
    int result;
    std::vector<uint8_t> bytes;
};

Answer escape(int code, int size) {
    HDC desktop = GetDC(GetDesktopWindow());
    const uint32_t input = 0;
    Answer answer{0, std::vector<uint8_t>(size_t(size), 0xA5)};
    answer.result = ExtEscape(desktop, code, sizeof input, reinterpret_cast<LPCSTR>(&input), size,
                              reinterpret_cast<LPSTR>(answer.bytes.data()));
    ReleaseDC(GetDesktopWindow(), desktop);
    return answer;
}

class Board_Escapes : public testing::Test {
protected:
    void TearDown() override { winx::reset_board_profile(); }
    void set_profile(const char* words) {
        winx::Board_Profile profile;
        ASSERT_TRUE(winx::parse_board_profile(words, &profile, nullptr));
        winx::set_board_profile(profile);
    }
};

class Screen24_Board_Escapes : public Board_Escapes {};
class Screen16_Board_Escapes : public Board_Escapes {};

TEST_F(Screen24_Board_Escapes, AnswersFillTheirLayoutsFromProfileAndScreen) {
    set_profile("video_memory=0x01020304 boards=3");
    winx::Screen_Info screen;
    ASSERT_TRUE(winx::screen_info(&screen));

    // Larger buffers than the layouts: the bytes past them stay as they were.
    Answer memory = escape(BOARD_MEMORY, 90);
    EXPECT_GT(memory.result, 0);
    EXPECT_EQ(memory.bytes[4], 0x04);
    EXPECT_EQ(word_at(memory.bytes, 4), 0x01020304u);
    for (size_t i = 0; i < 84; ++i) {
        if (i >= 4 && i < 8) continue;
        EXPECT_EQ(memory.bytes[i], 0) << "byte " << i;
    }
    for (size_t i = 84; i < 90; ++i) EXPECT_EQ(memory.bytes[i], 0xA5) << "byte " << i;

    Answer mode = escape(DISPLAY_MODE, 40);
    EXPECT_GT(mode.result, 0);
    EXPECT_EQ(word_at(mode.bytes, 8), uint32_t(screen.width));
    EXPECT_EQ(word_at(mode.bytes, 12), uint32_t(screen.height));
    EXPECT_EQ(word_at(mode.bytes, 16), 32u) << "X stores depth 24 in 32 bits";
    EXPECT_EQ(word_at(mode.bytes, 0) | word_at(mode.bytes, 4) | word_at(mode.bytes, 20), 0u);

    Answer scan_line = escape(SCAN_LINE, 4);
    EXPECT_GT(scan_line.result, 0);
    EXPECT_EQ(word_at(scan_line.bytes, 0), uint32_t(screen.width));

    Answer boards = escape(BOARD_COUNT, 4);
    EXPECT_GT(boards.result, 0);
    EXPECT_EQ(word_at(boards.bytes, 0), 3u);
}

TEST_F(Screen16_Board_Escapes, DisplayModeGivesSixteenBitsPerPixel) {
    SKIP_UNLESS_SCREEN_DEPTH(16);
    Answer mode = escape(DISPLAY_MODE, 40);
    EXPECT_GT(mode.result, 0);
    EXPECT_EQ(word_at(mode.bytes, 16), 16u);
}

TEST_F(Board_Escapes, SilentBoardAndUnknownEscapesLeaveTheBufferAlone) {
    set_profile("escapes=silent");
    for (int code : {BOARD_MEMORY, DISPLAY_MODE, SCAN_LINE, BOARD_COUNT}) {
        Answer answer = escape(code, 84);
        EXPECT_EQ(answer.result, 0) << std::hex << code;
        EXPECT_EQ(answer.bytes, std::vector<uint8_t>(84, 0xA5)) << std::hex << code;
    }
    winx::reset_board_profile();
    Answer unknown = escape(0x57515A00, 84);
    EXPECT_EQ(unknown.result, 0);
    EXPECT_EQ(unknown.bytes, std::vector<uint8_t>(84, 0xA5));
}

TEST_F(Board_Escapes, ShortBuffersAndStrangeDeviceContextsAreRefusedUnwritten) {
    Answer memory = escape(BOARD_MEMORY, 83);
    EXPECT_LT(memory.result, 0);
    EXPECT_EQ(memory.bytes, std::vector<uint8_t>(83, 0xA5));
    Answer boards = escape(BOARD_COUNT, 3);
    EXPECT_LT(boards.result, 0);
    EXPECT_EQ(boards.bytes, std::vector<uint8_t>(3, 0xA5));

    HDC desktop = GetDC(GetDesktopWindow());
    EXPECT_LT(ExtEscape(desktop, BOARD_COUNT, 0, nullptr, 4, nullptr), 0);
    EXPECT_LT(ExtEscape(desktop, BOARD_COUNT, 0, nullptr, -4, nullptr), 0);
    ReleaseDC(GetDesktopWindow(), desktop);

    uint32_t word = 0xA5A5A5A5u;
    EXPECT_LT(ExtEscape(nullptr, BOARD_COUNT, 0, nullptr, 4, reinterpret_cast<LPSTR>(&word)), 0);
    EXPECT_LT(ExtEscape(reinterpret_cast<HDC>(uintptr_t(0x1234)), BOARD_COUNT, 0, nullptr, 4,
                        reinterpret_cast<LPSTR>(&word)),
              0);
    EXPECT_EQ(word, 0xA5A5A5A5u);
}

}  // namespace
