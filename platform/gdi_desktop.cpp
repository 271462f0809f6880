// The desktop and the GDI calls the driver makes on it: the desktop window is
// the default screen's root, a window's device context is the window itself
// (one per window, like a window class with its own DC, so ReleaseDC has
// nothing to free), and the device capabilities are the screen's.
#include <mutex>

#include "platform/windows.h"
#include "platform/injected_failures.h"
#include "platform/x11_display.h"
#include "platform/x11_surface.h"

HWND WINAPI GetDesktopWindow(void) {
    Display* display = winx::x11::display();
    if (display == nullptr) return nullptr;
    return winx::x11::to_hwnd(DefaultRootWindow(display));
}

HDC WINAPI GetDC(HWND window) {
    Display* display = winx::x11::display();
    if (display == nullptr || winx::fail_this_call(winx::Failing_Call::get_dc)) return nullptr;
    // As on Win32, no window means the whole screen.
    if (window == nullptr) window = GetDesktopWindow();
    std::lock_guard<std::mutex> lock(winx::x11::surfaces_mutex());
    const winx::x11::Surface* surface = winx::x11::find_surface(display, winx::x11::to_window(window));
    return surface != nullptr ? winx::x11::to_hdc(surface->window) : nullptr;
}

int WINAPI ReleaseDC(HWND window, HDC dc) {
    Display* display = winx::x11::display();
    if (display == nullptr || dc == nullptr) return 0;
    if (window == nullptr) window = GetDesktopWindow();
    std::lock_guard<std::mutex> lock(winx::x11::surfaces_mutex());
    const winx::x11::Surface* surface = winx::x11::find_surface(display, winx::x11::to_window(dc));
    return surface != nullptr && surface->window == winx::x11::to_window(window) ? 1 : 0;
}

int WINAPI GetDeviceCaps(HDC dc, int index) {
    Display* display = winx::x11::display();
    if (display == nullptr) return 0;
    {
        std::lock_guard<std::mutex> lock(winx::x11::surfaces_mutex());
        if (winx::x11::find_surface(display, winx::x11::to_window(dc)) == nullptr) return 0;
    }
    const int screen = DefaultScreen(display);
    switch (index) {
    case HORZRES: return DisplayWidth(display, screen);
    case VERTRES: return DisplayHeight(display, screen);
    case BITSPIXEL: return winx::x11::bits_per_pixel(display, DefaultDepth(display, screen));
    default: return 0;
    }
}
