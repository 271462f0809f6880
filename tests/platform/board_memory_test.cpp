// What the board keeps belongs to one rendering context: once the context
// is deleted, a request that arrives under the same handle (as a new context
// may get it) finds nothing kept and changes nothing.
#include <gtest/gtest.h>

#include "platform/board_gl.h"
#include "tests/platform/gl_window.h"

namespace {

using platform_test::Gl_Window;

winx::Board_Request request(uint32_t code, HGLRC context) {
    return winx::Board_Request{code, 0, 0, 4, 4, GL_RGB, GL_UNSIGNED_INT, context};
}

// The top-left pixel: requests count rows from the top of the window.
uint32_t top_left_pixel() {
    uint8_t rgba[4] = {};
    glReadPixels(0, 7, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return uint32_t(rgba[0]) << 16 | uint32_t(rgba[1]) << 8 | rgba[2];
}

TEST(Screen24_Board_Memory_Lifetime, DeletingAContextForgetsWhatTheBoardKeptForIt) {
    HGLRC deleted = nullptr;
    {
        Gl_Window first;
        ASSERT_TRUE(first.open(8, 8, false));
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        winx::carry_out_board_request(request(winx::board_fast_read_color, first.context));
        deleted = first.context;
    }
    Gl_Window second;
    ASSERT_TRUE(second.open(8, 8, false));
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    winx::carry_out_board_request(request(winx::board_fast_draw_color, deleted));
    EXPECT_EQ(top_left_pixel(), 0x0000FFu);
}

}  // namespace
