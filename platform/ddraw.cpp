// DirectDraw on the virtual board, as far as the driver uses it: creating the
// object for the default display driver, the normal cooperative level, the
// DirectDraw 2 interface, and off-screen surfaces in video memory, allocated
// against the board profile's free video memory and given back by their last
// Release. The profile can make creation, the cooperative level or the
// DirectDraw 2 query fail. Surfaces are never locked, drawn or flipped here.
#include <atomic>
#include <mutex>

#include "platform/winx.h"
#include "platform/injected_failures.h"

const GUID IID_IDirectDraw2 = {0xB3A6F3E0, 0x2B43, 0x11CF, {0xA2, 0xDE, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};

namespace {

const GUID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const GUID IID_IDirectDraw = {0x6C14DB80, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
const GUID IID_IDirectDrawSurface = {0x6C14DB81, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};

std::atomic<long> live_objects{0};

// Video memory that live surfaces hold.
std::mutex video_memory_mutex;
uint64_t held_video_memory = 0;

// Takes bytes of the free video memory; false when there is not that much.
bool take_video_memory(uint64_t bytes) {
    const uint64_t free_memory = *winx::board_profile().free_video_memory;
    std::lock_guard<std::mutex> lock(video_memory_mutex);
    if (bytes > free_memory || held_video_memory > free_memory - bytes) return false;
    held_video_memory += bytes;
    return true;
}

void give_back_video_memory(uint64_t bytes) {
    std::lock_guard<std::mutex> lock(video_memory_mutex);
    held_video_memory -= bytes;
}

// Holds its video memory from creation to its last Release. It lives on
// after the DirectDraw object that made it is released.
class Board_Surface final : public IDirectDrawSurface {
public:
    explicit Board_Surface(uint64_t bytes) : bytes_(bytes) { ++live_objects; }

    HRESULT WINAPI QueryInterface(REFIID interface_id, void** object) override {
        if (object == nullptr) return E_INVALIDARG;
        *object = nullptr;
        if (interface_id != IID_IUnknown && interface_id != IID_IDirectDrawSurface) {
            return E_NOINTERFACE;
        }
        AddRef();
        *object = static_cast<IDirectDrawSurface*>(this);
        return S_OK;
    }
    ULONG WINAPI AddRef() override { return ++references_; }
    ULONG WINAPI Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

private:
    ~Board_Surface() {
        give_back_video_memory(bytes_);
        --live_objects;
    }

    const uint64_t bytes_;
    std::atomic<ULONG> references_{1};
};

// One object behind both interfaces, with one reference count, as COM
// objects are built.
class Board_DirectDraw final : public IDirectDraw, public IDirectDraw2 {
public:
    Board_DirectDraw() { ++live_objects; }

    HRESULT WINAPI QueryInterface(REFIID interface_id, void** object) override {
        if (object == nullptr) return E_INVALIDARG;
        *object = nullptr;
        if (interface_id == IID_IUnknown || interface_id == IID_IDirectDraw) {
            *object = static_cast<IDirectDraw*>(this);
        } else if (interface_id == IID_IDirectDraw2 &&
                   winx::board_profile().directdraw != winx::DirectDraw_Behaviour::query_fails &&
                   !winx::fail_this_call(winx::Failing_Call::directdraw_query_interface)) {
            *object = static_cast<IDirectDraw2*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG WINAPI AddRef() override { return ++references_; }
    ULONG WINAPI Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT WINAPI SetCooperativeLevel(HWND, DWORD flags) override {
        // Exclusive and full-screen modes are beyond this board.
        if (flags != DDSCL_NORMAL) return DDERR_INVALIDPARAMS;
        if (winx::board_profile().directdraw == winx::DirectDraw_Behaviour::cooperative_fails ||
            winx::fail_this_call(winx::Failing_Call::directdraw_cooperative_level)) {
            return DDERR_GENERIC;
        }
        cooperative_level_set_ = true;
        return DD_OK;
    }

    HRESULT WINAPI CreateSurface(LPDDSURFACEDESC description, IDirectDrawSurface** surface,
                                 IUnknown* outer) override {
        if (surface == nullptr) return DDERR_INVALIDPARAMS;
        *surface = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        if (!cooperative_level_set_) return DDERR_NOCOOPERATIVELEVELSET;
        if (winx::fail_this_call(winx::Failing_Call::directdraw_create_surface)) return DDERR_OUTOFVIDEOMEMORY;
        const DWORD needed_flags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
        if (description == nullptr || description->dwSize != sizeof(DDSURFACEDESC) ||
            (description->dwFlags & needed_flags) != needed_flags || description->dwWidth == 0 ||
            description->dwHeight == 0) {
            return DDERR_INVALIDPARAMS;
        }
        if (description->ddsCaps.dwCaps != (DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY)) {
            return DDERR_INVALIDCAPS;
        }
        winx::Screen_Info screen;
        if (!winx::screen_info(&screen) || screen.bits_per_pixel < 8) return DDERR_GENERIC;
        // More pixels than a 32-bit memory holds bytes never fit; below that
        // the byte count cannot overflow.
        const uint64_t pixels = uint64_t(description->dwWidth) * description->dwHeight;
        if (pixels > 0xFFFFFFFFull) return DDERR_OUTOFVIDEOMEMORY;
        const uint64_t bytes = pixels * uint64_t(screen.bits_per_pixel / 8);
        if (!take_video_memory(bytes)) return DDERR_OUTOFVIDEOMEMORY;
        *surface = new Board_Surface(bytes);
        return DD_OK;
    }

private:
    ~Board_DirectDraw() { --live_objects; }

    std::atomic<ULONG> references_{1};
    bool cooperative_level_set_ = false;
};

}  // namespace

HRESULT WINAPI DirectDrawCreate(GUID* driver, LPDIRECTDRAW* direct_draw, IUnknown* outer) {
    if (direct_draw == nullptr) return DDERR_INVALIDPARAMS;
    *direct_draw = nullptr;
    if (driver != nullptr) return DDERR_INVALIDDIRECTDRAWGUID;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if (winx::board_profile().directdraw == winx::DirectDraw_Behaviour::create_fails ||
        winx::fail_this_call(winx::Failing_Call::directdraw_create)) {
        return DDERR_NODIRECTDRAWHW;
    }
    *direct_draw = new Board_DirectDraw;
    return DD_OK;
}

uint32_t winx::board_free_video_memory_now() {
    const uint64_t free_memory = *board_profile().free_video_memory;
    std::lock_guard<std::mutex> lock(video_memory_mutex);
    return held_video_memory >= free_memory ? 0 : uint32_t(free_memory - held_video_memory);
}

long winx::directdraw_object_count() { return live_objects; }
