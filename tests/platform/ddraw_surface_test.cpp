// DirectDraw on the virtual board: the failures a profile can ask for, one
// reference count per object behind both interfaces, and surfaces that take
// screen-sized video memory from the free memory until their last Release.
#include <gtest/gtest.h>

#include "platform/windows.h"
#include "platform/winx.h"
#include "tests/support/screen_depth.h"

namespace {

class DirectDraw_Board : public testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(winx::directdraw_object_count(), 0) << "every object and surface released";
        winx::reset_board_profile();
    }
    void set_profile(const char* words) {
        winx::Board_Profile profile;
        ASSERT_TRUE(winx::parse_board_profile(words, &profile, nullptr));
        winx::set_board_profile(profile);
    }
    // A DirectDraw object at the normal cooperative level.
    IDirectDraw* open() {
        IDirectDraw* direct_draw = nullptr;
        EXPECT_EQ(DirectDrawCreate(nullptr, &direct_draw, nullptr), DD_OK);
        if (direct_draw != nullptr) {
            EXPECT_EQ(direct_draw->SetCooperativeLevel(GetDesktopWindow(), DDSCL_NORMAL), DD_OK);
        }
        return direct_draw;
    }
};

class Screen16_DirectDraw_Board : public DirectDraw_Board {};

DDSURFACEDESC off_screen(DWORD width, DWORD height) {
    DDSURFACEDESC description = {};
    description.dwSize = sizeof description;
    description.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    description.dwWidth = width;
    description.dwHeight = height;
    description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;
    return description;
}

TEST_F(DirectDraw_Board, ProfileMakesEachStepFail) {
    set_profile("directdraw=create_fails");
    IDirectDraw* direct_draw = reinterpret_cast<IDirectDraw*>(uintptr_t(1));
    EXPECT_TRUE(FAILED(DirectDrawCreate(nullptr, &direct_draw, nullptr)));
    EXPECT_EQ(direct_draw, nullptr);

    set_profile("directdraw=cooperative_fails");
    ASSERT_EQ(DirectDrawCreate(nullptr, &direct_draw, nullptr), DD_OK);
    EXPECT_TRUE(FAILED(direct_draw->SetCooperativeLevel(GetDesktopWindow(), DDSCL_NORMAL)));
    EXPECT_EQ(direct_draw->Release(), 0u);

    set_profile("directdraw=query_fails");
    direct_draw = open();
    IDirectDraw2* direct_draw_2 = reinterpret_cast<IDirectDraw2*>(uintptr_t(1));
    EXPECT_EQ(direct_draw->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&direct_draw_2)),
              E_NOINTERFACE);
    EXPECT_EQ(direct_draw_2, nullptr);
    EXPECT_EQ(direct_draw->Release(), 0u);
}

TEST_F(DirectDraw_Board, BothInterfacesShareOneCount) {
    IDirectDraw* direct_draw = open();
    ASSERT_NE(direct_draw, nullptr);
    IDirectDraw2* direct_draw_2 = nullptr;
    ASSERT_EQ(direct_draw->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&direct_draw_2)),
              DD_OK);
    ASSERT_NE(direct_draw_2, nullptr);
    EXPECT_EQ(direct_draw->AddRef(), 3u);
    EXPECT_EQ(direct_draw->Release(), 2u);
    // The first interface goes first; the object lives on through the second.
    EXPECT_EQ(direct_draw->Release(), 1u);
    EXPECT_EQ(winx::directdraw_object_count(), 1);
    DDSURFACEDESC description = off_screen(4, 4);
    IDirectDrawSurface* surface = nullptr;
    EXPECT_EQ(direct_draw_2->CreateSurface(&description, &surface, nullptr), DD_OK);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->Release(), 0u);
    EXPECT_EQ(direct_draw_2->Release(), 0u);
}

