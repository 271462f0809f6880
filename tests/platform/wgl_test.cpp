// WGL on GLX at the screen depths the driver meets: choosing, describing and
// setting pixel formats, contexts per thread, and drawing that shows up both
// in glReadPixels and in the window's snapshot.
#include <thread>

#include "tests/platform/gl_window.h"

using platform_test::Gl_Window;
using test_support::driver_pixel_format_request;
using platform_test::near_colour;

namespace {

// Clears to orange and checks it in the frame buffer and, after the swap, on
// the screen. Orange survives 5-6-5 storage within a few steps per channel.
void clear_swap_and_read_back(Gl_Window& gl, int width, int height) {
    const uint32_t orange = 0xFF8000;
    glViewport(0, 0, width, height);
    glClearColor(1.0f, 0.5f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    unsigned char pixel[4] = {};
    glReadPixels(width / 2, height / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_TRUE(near_colour(uint32_t(pixel[0]) << 16 | uint32_t(pixel[1]) << 8 | pixel[2], orange));

    ASSERT_TRUE(SwapBuffers(gl.dc));
    glFinish();
    winx::Window_Snapshot snapshot;
    ASSERT_TRUE(winx::capture_window(gl.window, &snapshot));
    ASSERT_EQ(snapshot.width, width);
    ASSERT_EQ(snapshot.height, height);
    EXPECT_TRUE(near_colour(snapshot.at(0, 0), orange)) << std::hex << snapshot.at(0, 0);
    EXPECT_TRUE(near_colour(snapshot.at(width - 1, height - 1), orange))
        << std::hex << snapshot.at(width - 1, height - 1);
}

void check_screen(int bits_per_pixel) {
    Gl_Window gl;
    ASSERT_TRUE(gl.open(64, 48));

    PIXELFORMATDESCRIPTOR described{};
    const int count = DescribePixelFormat(gl.dc, gl.format, sizeof described, &described);
    EXPECT_GE(count, gl.format);
    EXPECT_EQ(described.cColorBits, bits_per_pixel);
    EXPECT_GE(described.cDepthBits, 16);
    EXPECT_EQ(described.iPixelType, PFD_TYPE_RGBA);
    EXPECT_EQ(described.dwFlags & (PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER),
              PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER);
    EXPECT_EQ(wglGetCurrentContext(), gl.context);

    clear_swap_and_read_back(gl, 64, 48);
}

}  // namespace

TEST(Screen24_Wgl, ChoosesA32BitFormatAndDrawsThroughIt) {
    SKIP_UNLESS_SCREEN_DEPTH(24);
    check_screen(32);
}

TEST(Screen16_Wgl, ChoosesA16BitFormatAndDrawsThroughIt) {
    SKIP_UNLESS_SCREEN_DEPTH(16);
    check_screen(16);
}

TEST(Screen8_Wgl, OffersNoFormatOnAnEightBitScreen) {
    SKIP_UNLESS_SCREEN_DEPTH(8);
    HDC desktop = GetDC(GetDesktopWindow());
    EXPECT_EQ(GetDeviceCaps(desktop, BITSPIXEL), 8);
    const PIXELFORMATDESCRIPTOR wanted = driver_pixel_format_request(true);
    EXPECT_EQ(ChoosePixelFormat(desktop, &wanted), 0);
    PIXELFORMATDESCRIPTOR described{};
    EXPECT_EQ(DescribePixelFormat(desktop, 1, sizeof described, &described), 0);
}

TEST(Screen24_Wgl, SingleBufferedFormatDrawsToTheWindowAtFinish) {
    Gl_Window gl;
    ASSERT_TRUE(gl.open(32, 32, false));
    PIXELFORMATDESCRIPTOR described{};
    ASSERT_NE(DescribePixelFormat(gl.dc, gl.format, sizeof described, &described), 0);
    EXPECT_EQ(described.dwFlags & PFD_DOUBLEBUFFER, 0u);
    clear_swap_and_read_back(gl, 32, 32);
}

TEST(Screen24_Wgl, DescribeRefusesBadIndexesAndShortDescriptors) {
    HDC desktop = GetDC(GetDesktopWindow());
    const int count = DescribePixelFormat(desktop, 1, 0, nullptr);
    ASSERT_GT(count, 0);
    PIXELFORMATDESCRIPTOR described{};
    EXPECT_EQ(DescribePixelFormat(desktop, 0, sizeof described, &described), 0);
    EXPECT_EQ(DescribePixelFormat(desktop, count + 1, sizeof described, &described), 0);
    EXPECT_EQ(DescribePixelFormat(desktop, 1, sizeof described - 1, &described), 0);
    EXPECT_EQ(DescribePixelFormat(nullptr, 1, sizeof described, &described), 0);
}

// The driver asks for no alpha planes. A 24-bit screen offers formats with
// and without them; the choice falls on one without, or every colour drawn
// would keep its alpha and reads would hand it back. A request for alpha
// still gets it.
TEST(Screen24_Wgl, ChoosesAFormatWithAlphaPlanesOnlyWhenAskedFor) {
    SKIP_UNLESS_SCREEN_DEPTH(24);
    HDC desktop = GetDC(GetDesktopWindow());
    for (bool double_buffer : {true, false}) {
        PIXELFORMATDESCRIPTOR wanted = driver_pixel_format_request(double_buffer);
        for (BYTE alpha_bits : {BYTE(0), BYTE(8)}) {
            wanted.cAlphaBits = alpha_bits;
            const int format = ChoosePixelFormat(desktop, &wanted);
            ASSERT_NE(format, 0);
            PIXELFORMATDESCRIPTOR described{};
            ASSERT_NE(DescribePixelFormat(desktop, format, sizeof described, &described), 0);
            EXPECT_EQ(described.cAlphaBits > 0, alpha_bits > 0) << int(alpha_bits);
            EXPECT_EQ((described.dwFlags & PFD_DOUBLEBUFFER) != 0, double_buffer);
            EXPECT_EQ(described.cDepthBits, 16);
        }
    }
}

TEST(Screen24_Wgl, DescribedColourBitsCanBeForcedForTests) {
    HDC desktop = GetDC(GetDesktopWindow());
    const PIXELFORMATDESCRIPTOR wanted = driver_pixel_format_request(true);
    const int format = ChoosePixelFormat(desktop, &wanted);
    ASSERT_NE(format, 0);
    PIXELFORMATDESCRIPTOR described{};
    for (int bits : {8, 24}) {
        winx::set_described_color_bits(bits);
        ASSERT_NE(DescribePixelFormat(desktop, format, sizeof described, &described), 0);
        EXPECT_EQ(described.cColorBits, bits);
    }
    winx::set_described_color_bits(0);
    ASSERT_NE(DescribePixelFormat(desktop, format, sizeof described, &described), 0);
    EXPECT_EQ(described.cColorBits, 32);
}

TEST(Screen24_Wgl, AWindowKeepsItsFirstFormat) {
    HWND window = winx::create_window(16, 16, "formats");
    HDC dc = GetDC(window);
    const PIXELFORMATDESCRIPTOR wanted = driver_pixel_format_request(true);
    const int format = ChoosePixelFormat(dc, &wanted);
    ASSERT_NE(format, 0);
    ASSERT_GT(DescribePixelFormat(dc, format, 0, nullptr), 1);
    const int other = format == 1 ? 2 : 1;

    EXPECT_TRUE(SetPixelFormat(dc, format, &wanted));
    EXPECT_TRUE(SetPixelFormat(dc, format, &wanted));
    SetLastError(0);
    EXPECT_FALSE(SetPixelFormat(dc, other, &wanted));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PIXEL_FORMAT));
    EXPECT_FALSE(SetPixelFormat(dc, 0, &wanted));
    winx::destroy_window(window);
}

