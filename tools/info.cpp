// `tovrek info [--module PATH] [--screen WxHxDEPTH]`: what the driver finds
// on this machine, in brief: the screen, the desktop's pixel formats, the
// board profile, the board control panel's settings, and what the
// construction of one renderer object concludes (acceleration or software
// emulation, with the warnings that say why, and double buffering). It
// constructs that object for real and destroys it again; it draws nothing.
// Without $DISPLAY a private X server of the --screen size is used (default
// 1280x1024x24).
#include "tools/info.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>

#include "host/loader.h"
#include "platform/winx.h"
#include "tools/module_path.h"

namespace {

const char* const CONTROL_PANEL_KEY = "SYSTEM\\CurrentControlSet\\Services\\QRB64\\Device0";

void print_screen() {
    winx::Screen_Info screen;
    if (!winx::screen_info(&screen)) {
        std::printf("screen: none\n");
        return;
    }
    std::printf("screen: %d x %d, depth %d, %d bits per pixel\n", screen.width, screen.height,
                screen.depth, screen.bits_per_pixel);
}

// Servers offer hundreds of formats that differ only in what the driver does
// not look at: they are listed by colour bits, depth bits and double
// buffering, with how many there are of each kind and the first index.
void print_pixel_formats() {
    struct Kind {
        int first_index;
        int count;
    };
    std::map<std::tuple<int, int, bool>, Kind> kinds;
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    PIXELFORMATDESCRIPTOR format = {};
    const int count = DescribePixelFormat(dc, 1, sizeof format, &format);
    for (int index = 1; index <= count; ++index) {
        if (DescribePixelFormat(dc, index, sizeof format, &format) == 0) continue;
        const bool double_buffered = (format.dwFlags & PFD_DOUBLEBUFFER) != 0;
        auto found = kinds.emplace(std::make_tuple(format.cColorBits, format.cDepthBits, double_buffered),
                                   Kind{index, 0});
        ++found.first->second.count;
    }
    ReleaseDC(desktop, dc);

    std::printf("pixel formats: %d\n", count);
    if (!kinds.empty()) std::printf("  colour bits  depth bits  double buffered  formats  first index\n");
    for (const auto& [key, kind] : kinds) {
        std::printf("  %11d  %10d  %-15s  %7d  %11d\n", std::get<0>(key), std::get<1>(key),
                    std::get<2>(key) ? "yes" : "no", kind.count, kind.first_index);
    }
}

void print_board() {
    std::printf("board: %s\n", winx::board_profile_text(winx::board_profile()).c_str());
    std::printf("  free video memory now: %u bytes\n", winx::board_free_video_memory_now());
}

// One value of the control panel's key, as stored: its first four bytes as a
// number when it has them.
void print_control_panel_value(HKEY key, const char* name) {
    BYTE data[40] = {};
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    const LONG result = RegQueryValueExA(key, name, nullptr, &type, data, &size);
    if (result == ERROR_FILE_NOT_FOUND) {
        std::printf("  %s: absent (counts as enabled)\n", name);
    } else if (result != ERROR_SUCCESS) {
        std::printf("  %s: unreadable (counts as enabled)\n", name);
    } else {
        const uint32_t value = uint32_t(data[0]) | uint32_t(data[1]) << 8 |
                               uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24;
        std::printf("  %s: %u (%s)\n", name, value, value != 0 ? "enabled" : "disabled");
    }
}

void print_control_panel() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, CONTROL_PANEL_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        std::printf("control panel: no key (both settings count as enabled)\n");
        return;
    }
    std::printf("control panel: HKEY_LOCAL_MACHINE\\%s\n", CONTROL_PANEL_KEY);
    print_control_panel_value(key, "User3d.DoubleBuffer");
    print_control_panel_value(key, "User3d.ZBuffer");
    RegCloseKey(key);
}

// Constructs a renderer object and reports what it concluded. On the first
// construction every switch to software emulation is announced in a box, so
// the boxes are the reasons; an object without them accelerates.
bool print_construction(const std::string& module_path) {
    std::printf("module: %s\n", module_path.c_str());
    HT_Driver_Module module;
    if (!module.load(module_path)) {
        std::fprintf(stderr, "info: %s\n", module.error().c_str());
        return false;
    }
    winx::Message_Recorder boxes;
    HT_Device_Data* device = module.create_device();
    if (device == nullptr) {
        std::printf("renderer object: none (the construction stopped)\n");
        if (boxes.boxes().empty())
            std::printf("  why: DirectDraw could not be had (no message is shown for that)\n");
    } else {
        std::printf("renderer object: %s\n",
                    boxes.boxes().empty() ? "hardware acceleration" : "software emulation");
    }
    for (const winx::Message_Box& box : boxes.boxes())
        std::printf("  why: %s: %s\n", box.caption.c_str(), box.text.c_str());
    if (device != nullptr) {
        const HT_Option* option = device->option_tables[0].find(HT_String("Double Buffering"));
        if (option != nullptr)
            std::printf("  double buffering: %s\n", option->value().as_boolean(0) ? "yes" : "no");
        HD_Destroy_Device(device);
    }
    return true;
}

bool parse_screen(const std::string& text, int* width, int* height, int* depth) {
    char rest = 0;
    return std::sscanf(text.c_str(), "%dx%dx%d%c", width, height, depth, &rest) == 3 &&
           *width > 0 && *height > 0 && *width <= 16384 && *height <= 16384 &&
           (*depth == 8 || *depth == 16 || *depth == 24);
}

int info_command(int argc, char** argv) {
    std::string module_choice;
    int width = 1280, height = 1024, depth = 24;
    for (int i = 0; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--module" && i + 1 < argc) {
            module_choice = argv[++i];
        } else if (argument == "--screen" && i + 1 < argc) {
            if (!parse_screen(argv[++i], &width, &height, &depth))
                return usage_error(INFO_COMMAND, std::string("--screen wants WIDTHxHEIGHTxDEPTH, got ") + argv[i]);
        } else {
            return usage_error(INFO_COMMAND, argument_problem(argument, argument == "--module" || argument == "--screen"));
        }
    }
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && *display != '\0') {
        std::printf("display: %s\n", display);
    } else {
        std::string reason;
        if (!winx::start_private_display(width, height, depth, &reason)) {
            std::fprintf(stderr, "info: no display and no private X server: %s\n", reason.c_str());
            return 1;
        }
        std::printf("display: private X server\n");
    }
    print_screen();
    print_pixel_formats();
    print_board();
    print_control_panel();
    const bool constructed = print_construction(driver_module_path(module_choice));
    winx::stop_private_display();
    return constructed ? 0 : 1;
}

}  // namespace

const Tool_Command INFO_COMMAND = {
    "info", "show what the driver finds on this machine",
    "usage: tovrek info [--module PATH] [--screen WxHxDEPTH]\n"
    "Shows the screen, the desktop's pixel formats, the board profile, the board\n"
    "control panel's settings, and what constructing one renderer object concludes.\n"
    "options:\n"
    "  --module PATH         the driver module (default $TOVREK_MODULE, else the installed one)\n"
    "  --screen WxHxDEPTH    the private X server's screen when there is no display (default 1280x1024x24)\n"
    "  -h, --help            show this help\n",
    info_command,
};
