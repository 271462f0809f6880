// The free video memory test: whether DirectDraw can hand out screen-sized
// surfaces in video memory now. It shows no message and changes nothing of
// the renderer object; the board checks act on its outcome.
#include "driver/board_checks.h"

namespace {

// Creates one surface from the description and releases it again at once
// unless the caller keeps it (kept is then set).
bool create_surface(IDirectDraw* direct_draw, DDSURFACEDESC* description,
                    IDirectDrawSurface** kept) {
    IDirectDrawSurface* surface = nullptr;
    if (FAILED(direct_draw->CreateSurface(description, &surface, nullptr)) || surface == nullptr) {
        return false;
    }
    if (kept != nullptr) *kept = surface;
    else surface->Release();
    return true;
}

}  // namespace

Free_Video_Memory test_free_video_memory(HWND desktop, uint32_t width, uint32_t height,
                                         uint32_t bits_per_pixel) {
    IDirectDraw* direct_draw = nullptr;
    if (FAILED(DirectDrawCreate(nullptr, &direct_draw, nullptr)) || direct_draw == nullptr) {
        return Free_Video_Memory::no_directdraw;
    }
    if (FAILED(direct_draw->SetCooperativeLevel(desktop, DDSCL_NORMAL))) {
        direct_draw->Release();
        return Free_Video_Memory::no_directdraw;
    }
    IDirectDraw2* direct_draw_2 = nullptr;
    if (FAILED(direct_draw->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&direct_draw_2))) ||
        direct_draw_2 == nullptr) {
        direct_draw->Release();
        return Free_Video_Memory::no_directdraw;
    }

    DDSURFACEDESC description = {};
    description.dwSize = sizeof description;
    description.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    description.dwHeight = height;
    description.dwWidth = width;
    description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;

    // The first surface stays while the second is tried: both must fit at once.
    Free_Video_Memory outcome = Free_Video_Memory::enough;
    IDirectDrawSurface* first = nullptr;
    if (!create_surface(direct_draw, &description, &first)) {
        outcome = Free_Video_Memory::too_little;
    } else {
        if (bits_per_pixel != 32 && !create_surface(direct_draw, &description, nullptr)) {
            outcome = Free_Video_Memory::too_little;
        }
        first->Release();
    }

    direct_draw_2->Release();
    direct_draw->Release();
    return outcome;
}
