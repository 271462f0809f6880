// What an HWND or HDC stands for: the desktop (the default screen's root
// window) or one of the host's top-level windows, with the pixel format set
// on it and the child window that carries its GL drawable. An HWND and its
// HDC are the same number, the X window's id. Private to platform/.
#pragma once

#include <cstdint>
#include <mutex>

#include <X11/Xlib.h>

#include "platform/windows.h"

namespace winx::x11 {

struct Surface {
    Window window = 0;       // the host's top-level window, or the root
    bool desktop = false;
    int width = 0;           // the client size as reported (0 allowed)
    int height = 0;
    int pixel_format = 0;    // 1-based; 0 until SetPixelFormat
    Window gl_window = 0;    // the child with the format's visual; 0 on the desktop
    Colormap colormap = 0;   // the child's own colormap
    bool listening = false;  // input and exposures are selected for take_window_input
};

inline HWND to_hwnd(Window window) { return reinterpret_cast<HWND>(uintptr_t(window)); }
inline HDC to_hdc(Window window) { return reinterpret_cast<HDC>(uintptr_t(window)); }
inline Window to_window(const void* handle) { return Window(reinterpret_cast<uintptr_t>(handle)); }

// Every Surface is read and changed under this lock. Taken before an
// Error_Trap, never inside one.
std::mutex& surfaces_mutex();

// The surface behind a handle, or null for an unknown one; the desktop's is
// made on first use. Call under surfaces_mutex().
Surface* find_surface(Display* display, Window window);

// The host's own window behind a handle: null for an unknown one and for the
// desktop, which no window operation changes. Call under surfaces_mutex().
inline Surface* find_host_window(Display* display, const void* handle) {
    Surface* surface = find_surface(display, to_window(handle));
    return surface != nullptr && !surface->desktop ? surface : nullptr;
}

// Records a new top-level window, or forgets one (under the lock).
Surface& add_surface(Window window, int width, int height);
void remove_surface(Window window);

// The size the server gives a window of a reported size: at least 1 x 1.
inline int server_extent(int extent) { return extent > 0 ? extent : 1; }

}  // namespace winx::x11
