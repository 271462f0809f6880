// The free video memory test: whether DirectDraw can hand out screen-sized
// surfaces in video memory now. It shows no message and changes nothing of
// the renderer object; the board checks act on its outcome.
#include "driver/board_checks.h"

#include <memory>

namespace {

// Holds one DirectDraw interface and releases it when it goes, also when an
// exception passes through the test.
struct Release_Interface {
    template <class Interface>
    void operator()(Interface* held) const {
        held->Release();
    }
};
template <class Interface>
using Held = std::unique_ptr<Interface, Release_Interface>;

// Creates one surface from the description; held by the caller.
Held<IDirectDrawSurface> create_surface(IDirectDraw* direct_draw, DDSURFACEDESC* description) {
    IDirectDrawSurface* surface = nullptr;
    if (FAILED(direct_draw->CreateSurface(description, &surface, nullptr))) surface = nullptr;
    return Held<IDirectDrawSurface>(surface);
}

}  // namespace

Free_Video_Memory test_free_video_memory(HWND desktop, uint32_t width, uint32_t height,
                                         uint32_t bits_per_pixel) {
    // Declared in this order, the interfaces are released as the test ends:
    // the surfaces, then the DirectDraw 2 interface, then the first object.
    Held<IDirectDraw> direct_draw;
    {
        IDirectDraw* created = nullptr;
        if (FAILED(DirectDrawCreate(nullptr, &created, nullptr))) created = nullptr;
        direct_draw.reset(created);
    }
    if (!direct_draw) return Free_Video_Memory::no_directdraw;
    if (FAILED(direct_draw->SetCooperativeLevel(desktop, DDSCL_NORMAL)))
        return Free_Video_Memory::no_directdraw;
    Held<IDirectDraw2> direct_draw_2;
    {
        IDirectDraw2* queried = nullptr;
        if (FAILED(direct_draw->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&queried))))
            queried = nullptr;
        direct_draw_2.reset(queried);
    }
    if (!direct_draw_2) return Free_Video_Memory::no_directdraw;

    DDSURFACEDESC description = {};
    description.dwSize = sizeof description;
    description.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    description.dwHeight = height;
    description.dwWidth = width;
    description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;

    // The first surface stays while the second is tried: both must fit at once.
    const Held<IDirectDrawSurface> first = create_surface(direct_draw.get(), &description);
    if (!first) return Free_Video_Memory::too_little;
    if (bits_per_pixel != 32 && !create_surface(direct_draw.get(), &description))
        return Free_Video_Memory::too_little;
    return Free_Video_Memory::enough;
}
