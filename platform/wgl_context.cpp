// WGL rendering contexts on GLX: legacy (compatibility) contexts for the
// pixel format of a device context, bound per thread, and SwapBuffers. A
// context bound to a thread is released when that thread ends, so that a
// finished render thread leaves none behind.
#include <mutex>
#include <set>
#include <thread>

#include "platform/board_memory.h"
#include "platform/injected_failures.h"
#include "platform/wgl_pixel_format.h"
#include "platform/wgl_rebind.h"
#include "platform/windows.h"
#include "platform/x11_display.h"
#include "platform/x11_surface.h"

struct HGLRC__ {
    Display* display = nullptr;
    GLXContext context = nullptr;
    int pixel_format = 0;
    std::thread::id bound_to;  // default (no thread) while unbound
};

namespace {

std::mutex& contexts_mutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

std::set<HGLRC>& live_contexts() {
    static auto* contexts = new std::set<HGLRC>;
    return *contexts;
}

bool is_live(HGLRC context) { return context != nullptr && live_contexts().count(context) != 0; }

// Unbinds the thread's context from GLX while its connection is still open.
void unbind(HGLRC context) {
    if (winx::x11::open_connection() == context->display) glXMakeCurrent(context->display, None, nullptr);
    context->bound_to = std::thread::id();
}

struct Thread_Binding {
    HGLRC context = nullptr;
    ~Thread_Binding() {
        std::lock_guard<std::mutex> lock(contexts_mutex());
        if (is_live(context)) unbind(context);
    }
};
thread_local Thread_Binding binding;

void release_current() {
    if (is_live(binding.context)) unbind(binding.context);
    binding.context = nullptr;
}

// The GL drawable behind a device context and its pixel format; 0 when it
// has none.
GLXDrawable drawable_of(Display* display, HDC dc, int* pixel_format) {
    std::lock_guard<std::mutex> lock(winx::x11::surfaces_mutex());
    const winx::x11::Surface* surface = winx::x11::find_surface(display, winx::x11::to_window(dc));
    if (surface == nullptr || surface->pixel_format == 0) return 0;
    *pixel_format = surface->pixel_format;
    return surface->desktop ? surface->window : surface->gl_window;
}

}  // namespace

HGLRC WINAPI wglCreateContext(HDC dc) {
    Display* display = winx::x11::display();
    if (display == nullptr || winx::fail_this_call(winx::Failing_Call::wgl_create_context)) return nullptr;
    int pixel_format = 0;
    if (drawable_of(display, dc, &pixel_format) == 0) {
        SetLastError(ERROR_INVALID_PIXEL_FORMAT);
        return nullptr;
    }
    const winx::wgl::Pixel_Format* format = winx::wgl::find_pixel_format(display, pixel_format);
    GLXContext context = nullptr;
    {
        winx::x11::Error_Trap trap(display);
        context = glXCreateNewContext(display, format->config, GLX_RGBA_TYPE, nullptr, True);
        if (trap.failed() && context != nullptr) {
            glXDestroyContext(display, context);
            context = nullptr;
        }
    }
    if (context == nullptr) {
        SetLastError(ERROR_INVALID_PIXEL_FORMAT);
        return nullptr;
    }
    HGLRC result = new HGLRC__;
    result->display = display;
    result->context = context;
    result->pixel_format = pixel_format;
    std::lock_guard<std::mutex> lock(contexts_mutex());
    live_contexts().insert(result);
    return result;
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    if (winx::fail_this_call(winx::Failing_Call::wgl_make_current)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(contexts_mutex());
    if (context == nullptr) {
        release_current();
        return TRUE;
    }
    // As on Win32, a failure leaves the thread with no current context.
    auto fail = [](DWORD error) {
        release_current();
        SetLastError(error);
        return FALSE;
    };
    if (!is_live(context)) return fail(ERROR_INVALID_HANDLE);
    if (context->bound_to != std::thread::id() && context->bound_to != std::this_thread::get_id())
        return fail(ERROR_BUSY);
    int pixel_format = 0;
    const GLXDrawable drawable = drawable_of(context->display, dc, &pixel_format);
    if (drawable == 0 || pixel_format != context->pixel_format) return fail(ERROR_INVALID_PIXEL_FORMAT);

    bool failed = false;
    {
        winx::x11::Error_Trap trap(context->display);
        failed = !glXMakeContextCurrent(context->display, drawable, drawable, context->context);
        failed = trap.failed() || failed;
    }
    if (failed) return fail(ERROR_INVALID_HANDLE);
    if (binding.context != context && is_live(binding.context)) binding.context->bound_to = std::thread::id();
    binding.context = context;
    context->bound_to = std::this_thread::get_id();
    return TRUE;
}

HGLRC WINAPI wglGetCurrentContext(void) { return binding.context; }

void winx::bind_current_context_again() {
    std::lock_guard<std::mutex> lock(contexts_mutex());
    const HGLRC context = binding.context;
    if (!is_live(context) || winx::x11::open_connection() != context->display) return;
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (drawable == 0) return;
    bool failed = false;
    {
        winx::x11::Error_Trap trap(context->display);
        glXMakeContextCurrent(context->display, None, None, nullptr);
        failed = !glXMakeContextCurrent(context->display, drawable, drawable, context->context);
        failed = trap.failed() || failed;
    }
    // As a failed wglMakeCurrent does, a failure leaves no current context.
    if (failed) release_current();
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    std::lock_guard<std::mutex> lock(contexts_mutex());
    if (!is_live(context)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // Deleting another thread's current context is an error on Win32; GLX
    // would defer it, but the other thread would keep a dangling handle.
    if (context->bound_to != std::thread::id() && context->bound_to != std::this_thread::get_id()) {
        SetLastError(ERROR_BUSY);
        return FALSE;
    }
    if (binding.context == context) release_current();
    if (winx::x11::open_connection() == context->display) glXDestroyContext(context->display, context->context);
    live_contexts().erase(context);
    winx::forget_board_memory(context);
    delete context;
    return TRUE;
}

BOOL WINAPI SwapBuffers(HDC dc) {
    Display* display = winx::x11::display();
    if (display == nullptr || winx::fail_this_call(winx::Failing_Call::swap_buffers)) return FALSE;
    int pixel_format = 0;
    const GLXDrawable drawable = drawable_of(display, dc, &pixel_format);
    if (drawable == 0) return FALSE;
    glXSwapBuffers(display, drawable);
    return TRUE;
}
