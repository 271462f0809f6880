// The process's X connection: opened lazily once (after XInitThreads, since
// the host's thread and every render thread use Xlib), the screen's figures,
// and the error trap. Starting a private server lives in xvfb_server.cpp.
#include "platform/x11_display.h"

#include <atomic>
#include <mutex>

#include "platform/winx.h"

namespace winx::x11 {
namespace {

std::mutex connection_mutex;
Display* connection = nullptr;

// The trap: one at a time; the handler only records. Errors outside a trap
// are dropped, because Xlib's default handler would end the process for
// an error of one request (a window destroyed under a context, say).
std::mutex trap_mutex;
std::atomic<int> trapped_error{0};

int record_error(Display*, XErrorEvent* event) {
    trapped_error.store(event->error_code);
    return 0;
}

}  // namespace

Display* display() {
    std::lock_guard<std::mutex> lock(connection_mutex);
    if (connection == nullptr) {
        static const Status threads_ready = XInitThreads();
        (void)threads_ready;
        connection = XOpenDisplay(nullptr);
        if (connection != nullptr) {
            XSetErrorHandler(record_error);
            keep_gl_modules_mapped_at_exit();
        }
    }
    return connection;
}

Display* open_connection() {
    std::lock_guard<std::mutex> lock(connection_mutex);
    return connection;
}

Error_Trap::Error_Trap(Display* display) : display_(display) {
    trap_mutex.lock();
    XSync(display_, False);
    trapped_error.store(0);
}

Error_Trap::~Error_Trap() {
    XSync(display_, False);
    trapped_error.store(0);
    trap_mutex.unlock();
}

bool Error_Trap::failed() {
    XSync(display_, False);
    return trapped_error.load() != 0;
}

int bits_per_pixel(Display* display, int depth) {
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    int bits = 0;
    for (int i = 0; i < count; ++i)
        if (formats[i].depth == depth) bits = formats[i].bits_per_pixel;
    if (formats != nullptr) XFree(formats);
    return bits;
}

// Closes the connection; the private server's stop calls it before the
// server goes away, so that nothing is left talking to a dead server.
void close_display() {
    std::lock_guard<std::mutex> lock(connection_mutex);
    if (connection == nullptr) return;
    // Closing the connection unloads the OpenGL driver.
    keep_gl_modules_mapped();
    XCloseDisplay(connection);
    connection = nullptr;
}

}  // namespace winx::x11

namespace winx {

bool open_display() { return x11::display() != nullptr; }

bool screen_info(Screen_Info* info) {
    Display* display = x11::display();
    if (display == nullptr || info == nullptr) return false;
    const int screen = DefaultScreen(display);
    info->width = DisplayWidth(display, screen);
    info->height = DisplayHeight(display, screen);
    info->depth = DefaultDepth(display, screen);
    info->bits_per_pixel = x11::bits_per_pixel(display, info->depth);
    return true;
}

}  // namespace winx
