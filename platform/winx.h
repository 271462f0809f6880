// The platform calls that are not Win32 names: what the host application and
// the tools need around the driver (a private X server, the host's window and
// its snapshots), and the in-process settings that tests use (message sink,
// registry). The driver itself never includes this header.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/windows.h"

namespace winx {

// ---- display ---------------------------------------------------------------

// Starts a private Xvfb with one screen of the given size and depth (8, 16 or
// 24 bits) and points $DISPLAY at it. Must run before the first X call of the
// process. False, with a reason in *error, when the server does not come up.
bool start_private_display(int width, int height, int depth, std::string* error);
// Stops the server started above (no effect when none was started).
void stop_private_display();

// Opens the process's one X connection (XInitThreads first) when it is not
// open yet. False when there is no display to open.
bool open_display();

struct Screen_Info {
    int width = 0;
    int height = 0;
    int depth = 0;           // bits of the root visual
    int bits_per_pixel = 0;  // bits that X stores per pixel at that depth
};
bool screen_info(Screen_Info* info);

// Windows on the X server now, at every level below the root (the host's
// windows and the drawables that pixel formats add): for leak checks. -1
// when there is no display.
long x_window_count();

// ---- the host's window --------------------------------------------------------

// A top-level window with a client area of width x height pixels; null when
// there is no display. Sizes of 0 are allowed (the window is then 1 x 1 on
// the server, and reports 0).
HWND create_window(int width, int height, const char* title);
bool resize_window(HWND window, int width, int height);
void destroy_window(HWND window);
bool window_size(HWND window, int* width, int* height);
// True when the user has asked to close the window (the window manager's
// close button) since the last call.
bool window_close_requested(HWND window);

// What the user did on a window: a mouse button pressed or released, the
// pointer moved, a key pressed; or the window was uncovered or mapped again
// (exposed), so that what it showed is lost and must be drawn anew. x and y
// are in client pixels from the top-left corner.
struct Window_Input {
    enum class Kind { button_press, button_release, motion, key_press, exposed };
    Kind kind = Kind::motion;
    int x = 0;
    int y = 0;
    int button = 0;  // 1 left, 2 middle, 3 right, 4 wheel up, 5 wheel down
    int key = 0;     // a key's character in lower case, or 27 for Escape; 0 for others
    bool control = false;  // the Control key was held
};
// Makes the window report its mouse and key input and its exposures to
// take_window_input, its GL child's exposures included (made before or after
// this call); windows that never ask queue none.
void listen_to_window_input(HWND window);
// The input that arrived on the window since the last call, in order (the
// GL child's exposures first). One
// exposure of the window, which the server reports in as many pieces as
// the uncovered region has rectangles, is one `exposed`.
std::vector<Window_Input> take_window_input(HWND window);

// What the window shows now, read back from the server.
struct Window_Snapshot {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first

    // The pixel at device coordinates (origin at the lower-left corner).
    uint32_t at(int x, int y) const { return pixels[size_t(height - 1 - y) * size_t(width) + size_t(x)]; }
};
bool capture_window(HWND window, Window_Snapshot* snapshot);

// ---- pixel formats ------------------------------------------------------------

// Makes every pixel format describe itself with this many colour bits (8 or
// 24), so that the driver's rules for such screens can be tested where X
// offers OpenGL only at 16 and 32 bits per pixel. 0 turns it off.
void set_described_color_bits(int bits);

// ---- message boxes ----------------------------------------------------------

// Receives every MessageBoxA; returns what MessageBoxA returns. The default
// sink prints "CAPTION: TEXT" on standard error and returns IDOK.
using Message_Sink = std::function<int(const std::string& caption, const std::string& text)>;
// An empty sink puts the default back.
void set_message_sink(Message_Sink sink);

struct Message_Box {
    std::string caption;
    std::string text;
};

// Records every message box while it lives (installs itself as the sink,
// restores the default when destroyed). Safe to read from any thread.
class Message_Recorder {
public:
    Message_Recorder();
    ~Message_Recorder();
    Message_Recorder(const Message_Recorder&) = delete;
    Message_Recorder& operator=(const Message_Recorder&) = delete;

