// A window that several rendering contexts draw into may be resized while
// one of them keeps its old viewport (another object's start resized it).
// The board's reads and draws for that context stay inside what the window
// holds now, whatever its viewport still says.
#include <gtest/gtest.h>

#include <thread>

#include "platform/board_gl.h"
#include "tests/platform/gl_window.h"

namespace {

using platform_test::Gl_Window;

// What the other context does on the shared window after the resize.
enum class Then { nothing, draw, present_and_draw };

// A second context on the same window, on a thread of its own as each
// object's render thread is: it resizes the window and draws at the new size.
void resize_from_another_context(const Gl_Window& shared, int width, int height, Then then) {
    std::thread other([&] {
        HGLRC context = wglCreateContext(shared.dc);
        ASSERT_TRUE(context != nullptr && wglMakeCurrent(shared.dc, context));
        ASSERT_TRUE(winx::resize_window(shared.window, width, height));
        glViewport(0, 0, width, height);
        if (then != Then::nothing) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (then == Then::present_and_draw) {
            SwapBuffers(shared.dc);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        }
        glFinish();
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(context);
    });
    other.join();
}

// Every request code, for rectangles of the old window: the whole of it,
// its far corner, and a column reaching from top to bottom.
void request_everything_of_the_old_window(HGLRC context, int side) {
    const winx::Board_Request shapes[] = {
        {0, 0, 0, side, side, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, context},
        {0, side - 6, 0, 6, 6, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, context},
        {0, side - 9, 1, 1, side - 2, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, context},
    };
    for (winx::Board_Request request : shapes) {
        for (uint32_t code : {winx::board_fast_read_depth, winx::board_fast_write_depth, winx::board_fast_read_color,
                              winx::board_fast_draw_color}) {
            request.code = code;
            winx::carry_out_board_request(request);
        }
    }
    glFinish();
}

TEST(Screen24_Board_Window_Resize, ReadsAndDrawsOfAContextWithAStaleViewportStayInsideTheWindow) {
    for (Then then : {Then::present_and_draw, Then::draw, Then::nothing}) {
        for (int shrink_to : {3, 40}) {
            Gl_Window first;
            ASSERT_TRUE(first.open(96, 96));
            glViewport(0, 0, 96, 96);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glFinish();
            resize_from_another_context(first, shrink_to, shrink_to - 1, then);
            request_everything_of_the_old_window(first.context, 96);
            // Grown again by yet another context, without a frame at the new size.
            resize_from_another_context(first, 90, 90, Then::nothing);
            request_everything_of_the_old_window(first.context, 96);
        }
    }
}

}  // namespace
