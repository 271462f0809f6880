// WGL's pixel formats on GLX: the table of formats, and DescribePixelFormat,
// ChoosePixelFormat and SetPixelFormat over it. Setting a format on a window
// gives it a child X window with the format's visual (and its own colormap),
// which is the GL drawable; on the desktop it only records the format.
#include "platform/wgl_pixel_format.h"
#include "platform/injected_failures.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "platform/winx.h"
#include "platform/x11_display.h"
#include "platform/x11_surface.h"

namespace winx::wgl {
namespace {

std::atomic<int> described_color_bits{0};

int attribute(Display* display, GLXFBConfig config, int name) {
    int value = 0;
    glXGetFBConfigAttrib(display, config, name, &value);
    return value;
}

bool window_capable_rgba(Display* display, GLXFBConfig config) {
    return (attribute(display, config, GLX_DRAWABLE_TYPE) & GLX_WINDOW_BIT) != 0 &&
           (attribute(display, config, GLX_RENDER_TYPE) & GLX_RGBA_BIT) != 0 &&
           attribute(display, config, GLX_X_RENDERABLE) != 0 &&
           attribute(display, config, GLX_VISUAL_ID) != 0;
}

Pixel_Format describe_config(Display* display, GLXFBConfig config, const XVisualInfo& visual) {
    Pixel_Format format;
    format.config = config;
    format.visual = visual;
    format.bits_per_pixel = x11::bits_per_pixel(display, visual.depth);
    format.double_buffer = attribute(display, config, GLX_DOUBLEBUFFER) != 0;
    format.stereo = attribute(display, config, GLX_STEREO) != 0;
    format.red_bits = attribute(display, config, GLX_RED_SIZE);
    format.green_bits = attribute(display, config, GLX_GREEN_SIZE);
    format.blue_bits = attribute(display, config, GLX_BLUE_SIZE);
    format.alpha_bits = attribute(display, config, GLX_ALPHA_SIZE);
    format.accum_red_bits = attribute(display, config, GLX_ACCUM_RED_SIZE);
    format.accum_green_bits = attribute(display, config, GLX_ACCUM_GREEN_SIZE);
    format.accum_blue_bits = attribute(display, config, GLX_ACCUM_BLUE_SIZE);
    format.accum_alpha_bits = attribute(display, config, GLX_ACCUM_ALPHA_SIZE);
    format.depth_bits = attribute(display, config, GLX_DEPTH_SIZE);
    format.stencil_bits = attribute(display, config, GLX_STENCIL_SIZE);
    format.aux_buffers = attribute(display, config, GLX_AUX_BUFFERS);
    return format;
}

std::vector<Pixel_Format> build_table(Display* display) {
    const int screen = DefaultScreen(display);
    const int screen_depth = DefaultDepth(display, screen);
    std::vector<Pixel_Format> at_screen_depth, others;
    int count = 0;
    GLXFBConfig* configs = glXGetFBConfigs(display, screen, &count);
    for (int i = 0; i < count; ++i) {
        if (!window_capable_rgba(display, configs[i])) continue;
        XVisualInfo* visual = glXGetVisualFromFBConfig(display, configs[i]);
        if (visual == nullptr) continue;
        Pixel_Format format = describe_config(display, configs[i], *visual);
        XFree(visual);
        (format.visual.depth == screen_depth ? at_screen_depth : others).push_back(format);
    }
    if (configs != nullptr) XFree(configs);
    at_screen_depth.insert(at_screen_depth.end(), others.begin(), others.end());
    return at_screen_depth;
}

int lowest_bit(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1u) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// How far a format is from the request; smaller is closer. Double buffering
// and the least depth asked for come first, then the colour bits, then alpha
// planes where none are asked for (a window with them would keep the alpha
// of every colour drawn, and reads would hand it back), then the least waste
// of depth and stencil.
long distance(const Pixel_Format& format, const PIXELFORMATDESCRIPTOR& wanted) {
    const bool double_wanted = (wanted.dwFlags & PFD_DOUBLEBUFFER) != 0;
    long score = 0;
    if (format.double_buffer != double_wanted) score += 1L << 40;
    if (format.depth_bits < wanted.cDepthBits) score += 1L << 32;
    score += long(std::abs(format.bits_per_pixel - int(wanted.cColorBits))) << 24;
    if ((format.alpha_bits > 0) != (wanted.cAlphaBits > 0)) score += 1L << 16;
    score += long(std::abs(format.depth_bits - int(wanted.cDepthBits))) << 8;
    score += long(std::abs(format.stencil_bits - int(wanted.cStencilBits)));
    return score;
}

// The child window that carries the GL drawable, at the parent's size.
bool create_gl_window(Display* display, x11::Surface& surface, const Pixel_Format& format) {
    x11::Error_Trap trap(display);
    Colormap colormap = XCreateColormap(display, surface.window, format.visual.visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = colormap;
    attributes.border_pixel = 0;
    // The child covers its parent whole, so the window's exposures happen
    // to the child; input still goes up to the parent.
    attributes.event_mask = surface.listening ? ExposureMask : NoEventMask;
    Window child = XCreateWindow(display, surface.window, 0, 0, unsigned(x11::server_extent(surface.width)),
                                 unsigned(x11::server_extent(surface.height)), 0, format.visual.depth,
                                 InputOutput, format.visual.visual, CWColormap | CWBorderPixel | CWEventMask,
                                 &attributes);
    XMapWindow(display, child);
    if (trap.failed()) {
        XDestroyWindow(display, child);
        XFreeColormap(display, colormap);
        return false;
    }
    surface.gl_window = child;
    surface.colormap = colormap;
    return true;
}

}  // namespace

const std::vector<Pixel_Format>& pixel_formats(Display* display) {
    static std::once_flag built;
    static std::vector<Pixel_Format>* table = nullptr;
    std::call_once(built, [display] { table = new std::vector<Pixel_Format>(build_table(display)); });
    return *table;
}

const Pixel_Format* find_pixel_format(Display* display, int index) {
    const std::vector<Pixel_Format>& table = pixel_formats(display);
    if (index < 1 || size_t(index) > table.size()) return nullptr;
    return &table[size_t(index) - 1];
}

}  // namespace winx::wgl

namespace winx {
void set_described_color_bits(int bits) { wgl::described_color_bits.store(bits); }
}  // namespace winx

namespace {

// The display, when the device context is one we know.
Display* display_of(HDC dc) {
    Display* display = winx::x11::display();
    if (display == nullptr) return nullptr;
    std::lock_guard<std::mutex> lock(winx::x11::surfaces_mutex());
    return winx::x11::find_surface(display, winx::x11::to_window(dc)) != nullptr ? display : nullptr;
}

}  // namespace

int WINAPI DescribePixelFormat(HDC dc, int index, UINT size, LPPIXELFORMATDESCRIPTOR description) {
    using namespace winx::wgl;
    Display* display = display_of(dc);
    if (display == nullptr) return 0;
    const Pixel_Format* format = find_pixel_format(display, index);
    if (format == nullptr) return 0;
    const int count = int(pixel_formats(display).size());
    if (description == nullptr) return count;
    if (size < sizeof(PIXELFORMATDESCRIPTOR)) return 0;

    PIXELFORMATDESCRIPTOR out{};
    out.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    out.nVersion = 1;
    out.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (format->double_buffer) out.dwFlags |= PFD_DOUBLEBUFFER;
    if (format->stereo) out.dwFlags |= PFD_STEREO;
    out.iPixelType = PFD_TYPE_RGBA;
    const int forced_bits = described_color_bits.load();
    out.cColorBits = BYTE(forced_bits != 0 ? forced_bits : format->bits_per_pixel);
    out.cRedBits = BYTE(format->red_bits);
    out.cRedShift = BYTE(lowest_bit(format->visual.red_mask));
    out.cGreenBits = BYTE(format->green_bits);
    out.cGreenShift = BYTE(lowest_bit(format->visual.green_mask));
    out.cBlueBits = BYTE(format->blue_bits);
    out.cBlueShift = BYTE(lowest_bit(format->visual.blue_mask));
    out.cAlphaBits = BYTE(format->alpha_bits);
    out.cAccumRedBits = BYTE(format->accum_red_bits);
    out.cAccumGreenBits = BYTE(format->accum_green_bits);
    out.cAccumBlueBits = BYTE(format->accum_blue_bits);
    out.cAccumAlphaBits = BYTE(format->accum_alpha_bits);
    out.cAccumBits = BYTE(format->accum_red_bits + format->accum_green_bits + format->accum_blue_bits +
                          format->accum_alpha_bits);
    out.cDepthBits = BYTE(format->depth_bits);
    out.cStencilBits = BYTE(format->stencil_bits);
    out.cAuxBuffers = BYTE(format->aux_buffers);
    out.iLayerType = PFD_MAIN_PLANE;
    *description = out;
    return count;
}

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* wanted) {
    using namespace winx::wgl;
    Display* display = display_of(dc);
    if (display == nullptr || wanted == nullptr || wanted->iPixelType != PFD_TYPE_RGBA ||
        winx::fail_this_call(winx::Failing_Call::choose_pixel_format)) {
        return 0;
    }
    const std::vector<Pixel_Format>& table = pixel_formats(display);
    int best = 0;
    long best_distance = 0;
    for (size_t i = 0; i < table.size(); ++i) {
        const long d = distance(table[i], *wanted);
        if (best == 0 || d < best_distance) {
            best = int(i) + 1;
            best_distance = d;
        }
    }
    return best;
}

