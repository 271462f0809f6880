// The desktop, the host's windows and their snapshots: sizes as reported
// (zero included), the GL child following a resize, handles that are no
// longer valid, and exposures.
#include <chrono>
#include <string>
#include <thread>

#include "tests/platform/gl_window.h"

using platform_test::Gl_Window;
using platform_test::near_colour;

TEST(Screen24_Desktop, DeviceCapsDescribeTheScreen) {
    winx::Screen_Info screen;
    ASSERT_TRUE(winx::screen_info(&screen));
    EXPECT_EQ(screen.depth, 24);
    EXPECT_EQ(screen.bits_per_pixel, 32);
    HDC desktop = GetDC(GetDesktopWindow());
    ASSERT_NE(desktop, nullptr);
    EXPECT_EQ(GetDC(nullptr), desktop);
    EXPECT_EQ(GetDeviceCaps(desktop, HORZRES), screen.width);
    EXPECT_EQ(GetDeviceCaps(desktop, VERTRES), screen.height);
    EXPECT_EQ(GetDeviceCaps(desktop, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(nullptr, BITSPIXEL), 0);
}

TEST(Screen16_Desktop, DeviceCapsGiveSixteenBitsPerPixel) {
    SKIP_UNLESS_SCREEN_DEPTH(16);
    EXPECT_EQ(GetDeviceCaps(GetDC(GetDesktopWindow()), BITSPIXEL), 16);
}

TEST(Window, SizesAreReportedAsAskedZeroIncluded) {
    HWND window = winx::create_window(0, 0, "empty");
    ASSERT_NE(window, nullptr);
    int width = -1, height = -1;
    ASSERT_TRUE(winx::window_size(window, &width, &height));
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    winx::Window_Snapshot snapshot;
    ASSERT_TRUE(winx::capture_window(window, &snapshot));
    EXPECT_EQ(snapshot.width, 0);
    EXPECT_TRUE(snapshot.pixels.empty());

    ASSERT_TRUE(winx::resize_window(window, 40, 0));
    ASSERT_TRUE(winx::window_size(window, &width, &height));
    EXPECT_EQ(width, 40);
    EXPECT_EQ(height, 0);
    EXPECT_FALSE(winx::resize_window(window, -1, 10));
    EXPECT_FALSE(winx::resize_window(window, 10, 1 << 20));
    winx::destroy_window(window);

    EXPECT_EQ(winx::create_window(-5, 10, "negative"), nullptr);
}

TEST(Window, DestroyedWindowsAreRefused) {
    HWND window = winx::create_window(8, 8, "gone");
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDC(window), dc);
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    winx::destroy_window(window);
    EXPECT_EQ(GetDC(window), nullptr);
    EXPECT_FALSE(winx::window_size(window, nullptr, nullptr));
    EXPECT_FALSE(winx::resize_window(window, 4, 4));
    winx::Window_Snapshot snapshot;
    EXPECT_FALSE(winx::capture_window(window, &snapshot));
    EXPECT_EQ(ReleaseDC(window, dc), 0);
    winx::destroy_window(window);  // a second time does nothing
}

TEST(Window, CaptureShowsAWindowWithoutGlAsBlack) {
    HWND window = winx::create_window(20, 10, "plain");
    winx::Window_Snapshot snapshot;
    ASSERT_TRUE(winx::capture_window(window, &snapshot));
    ASSERT_EQ(snapshot.pixels.size(), 200u);
    for (uint32_t pixel : snapshot.pixels) ASSERT_EQ(pixel, 0u);
    winx::destroy_window(window);
}

TEST(Screen24_Window, TheGlChildFollowsAResize) {
    Gl_Window gl;
    ASSERT_TRUE(gl.open(32, 24));
    // A frame shown at the first size, as the host does before it resizes.
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_TRUE(SwapBuffers(gl.dc));
    ASSERT_TRUE(winx::resize_window(gl.window, 120, 90));
    int width = 0, height = 0;
    ASSERT_TRUE(winx::window_size(gl.window, &width, &height));
    EXPECT_EQ(width, 120);
    EXPECT_EQ(height, 90);

    glViewport(0, 0, 120, 90);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_TRUE(SwapBuffers(gl.dc));
    glFinish();
    winx::Window_Snapshot snapshot;
    ASSERT_TRUE(winx::capture_window(gl.window, &snapshot));
    ASSERT_EQ(snapshot.width, 120);
    ASSERT_EQ(snapshot.height, 90);
    // The far corner lies outside the first size: blue there means the GL
    // drawable grew with the window.
    EXPECT_TRUE(near_colour(snapshot.at(119, 89), 0x0000FF)) << std::hex << snapshot.at(119, 89);
    EXPECT_TRUE(near_colour(snapshot.at(0, 0), 0x0000FF));
}

// The exposures a window reports within `seconds`.
int exposures_within(HWND window, double seconds) {
    int exposures = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        for (const winx::Window_Input& input : winx::take_window_input(window))
            exposures += input.kind == winx::Window_Input::Kind::exposed;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return exposures;
}

// Where a window is uncovered what it showed is lost: each uncovering is one
// exposure, however many rectangles the server reports it in, and the GL
// child made after the window began to listen reports its own.
TEST(Screen24_Window, EachUncoveringIsOneExposure) {
    HWND window = winx::create_window(40, 30, "exposed");
    ASSERT_NE(window, nullptr);
    winx::listen_to_window_input(window);
    HDC dc = GetDC(window);
    const PIXELFORMATDESCRIPTOR wanted = test_support::driver_pixel_format_request(true);
    ASSERT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &wanted), &wanted));
    EXPECT_EQ(exposures_within(window, 0.5), 1) << "the GL child's first mapping";

    // A cover with a smaller window on top of it, both at the origin: taking
    // the cover away uncovers an L of two rectangles.
    HWND cover = winx::create_window(30, 20, "cover");
    HWND corner = winx::create_window(10, 10, "corner");
    winx::destroy_window(cover);
    EXPECT_EQ(exposures_within(window, 0.5), 1) << "the L";
    winx::destroy_window(corner);
    EXPECT_EQ(exposures_within(window, 0.5), 1) << "the corner";
    ReleaseDC(window, dc);
    winx::destroy_window(window);
}

TEST(PrivateDisplay, RefusesBadScreens) {
    std::string error;
    EXPECT_FALSE(winx::start_private_display(640, 480, 12, &error));
    EXPECT_NE(error.find("depth"), std::string::npos);
    EXPECT_FALSE(winx::start_private_display(0, 480, 24, nullptr));
}