    std::vector<Message_Box> boxes() const;
    void clear();

private:
    struct State;
    State* state_;
};

// ---- registry -------------------------------------------------------------------

// The registry is read from the file named by $WINX_REGISTRY (default
// ~/.config/winx/registry) on first use; these calls change the in-process
// copy. Key paths are full paths below HKEY_LOCAL_MACHINE, separated by '\'.
void registry_set_value(const std::string& key, const std::string& name, DWORD type,
                        const void* data, size_t size);
void registry_set_dword(const std::string& key, const std::string& name, DWORD value);
void registry_remove_value(const std::string& key, const std::string& name);
void registry_remove_key(const std::string& key);
// Forgets everything, the file included (an empty registry).
void registry_clear();
// Replaces the in-process registry with the contents of a file. False, with a
// reason, when the file cannot be read or parsed.
bool registry_load_file(const std::string& path, std::string* error);

// ---- the virtual board ----------------------------------------------------------

// What the board behind the screen is like: its display driver answers the
// board's escapes from this, and DirectDraw hands out video memory against
// it. The profile in force comes, on first use, from the file named by
// $WINX_BOARD_FILE and then from $WINX_BOARD, whose settings override the
// file's. Both hold the same words, KEY=VALUE separated by blanks (the file
// may spread them over lines, with '#' comments):
//   video_memory=BYTES        video memory on the board
//   boards=N                  number of boards in the system
//   free_video_memory=BYTES   video memory that DirectDraw can hand out now
//   directdraw=ok|create_fails|cooperative_fails|query_fails
//   escapes=answered|silent   whether the display driver answers the escapes
// Numbers are decimal or 0x hexadecimal, at most 0xFFFFFFFF. A setting left
// out keeps its default: one board whose video memory, all of it free, is
// enough for the current screen (see board_profile.cpp), DirectDraw that
// works, and escapes that are answered. A malformed profile is reported on
// standard error and the default is used.
enum class DirectDraw_Behaviour { ok, create_fails, cooperative_fails, query_fails };

struct Board_Profile {
    // Unset: enough for the current screen, worked out when asked.
    std::optional<uint32_t> video_memory;
    uint32_t boards = 1;
    std::optional<uint32_t> free_video_memory;
    DirectDraw_Behaviour directdraw = DirectDraw_Behaviour::ok;
    bool escapes_answered = true;
};

// Applies the words of a profile text on top of *profile. False, with the
// offending word in *error, when a word is not a known KEY=VALUE.
bool parse_board_profile(const std::string& text, Board_Profile* profile, std::string* error);
// The profile in force, with the memory figures worked out for the current
// screen when the profile leaves them unset.
Board_Profile board_profile();
// Replaces the profile in force (the environment is no longer read).
void set_board_profile(const Board_Profile& profile);
// The profile as the environment gives it, read again now.
void reset_board_profile();
// The words that give this profile (unset figures left out).
std::string board_profile_text(const Board_Profile& profile);

// Free video memory now: the profile's figure less what live DirectDraw
// surfaces hold.
uint32_t board_free_video_memory_now();
// DirectDraw objects and surfaces that are alive now: for leak checks.
long directdraw_object_count();

// ---- injected failures ---------------------------------------------------------------

// The calls that tests can make fail, one kind at a time: the failing call
// does nothing and reports failure the way the system does (a null handle or
// device context, 0, FALSE, an error HRESULT, or an escape that answers -1
// and fills nothing).
enum class Failing_Call {
    create_event,
    create_thread,
    get_dc,
    choose_pixel_format,
    set_pixel_format,
    wgl_create_context,
    wgl_make_current,
    swap_buffers,
    directdraw_create,
    directdraw_cooperative_level,
    directdraw_query_interface,
    directdraw_create_surface,
    escape,  // ExtEscape, whatever the escape
};
// Makes the nth call of that kind from now (1-based, on any thread) fail;
// 0 disarms the kind. Each kind holds one armed failure.
void inject_failure(Failing_Call call, int nth);
// True once the armed failure of that kind has happened.
bool injected_failure_happened(Failing_Call call);
// Disarms every kind.
void clear_injected_failures();

// ---- handles ----------------------------------------------------------------------

// Kernel handles (events, threads) that are open now: for leak checks.
long open_handle_count();

}  // namespace winx
