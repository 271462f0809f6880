// Snapshots of the host's windows: what the server shows of a window, read
// with XGetImage and turned into 0x00RRGGBB pixels, top row first. When GL
// draws into the window, its child window is read, because its visual may
// differ from the parent's (the parent's image is then undefined there).
#include <map>
#include <mutex>

#include <X11/Xutil.h>

#include "platform/winx.h"
#include "platform/x11_display.h"
#include "platform/x11_surface.h"

namespace winx {
namespace {

// A colour channel of a pixel scaled to 8 bits.
uint32_t channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1u) == 0) ++shift;
    const unsigned long largest = mask >> shift;
    const unsigned long value = (pixel & mask) >> shift;
    return uint32_t((value * 255 + largest / 2) / largest);
}

// Turns pixel values into colours: by the masks of a true-colour visual, or
// through the window's colormap otherwise.
class Pixel_Decoder {
public:
    Pixel_Decoder(Display* display, const XWindowAttributes& attributes)
        : display_(display), visual_(attributes.visual), colormap_(attributes.colormap) {}

    uint32_t decode(unsigned long pixel) {
        if (visual_->c_class == TrueColor || visual_->c_class == DirectColor)
            return channel(pixel, visual_->red_mask) << 16 | channel(pixel, visual_->green_mask) << 8 |
                   channel(pixel, visual_->blue_mask);
        auto known = colormap_entries_.find(pixel);
        if (known != colormap_entries_.end()) return known->second;
        XColor colour{};
        colour.pixel = pixel;
        XQueryColor(display_, colormap_, &colour);
        const uint32_t rgb = uint32_t(colour.red >> 8) << 16 | uint32_t(colour.green >> 8) << 8 |
                             uint32_t(colour.blue >> 8);
        colormap_entries_[pixel] = rgb;
        return rgb;
    }

private:
    Display* display_;
    Visual* visual_;
    Colormap colormap_;
    std::map<unsigned long, uint32_t> colormap_entries_;
};

}  // namespace

bool capture_window(HWND handle, Window_Snapshot* snapshot) {
    Display* display = x11::display();
    if (display == nullptr || snapshot == nullptr) return false;
    std::lock_guard<std::mutex> lock(x11::surfaces_mutex());
    const x11::Surface* surface = x11::find_surface(display, x11::to_window(handle));
    if (surface == nullptr) return false;
    snapshot->width = surface->width;
    snapshot->height = surface->height;
    snapshot->pixels.assign(size_t(surface->width) * size_t(surface->height), 0);
    if (surface->width == 0 || surface->height == 0) return true;

    const Window source = surface->gl_window != 0 ? surface->gl_window : surface->window;
    x11::Error_Trap trap(display);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, source, &attributes)) return false;
    // A window partly off the screen cannot be read; neither can one that
    // is not mapped.
    XImage* image = XGetImage(display, source, 0, 0, unsigned(surface->width), unsigned(surface->height),
                              AllPlanes, ZPixmap);
    if (image == nullptr || trap.failed()) {
        if (image != nullptr) XDestroyImage(image);
        return false;
    }
    Pixel_Decoder decoder(display, attributes);
    for (int y = 0; y < surface->height; ++y)
        for (int x = 0; x < surface->width; ++x)
            snapshot->pixels[size_t(y) * size_t(surface->width) + size_t(x)] =
                decoder.decode(XGetPixel(image, x, y));
    XDestroyImage(image);
    return true;
}

}  // namespace winx
