// Mouse and key input and exposures on the host's windows, read from the X
// queue. The GL child window selects no input, so the server hands its input
// up to the host's window, where it is selected here; exposures are not
// handed up, so the child selects them itself.
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <mutex>

#include "platform/winx.h"
#include "platform/x11_display.h"
#include "platform/x11_surface.h"

namespace winx {
namespace {

constexpr long INPUT_EVENTS = ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;

int key_of(XKeyEvent* event) {
    KeySym symbol = NoSymbol;
    char text[8];
    const int length = XLookupString(event, text, sizeof text, &symbol, nullptr);
    if (symbol == XK_Escape) return 27;
    if (symbol >= XK_a && symbol <= XK_z) return int('a' + (symbol - XK_a));
    if (symbol >= XK_A && symbol <= XK_Z) return int('a' + (symbol - XK_A));
    return length == 1 && text[0] > 0x20 && text[0] < 0x7F ? text[0] : 0;
}

// Adds `events` to what this client selects on the window.
void select_more(Display* display, Window window, long events) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) != 0)
        XSelectInput(display, window, attributes.your_event_mask | events);
}

// The series of Expose events of one exposure counts down to 0: only its
// last is reported.
bool last_piece_of_exposure(const XEvent& event) { return event.type == Expose && event.xexpose.count == 0; }

}  // namespace

void listen_to_window_input(HWND handle) {
    Display* display = x11::display();
    if (display == nullptr) return;
    std::lock_guard<std::mutex> lock(x11::surfaces_mutex());
    x11::Surface* surface = x11::find_host_window(display, handle);
    if (surface == nullptr) return;
    x11::Error_Trap trap(display);
    surface->listening = true;
    select_more(display, surface->window, INPUT_EVENTS | ExposureMask);
    if (surface->gl_window != 0) select_more(display, surface->gl_window, ExposureMask);
    trap.failed();
}

std::vector<Window_Input> take_window_input(HWND handle) {
    std::vector<Window_Input> inputs;
    Display* display = x11::display();
    if (display == nullptr) return inputs;
    std::lock_guard<std::mutex> lock(x11::surfaces_mutex());
    const x11::Surface* surface = x11::find_host_window(display, handle);
    if (surface == nullptr) return inputs;
    XEvent event;
    while (surface->gl_window != 0 && XCheckWindowEvent(display, surface->gl_window, ExposureMask, &event))
        if (last_piece_of_exposure(event)) inputs.push_back({Window_Input::Kind::exposed});
    while (XCheckWindowEvent(display, surface->window, INPUT_EVENTS | ExposureMask, &event)) {
        Window_Input input;
        switch (event.type) {
        case ButtonPress:
        case ButtonRelease:
            input.kind = event.type == ButtonPress ? Window_Input::Kind::button_press
                                                   : Window_Input::Kind::button_release;
            input.x = event.xbutton.x;
            input.y = event.xbutton.y;
            input.button = int(event.xbutton.button);
            break;
        case MotionNotify:
            input.x = event.xmotion.x;
            input.y = event.xmotion.y;
            break;
        case KeyPress:
            input.kind = Window_Input::Kind::key_press;
            input.x = event.xkey.x;
            input.y = event.xkey.y;
            input.key = key_of(&event.xkey);
            input.control = (event.xkey.state & ControlMask) != 0;
            break;
        case Expose:
            if (!last_piece_of_exposure(event)) continue;
            input.kind = Window_Input::Kind::exposed;
            break;
        default: continue;
        }
        inputs.push_back(input);
    }
    return inputs;
}

}  // namespace winx