TEST_F(DirectDraw_Board, SurfacesTakeFreeVideoMemoryUntilReleased) {
    winx::Screen_Info screen;
    ASSERT_TRUE(winx::screen_info(&screen));
    ASSERT_EQ(screen.bits_per_pixel, 32);
    const uint32_t surface_bytes = 100 * 50 * 4;
    winx::Board_Profile profile;
    profile.free_video_memory = 3 * surface_bytes + surface_bytes / 2;
    winx::set_board_profile(profile);

    IDirectDraw* direct_draw = open();
    ASSERT_NE(direct_draw, nullptr);
    DDSURFACEDESC description = off_screen(100, 50);
    IDirectDrawSurface* surfaces[3] = {};
    for (IDirectDrawSurface*& surface : surfaces)
        ASSERT_EQ(direct_draw->CreateSurface(&description, &surface, nullptr), DD_OK);
    EXPECT_EQ(winx::board_free_video_memory_now(), surface_bytes / 2);

    IDirectDrawSurface* fourth = reinterpret_cast<IDirectDrawSurface*>(uintptr_t(1));
    EXPECT_EQ(direct_draw->CreateSurface(&description, &fourth, nullptr), DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(fourth, nullptr);

    // A surface held twice gives its memory back at its last Release only,
    // and outlives the object that made it.
    EXPECT_EQ(surfaces[1]->AddRef(), 2u);
    EXPECT_EQ(surfaces[1]->Release(), 1u);
    EXPECT_EQ(direct_draw->Release(), 0u);
    EXPECT_EQ(winx::board_free_video_memory_now(), surface_bytes / 2);
    EXPECT_EQ(surfaces[1]->Release(), 0u);
    EXPECT_EQ(winx::board_free_video_memory_now(), surface_bytes + surface_bytes / 2);

    surfaces[0]->Release();
    surfaces[2]->Release();
    EXPECT_EQ(winx::board_free_video_memory_now(), *profile.free_video_memory);
}

TEST_F(Screen16_DirectDraw_Board, SixteenBitScreenSurfacesTakeTwoBytesAPixel) {
    SKIP_UNLESS_SCREEN_DEPTH(16);
    winx::Board_Profile profile;
    profile.free_video_memory = 2 * 640 * 480 * 2;
    winx::set_board_profile(profile);
    IDirectDraw* direct_draw = open();
    ASSERT_NE(direct_draw, nullptr);
    DDSURFACEDESC description = off_screen(640, 480);
    IDirectDrawSurface* back = nullptr;
    IDirectDrawSurface* depth = nullptr;
    IDirectDrawSurface* third = nullptr;
    ASSERT_EQ(direct_draw->CreateSurface(&description, &back, nullptr), DD_OK);
    ASSERT_EQ(direct_draw->CreateSurface(&description, &depth, nullptr), DD_OK);
    EXPECT_EQ(winx::board_free_video_memory_now(), 0u);
    EXPECT_EQ(direct_draw->CreateSurface(&description, &third, nullptr), DDERR_OUTOFVIDEOMEMORY);
    back->Release();
    depth->Release();
    direct_draw->Release();
}

TEST_F(DirectDraw_Board, MalformedRequestsAreRefusedWithoutASurface) {
    IDirectDraw* direct_draw = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &direct_draw, nullptr), DD_OK);
    DDSURFACEDESC description = off_screen(16, 16);
    IDirectDrawSurface* surface = nullptr;
    EXPECT_EQ(direct_draw->CreateSurface(&description, &surface, nullptr),
              DDERR_NOCOOPERATIVELEVELSET);
    EXPECT_EQ(direct_draw->SetCooperativeLevel(nullptr, 0x11), DDERR_INVALIDPARAMS);
    ASSERT_EQ(direct_draw->SetCooperativeLevel(GetDesktopWindow(), DDSCL_NORMAL), DD_OK);

    DDSURFACEDESC wrong_size = description;
    wrong_size.dwSize = 100;
    DDSURFACEDESC no_width = description;
    no_width.dwFlags = DDSD_CAPS | DDSD_HEIGHT;
    DDSURFACEDESC empty = off_screen(0, 16);
    DDSURFACEDESC system_memory = description;
    system_memory.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    EXPECT_EQ(direct_draw->CreateSurface(&wrong_size, &surface, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(direct_draw->CreateSurface(&no_width, &surface, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(direct_draw->CreateSurface(&empty, &surface, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(direct_draw->CreateSurface(nullptr, &surface, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(direct_draw->CreateSurface(&system_memory, &surface, nullptr), DDERR_INVALIDCAPS);
    EXPECT_EQ(direct_draw->CreateSurface(&description, nullptr, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(direct_draw->CreateSurface(&description, &surface, direct_draw),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(surface, nullptr);

    // The largest surface a description can ask for is refused, not wrapped.
    DDSURFACEDESC huge = off_screen(0xFFFFFFFFu, 0xFFFFFFFFu);
    EXPECT_EQ(direct_draw->CreateSurface(&huge, &surface, nullptr), DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(winx::directdraw_object_count(), 1);
    direct_draw->Release();

    GUID other = IID_IDirectDraw2;
    EXPECT_EQ(DirectDrawCreate(&other, &direct_draw, nullptr), DDERR_INVALIDDIRECTDRAWGUID);
    EXPECT_EQ(DirectDrawCreate(nullptr, nullptr, nullptr), DDERR_INVALIDPARAMS);
}

}  // namespace
