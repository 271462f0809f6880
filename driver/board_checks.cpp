// The start-up board checks of a construction: the board control panel's
// settings, the board's answers to four display-driver escapes, the video
// memory that double buffering and a depth buffer need, the number of boards,
// and on the first construction the free video memory. A negative outcome
// switches the object to software emulation and, while no object has
// completed construction, tells the user once. The pixel-format step that
// follows is not part of this file.
#include <cstring>

#include "driver/board_checks.h"
#include "driver/device.h"

namespace {

const char* const CONTROL_PANEL_KEY = "SYSTEM\\CurrentControlSet\\Services\\QRB64\\Device0";

constexpr int ESCAPE_BOARD_MEMORY = 0x57515AF0;
constexpr int ESCAPE_DISPLAY_MODE = 0x57515AED;
constexpr int ESCAPE_SCAN_LINE = 0x57515A03;
constexpr int ESCAPE_BOARD_COUNT = 0x57515A11;

const char* const QRB_WARNING = "QRB warning";
const char* const DOUBLE_BUFFERING_DISABLED =
    "Double buffering is disabled in QRB control panel, reverting to software emulation code.  ";
const char* const Z_BUFFERING_DISABLED =
    "Z buffering is disabled in QRB control panel, reverting to software emulation code.  ";
const char* const BOTH_DISABLED =
    "Double buffering and Z buffering are disabled in QRB control panel, reverting to software "
    "emulation code.  ";

const char* const MULTIPLE_BOARDS_CAPTION =
    "QRB WARNING: NO H/W ACCELERATION FOR MULTIPLE BOARD SYSTEM";
const char* const MULTIPLE_BOARDS_TEXT =
    "Hardware acceleration is not supported with multiple board implementations.";

const char* const ON_BOARD_MEMORY_CAPTION = "QRB WARNING : Insufficient Video Memory OnBoard";
const char* const ON_BOARD_MEMORY_TEXT =
    "There is not enough on board video memory for hardware acceleration, reverting to software "
    "emulation code.  You must try running at a lower display resolution .  If you cannot, you "
    "may either continue in software emulation mode or you may select the standard VUDOZ "
    "Software ZBuffer driver and restart this application.";

const char* const AVAILABLE_MEMORY_CAPTION =
    "QRB WARNING : Insufficient Video Memory Currently Available";
const char* const AVAILABLE_MEMORY_TEXT =
    "There is not enough on board video memory for hardware acceleration, reverting to software "
    "emulation code.  Either you must close other apps which are currently using video memory "
    "or you must try running at a lower display resolution.  If you cannot do either, you may "
    "either continue in sw emulation mode or you may select the standard VUDOZ Software ZBuffer "
    "driver and restart this application.";

// Warnings are for the first construction only: later objects are switched
// silently.
void warn(const char* caption, const char* text) {
    if (OGL_First_Construction == 1) MessageBoxA(nullptr, text, caption, MB_OK);
}

uint32_t word_at(const uint8_t* bytes, size_t offset) {
    return uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 |
           uint32_t(bytes[offset + 2]) << 16 | uint32_t(bytes[offset + 3]) << 24;
}

struct Control_Panel {
    bool z_buffering = true;
    bool double_buffering = true;
};

// Both values go through one buffer, and the second read is given the byte
// count that the first left behind. A value that is missing or does not fit
// counts as enabled, as does a key that cannot be opened.
Control_Panel read_control_panel() {
    Control_Panel settings;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, CONTROL_PANEL_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return settings;
    }
    uint8_t data[40];
    DWORD size = sizeof data;
    // Zeroed before each read, so that a value shorter than four bytes reads
    // as its own bytes and not as what lay in the buffer before.
    std::memset(data, 0, sizeof data);
    if (RegQueryValueExA(key, "User3d.ZBuffer", nullptr, nullptr, data, &size) == ERROR_SUCCESS) {
        settings.z_buffering = word_at(data, 0) != 0;
    }
    // A value too long for the buffer leaves its full length behind: the next
    // read must still not be told the buffer is larger than it is.
    if (size > sizeof data) size = sizeof data;
    std::memset(data, 0, sizeof data);
    if (RegQueryValueExA(key, "User3d.DoubleBuffer", nullptr, nullptr, data, &size) ==
        ERROR_SUCCESS) {
        settings.double_buffering = word_at(data, 0) != 0;
    }
    RegCloseKey(key);
    return settings;
}

