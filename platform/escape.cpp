// ExtEscape: the virtual board's display driver and its four private
// escapes, answered from the board profile and the screen behind the device
// context. Every answer is a block of little-endian 32-bit words; the words
// the board does not fill are 0. With a profile whose escapes are silent the
// driver implements none of them. Other escapes are not implemented.
#include <cstring>

#include "platform/winx.h"
#include "platform/injected_failures.h"

namespace {

constexpr int ESCAPE_BOARD_MEMORY = 0x57515AF0;  // 84 bytes, video memory at byte 4
constexpr int ESCAPE_DISPLAY_MODE = 0x57515AED;  // 40 bytes, width, height, bits at 8, 12, 16
constexpr int ESCAPE_SCAN_LINE = 0x57515A03;     // 4 bytes, pixels per scan line
constexpr int ESCAPE_BOARD_COUNT = 0x57515A11;   // 4 bytes, boards in the system

constexpr int ESCAPE_NOT_IMPLEMENTED = 0;
constexpr int ESCAPE_ANSWERED = 1;
constexpr int ESCAPE_ERROR = -1;

void put_word(LPSTR output, int offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) output[offset + i] = char((value >> (8 * i)) & 0xFFu);
}

// The size of the escape's answer; 0 for an escape the board does not know.
int answer_size(int escape) {
    switch (escape) {
    case ESCAPE_BOARD_MEMORY: return 84;
    case ESCAPE_DISPLAY_MODE: return 40;
    case ESCAPE_SCAN_LINE: return 4;
    case ESCAPE_BOARD_COUNT: return 4;
    default: return 0;
    }
}

}  // namespace

int WINAPI ExtEscape(HDC dc, int escape, int, LPCSTR, int output_size, LPSTR output) {
    if (dc == nullptr || winx::fail_this_call(winx::Failing_Call::escape)) return ESCAPE_ERROR;
    // The screen's figures; a device context that is not on the screen has none.
    const int width = GetDeviceCaps(dc, HORZRES);
    const int height = GetDeviceCaps(dc, VERTRES);
    const int bits_per_pixel = GetDeviceCaps(dc, BITSPIXEL);
    if (width <= 0) return ESCAPE_ERROR;

    const int size = answer_size(escape);
    if (size == 0) return ESCAPE_NOT_IMPLEMENTED;
    const winx::Board_Profile profile = winx::board_profile();
    if (!profile.escapes_answered) return ESCAPE_NOT_IMPLEMENTED;
    if (output == nullptr || output_size < size) return ESCAPE_ERROR;

    std::memset(output, 0, size_t(size));
    switch (escape) {
    case ESCAPE_BOARD_MEMORY:
        put_word(output, 4, *profile.video_memory);
        break;
    case ESCAPE_DISPLAY_MODE:
        put_word(output, 8, uint32_t(width));
        put_word(output, 12, uint32_t(height));
        put_word(output, 16, uint32_t(bits_per_pixel));
        break;
    case ESCAPE_SCAN_LINE:
        put_word(output, 0, uint32_t(width));
        break;
    case ESCAPE_BOARD_COUNT:
        put_word(output, 0, profile.boards);
        break;
    }
    return ESCAPE_ANSWERED;
}
