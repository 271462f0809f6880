// The record of surfaces (the desktop and the host's windows) behind HWNDs
// and HDCs. Surfaces live in a map keyed by X window id, so that an unknown or
// stale handle is refused instead of followed.
#include "platform/x11_surface.h"

#include <map>

namespace winx::x11 {
namespace {

std::map<Window, Surface>& surfaces() {
    static auto* map = new std::map<Window, Surface>;  // outlives static destructors
    return *map;
}

}  // namespace

std::mutex& surfaces_mutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

Surface* find_surface(Display* display, Window window) {
    if (window == 0) return nullptr;
    auto found = surfaces().find(window);
    if (found != surfaces().end()) return &found->second;
    if (display == nullptr || window != DefaultRootWindow(display)) return nullptr;
    Surface& desktop = surfaces()[window];
    desktop.window = window;
    desktop.desktop = true;
    desktop.width = DisplayWidth(display, DefaultScreen(display));
    desktop.height = DisplayHeight(display, DefaultScreen(display));
    return &desktop;
}

Surface& add_surface(Window window, int width, int height) {
    Surface& surface = surfaces()[window];
    surface = Surface{};
    surface.window = window;
    surface.width = width;
    surface.height = height;
    return surface;
}

void remove_surface(Window window) { surfaces().erase(window); }

}  // namespace winx::x11
