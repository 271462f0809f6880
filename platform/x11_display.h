// The process's one X connection, as the rest of platform/ uses it: the
// connection itself, a trap that turns X protocol errors of a few requests
// into a result instead of ending the process, and the depth-to-storage rule.
// Private to platform/: nothing outside this folder includes it.
#pragma once

#include <X11/Xlib.h>

namespace winx::x11 {

// The connection, opened on first use (XInitThreads first); null when there
// is no display to open.
Display* display();
// The connection when it is open, without opening one.
Display* open_connection();

// Closes the connection when it is open (before its server goes away);
// display() opens a new one on its next call.
void close_display();
// Keeps every module loaded now (the OpenGL stack's among them) mapped until
// the process ends; cheap for modules already kept.
void keep_gl_modules_mapped();
// Does the same at exit, before the library destructors unload any.
void keep_gl_modules_mapped_at_exit();

// Catches the X errors raised by the requests made while it lives: they are
// recorded rather than reported. Trapped blocks run one at a time, because
// the error handler is process-wide.
class Error_Trap {
public:
    explicit Error_Trap(Display* display);
    ~Error_Trap();
    Error_Trap(const Error_Trap&) = delete;
    Error_Trap& operator=(const Error_Trap&) = delete;

    // Waits for the server to process every request so far; true when one of
    // them failed since the trap was set.
    bool failed();

private:
    Display* display_;
};

// Bits that X stores per pixel for a depth on this connection (32 for 24,
// 16 for 16, 8 for 8); 0 for a depth the server does not offer.
int bits_per_pixel(Display* display, int depth);

}  // namespace winx::x11