// What the display driver says about the board and the display. An escape
// it does not answer leaves its zeros, and zeros pass every check.
struct Board_Answers {
    uint32_t video_memory = 0;    // M
    uint32_t width = 0;           // W
    uint32_t height = 0;          // H
    uint32_t bits_per_pixel = 0;  // B
    uint32_t scan_line = 0;       // P, pixels per scan line
    uint32_t boards = 0;          // N
};

Board_Answers ask_board(HDC dc) {
    const uint32_t input = 0;
    uint8_t memory[84] = {};
    uint8_t mode[40] = {};
    uint8_t scan_line[4] = {};
    uint8_t boards[4] = {};
    const LPCSTR in = reinterpret_cast<LPCSTR>(&input);
    ExtEscape(dc, ESCAPE_BOARD_MEMORY, sizeof input, in, sizeof memory, reinterpret_cast<LPSTR>(memory));
    ExtEscape(dc, ESCAPE_DISPLAY_MODE, sizeof input, in, sizeof mode, reinterpret_cast<LPSTR>(mode));
    ExtEscape(dc, ESCAPE_SCAN_LINE, sizeof input, in, sizeof scan_line, reinterpret_cast<LPSTR>(scan_line));
    ExtEscape(dc, ESCAPE_BOARD_COUNT, sizeof input, in, sizeof boards, reinterpret_cast<LPSTR>(boards));

    Board_Answers answers;
    answers.video_memory = word_at(memory, 4);
    answers.width = word_at(mode, 8);
    answers.height = word_at(mode, 12);
    answers.bits_per_pixel = word_at(mode, 16);
    answers.scan_line = word_at(scan_line, 0);
    answers.boards = word_at(boards, 0);
    return answers;
}

}  // namespace

bool OGL_Device_Data::run_board_checks() {
    const Control_Panel panel = read_control_panel();
    if (!panel.z_buffering || !panel.double_buffering) {
        if (!panel.z_buffering && !panel.double_buffering) warn(QRB_WARNING, BOTH_DISABLED);
        else if (!panel.double_buffering) warn(QRB_WARNING, DOUBLE_BUFFERING_DISABLED);
        else warn(QRB_WARNING, Z_BUFFERING_DISABLED);
        software_emulation = 1;
    }

    const Board_Answers board = ask_board(device_context);
    // Two colour buffers of B bits and a 16-bit depth buffer, in 32 bits as
    // the board counts.
    const uint32_t area = board.scan_line * board.height;
    const uint32_t need = ((area * board.bits_per_pixel) >> 2) + 2 * area;

    if (board.boards > 1) {
        if (software_emulation == 0) warn(MULTIPLE_BOARDS_CAPTION, MULTIPLE_BOARDS_TEXT);
        software_emulation = 1;
    } else if (need > board.video_memory) {
        if (software_emulation == 0) warn(ON_BOARD_MEMORY_CAPTION, ON_BOARD_MEMORY_TEXT);
        software_emulation = 1;
    } else if (OGL_First_Construction == 1 &&
               (board.bits_per_pixel == 16 || board.bits_per_pixel == 32)) {
        double_buffering = true;
        switch (test_free_video_memory(GetDesktopWindow(), board.width, board.height,
                                       board.bits_per_pixel)) {
        case Free_Video_Memory::no_directdraw:
            return false;
        case Free_Video_Memory::too_little:
            if (software_emulation == 0) {
                warn(AVAILABLE_MEMORY_CAPTION, AVAILABLE_MEMORY_TEXT);
                software_emulation = 1;
                double_buffering = false;
            }
            break;
        case Free_Video_Memory::enough:
            break;
        }
    }
    return true;
}