BOOL WINAPI SetPixelFormat(HDC dc, int index, const PIXELFORMATDESCRIPTOR*) {
    using namespace winx;
    Display* display = x11::display();
    if (display == nullptr) return FALSE;
    if (fail_this_call(Failing_Call::set_pixel_format)) {
        SetLastError(ERROR_INVALID_PIXEL_FORMAT);
        return FALSE;
    }
    const wgl::Pixel_Format* format = wgl::find_pixel_format(display, index);
    std::lock_guard<std::mutex> lock(x11::surfaces_mutex());
    x11::Surface* surface = x11::find_surface(display, x11::to_window(dc));
    if (surface == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (format == nullptr) {
        SetLastError(ERROR_INVALID_PIXEL_FORMAT);
        return FALSE;
    }
    // The desktop only records the format: every renderer object's
    // construction sets the one it needs there, double-buffered or not.
    if (surface->desktop) {
        surface->pixel_format = index;
        return TRUE;
    }
    // A window's format is fixed once set, as on Win32.
    if (surface->pixel_format != 0 && surface->pixel_format != index) {
        SetLastError(ERROR_INVALID_PIXEL_FORMAT);
        return FALSE;
    }
    if (surface->pixel_format == index) return TRUE;
    if (!wgl::create_gl_window(display, *surface, *format)) {
        SetLastError(ERROR_INVALID_PIXEL_FORMAT);
        return FALSE;
    }
    surface->pixel_format = index;
    return TRUE;
}