TEST(Screen24_Wgl, TheDesktopOnlyRecordsItsFormat) {
    HDC desktop = GetDC(GetDesktopWindow());
    const PIXELFORMATDESCRIPTOR wanted = driver_pixel_format_request(true);
    const int format = ChoosePixelFormat(desktop, &wanted);
    ASSERT_NE(format, 0);
    EXPECT_TRUE(SetPixelFormat(desktop, format, &wanted));
    EXPECT_TRUE(SetPixelFormat(desktop, format, &wanted));
    // Unlike a window's, the desktop's format can change: a later renderer
    // object may need a double-buffered one after a single-buffered one.
    EXPECT_TRUE(SetPixelFormat(desktop, format == 1 ? 2 : 1, &wanted));
    EXPECT_FALSE(SetPixelFormat(desktop, 0, &wanted));
    EXPECT_EQ(ReleaseDC(GetDesktopWindow(), desktop), 1);
}

TEST(Screen24_Wgl, ContextsNeedAFormatAndBelongToOneThreadAtATime) {
    HWND window = winx::create_window(16, 16, "contexts");
    HDC dc = GetDC(window);
    EXPECT_EQ(wglCreateContext(dc), nullptr);  // no format yet
    winx::destroy_window(window);

    Gl_Window gl;
    ASSERT_TRUE(gl.open(16, 16));
    // Current here: another thread can neither take it nor delete it.
    BOOL taken = TRUE, deleted = TRUE;
    HGLRC seen = gl.context;
    std::thread other([&] {
        taken = wglMakeCurrent(gl.dc, gl.context);
        seen = wglGetCurrentContext();
        deleted = wglDeleteContext(gl.context);
    });
    other.join();
    EXPECT_FALSE(taken);
    EXPECT_EQ(seen, nullptr);
    EXPECT_FALSE(deleted);

    // Released here, a thread takes it, and leaves it free when it ends.
    ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    std::thread render([&] {
        taken = wglMakeCurrent(gl.dc, gl.context);
        seen = wglGetCurrentContext();
    });
    render.join();
    EXPECT_TRUE(taken);
    EXPECT_EQ(seen, gl.context);
    EXPECT_TRUE(wglMakeCurrent(gl.dc, gl.context));

    // Deleting the current context releases it first.
    EXPECT_TRUE(wglDeleteContext(gl.context));
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_FALSE(wglDeleteContext(gl.context));
    gl.context = nullptr;
}

TEST(Screen24_Wgl, MakeCurrentFailureLeavesNoContext) {
    Gl_Window gl;
    ASSERT_TRUE(gl.open(16, 16));
    HWND bare = winx::create_window(16, 16, "no format");
    SetLastError(0);
    EXPECT_FALSE(wglMakeCurrent(GetDC(bare), gl.context));
    EXPECT_NE(GetLastError(), DWORD(0));
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_FALSE(wglMakeCurrent(gl.dc, reinterpret_cast<HGLRC>(&gl)));
    winx::destroy_window(bare);
}

TEST(Screen24_Wgl, DrawingAfterTheWindowIsGoneDoesNotEndTheProcess) {
    Gl_Window gl;
    ASSERT_TRUE(gl.open(16, 16));
    winx::destroy_window(gl.window);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    EXPECT_FALSE(SwapBuffers(gl.dc));
    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_TRUE(wglDeleteContext(gl.context));
    gl.context = nullptr;
    gl.window = nullptr;
}
