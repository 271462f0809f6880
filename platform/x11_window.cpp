// The host's windows: plain top-level X windows at the screen's origin,
// created, resized (the GL child follows), destroyed and counted here. What GL draws
// into them and how they are read back live elsewhere (wgl_*, x11_capture).
#include <mutex>

#include "platform/winx.h"
#include "platform/x11_display.h"
#include "platform/x11_surface.h"

namespace winx {
namespace {

// X sizes are 16-bit; anything larger is refused rather than wrapped.
constexpr int largest_extent = 32767;

bool valid_size(int width, int height) {
    return width >= 0 && height >= 0 && width <= largest_extent && height <= largest_extent;
}

// The window manager's close button sends this message instead of breaking
// the connection, once a window takes part in the protocol.
Atom delete_window_atom(Display* display) { return XInternAtom(display, "WM_DELETE_WINDOW", False); }

}  // namespace

HWND create_window(int width, int height, const char* title) {
    Display* display = x11::display();
    if (display == nullptr || !valid_size(width, height)) return nullptr;
    std::lock_guard<std::mutex> lock(x11::surfaces_mutex());
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    Window window = 0;
    {
        x11::Error_Trap trap(display);
        window = XCreateWindow(display, RootWindow(display, screen), 0, 0,
                               unsigned(x11::server_extent(width)), unsigned(x11::server_extent(height)),
                               0, CopyFromParent, InputOutput, CopyFromParent, CWBackPixel,
                               &attributes);
        if (title != nullptr) XStoreName(display, window, title);
        Atom close = delete_window_atom(display);
        XSetWMProtocols(display, window, &close, 1);
        XMapRaised(display, window);
        if (trap.failed()) return nullptr;
    }
    x11::add_surface(window, width, height);
    return x11::to_hwnd(window);
}

// The GL child takes the new size at once. Mesa's software rasteriser reads
// a drawable's size again at the first drawing after a SwapBuffers, so a
// frame already begun at the old size finishes at that size, and the next
// one has the new size (a host presents between frames, so this is the
// frame after a resize).
bool resize_window(HWND handle, int width, int height) {
    Display* display = x11::display();
    if (display == nullptr || !valid_size(width, height)) return false;
    std::lock_guard<std::mutex> lock(x11::surfaces_mutex());
    x11::Surface* surface = x11::find_host_window(display, handle);
    if (surface == nullptr) return false;
    const unsigned server_width = unsigned(x11::server_extent(width));
    const unsigned server_height = unsigned(x11::server_extent(height));
    x11::Error_Trap trap(display);
    XResizeWindow(display, surface->window, server_width, server_height);
    if (surface->gl_window != 0) XResizeWindow(display, surface->gl_window, server_width, server_height);
    if (trap.failed()) return false;
    surface->width = width;
    surface->height = height;
    return true;
}

void destroy_window(HWND handle) {
    Display* display = x11::display();
    if (display == nullptr) return;
    std::lock_guard<std::mutex> lock(x11::surfaces_mutex());
    x11::Surface* surface = x11::find_host_window(display, handle);
    if (surface == nullptr) return;
    x11::Error_Trap trap(display);
    XDestroyWindow(display, surface->window);
    if (surface->colormap != 0) XFreeColormap(display, surface->colormap);
    x11::remove_surface(surface->window);
}

bool window_size(HWND handle, int* width, int* height) {
    Display* display = x11::display();
    if (display == nullptr) return false;
    std::lock_guard<std::mutex> lock(x11::surfaces_mutex());
    const x11::Surface* surface = x11::find_surface(display, x11::to_window(handle));
    if (surface == nullptr) return false;
    if (width != nullptr) *width = surface->width;
    if (height != nullptr) *height = surface->height;
    return true;
}

namespace {

long windows_below(Display* display, Window parent) {
    Window root = 0, grandparent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, parent, &root, &grandparent, &children, &count) == 0) return 0;
    long total = count;
    for (unsigned int i = 0; i < count; ++i) total += windows_below(display, children[i]);
    if (children != nullptr) XFree(children);
    return total;
}

}  // namespace

long x_window_count() {
    Display* display = x11::display();
    if (display == nullptr) return -1;
    // A window that goes away while the tree is walked only makes one query fail.
    x11::Error_Trap trap(display);
    return windows_below(display, DefaultRootWindow(display));
}

bool window_close_requested(HWND handle) {
    Display* display = x11::display();
    if (display == nullptr) return false;
    std::lock_guard<std::mutex> lock(x11::surfaces_mutex());
    const Window window = x11::to_window(handle);
    const Atom close = delete_window_atom(display);
    XEvent event;
    bool requested = false;
    while (XCheckTypedWindowEvent(display, window, ClientMessage, &event))
        if (event.xclient.format == 32 && Atom(event.xclient.data.l[0]) == close) requested = true;
    return requested;
}

}  // namespace winx
