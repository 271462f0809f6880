// The OpenGL dispatch table and its layers: the board-request guard keeps
// request blocks away from libGL and passes everything else; the recorder
// sees every call with its arguments and thread; layers come and go.
#include <cstring>
#include <thread>

#include "platform/gl_layers.h"
#include "tests/platform/gl_window.h"

using platform_test::Gl_Window;

namespace {

// A request block followed by room that a real read of the request's
// rectangle would overwrite.
struct Guarded_Block {
    uint32_t words[winx::board_request_words];
    uint32_t beyond[64];

    explicit Guarded_Block(uint32_t code) {
        for (uint32_t& word : words) word = winx::board_request_marker;
        words[winx::board_request_code_word] = code;
        for (uint32_t& word : beyond) word = 0x12345678u;
    }
};

}  // namespace

TEST(Screen24_BoardGuard, RequestsGoToTheHandlerAndNeverToLibGl) {
    Gl_Window gl;
    ASSERT_TRUE(gl.open(16, 16));
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    std::vector<winx::Board_Request> seen;
    winx::set_board_request_handler([&seen](const winx::Board_Request& request) { seen.push_back(request); });
    Guarded_Block block(6157);
    const Guarded_Block untouched = block;
    glReadPixels(1, 2, 4, 3, GL_RGBA, GL_UNSIGNED_INT, block.words);
    EXPECT_EQ(std::memcmp(&block, &untouched, sizeof block), 0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].code, 6157u);
    EXPECT_EQ(seen[0].x, 1);
    EXPECT_EQ(seen[0].y, 2);
    EXPECT_EQ(seen[0].width, 4);
    EXPECT_EQ(seen[0].height, 3);
    EXPECT_EQ(seen[0].format, GLenum(GL_RGBA));
    EXPECT_EQ(seen[0].type, GLenum(GL_UNSIGNED_INT));
    EXPECT_EQ(seen[0].context, gl.context);

    // Without a handler a request is dropped, still unseen by libGL.
    winx::set_board_request_handler(nullptr);
    glReadPixels(0, 0, 4, 4, GL_RGBA, GL_UNSIGNED_INT, block.words);
    EXPECT_EQ(std::memcmp(&block, &untouched, sizeof block), 0);
    EXPECT_EQ(seen.size(), 1u);
}

TEST(Screen24_BoardGuard, OrdinaryReadsAndNearMissesReachLibGl) {
    Gl_Window gl;
    ASSERT_TRUE(gl.open(16, 16));
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();

    unsigned char pixels[4 * 4 * 4] = {};
    glReadPixels(0, 0, 4, 4, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    EXPECT_EQ(pixels[0], 0);
    EXPECT_EQ(pixels[1], 255);
    EXPECT_EQ(pixels[2], 0);

    // One word off the marker: an ordinary destination, read into.
    Guarded_Block near_miss(6156);
    near_miss.words[9] = 0;
    glReadPixels(0, 0, 2, 2, GL_RGBA, GL_UNSIGNED_BYTE, near_miss.words);
    EXPECT_EQ(near_miss.words[0], 0xFF00FF00u);  // green, opaque, as bytes R G B A
    EXPECT_EQ(near_miss.beyond[0], 0x12345678u);
}

TEST(GlDispatch, WithoutLayersEntriesAreLibGlsOwn) {
    // Nothing but the guard's glReadPixels stands between the driver and
    // libGL: the batch path pays no extra call.
    EXPECT_EQ(winx::gl().Viewport, winx::system_gl().Viewport);
    EXPECT_EQ(winx::gl().DrawArrays, winx::system_gl().DrawArrays);
    EXPECT_NE(winx::gl().ReadPixels, winx::system_gl().ReadPixels);
    {
        winx::Gl_Recorder recorder;
        EXPECT_NE(winx::gl().Viewport, winx::system_gl().Viewport);
    }
    EXPECT_EQ(winx::gl().Viewport, winx::system_gl().Viewport);
}

TEST(GlDispatch, RecorderSeesArgumentsAndThreads) {
    winx::Gl_Recorder recorder;
    const GLubyte stipple[128] = {};
    glViewport(1, 2, 300, 400);
    glLineWidth(2.5f);
    glPolygonStipple(stipple);
    std::thread::id other_id;
    std::thread other([&other_id] {
        other_id = std::this_thread::get_id();
        glEnable(GL_DEPTH_TEST);
    });
    other.join();

    const std::vector<winx::Gl_Call> calls = recorder.calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].name, "glViewport");
    EXPECT_EQ(calls[0].numbers, (std::vector<double>{1, 2, 300, 400}));
    EXPECT_EQ(calls[0].thread, std::this_thread::get_id());
    EXPECT_EQ(calls[1].numbers, std::vector<double>{2.5});
    EXPECT_EQ(calls[2].name, "glPolygonStipple");
    EXPECT_TRUE(calls[2].numbers.empty());
    EXPECT_EQ(calls[2].pointers, std::vector<const void*>{stipple});
    EXPECT_EQ(calls[3].name, "glEnable");
    EXPECT_EQ(calls[3].numbers, std::vector<double>{double(GL_DEPTH_TEST)});
    EXPECT_EQ(calls[3].thread, other_id);
    EXPECT_EQ(recorder.count("glEnable"), 1u);

    recorder.clear();
    EXPECT_EQ(recorder.count("glViewport"), 0u);
}

TEST(GlDispatch, NestedRecordersEachSeeTheirOwnLifetime) {
    winx::Gl_Recorder outer;
    glFlush();
    {
        winx::Gl_Recorder inner;
        glFinish();
        EXPECT_EQ(inner.count("glFlush"), 0u);
        EXPECT_EQ(inner.count("glFinish"), 1u);
    }
    glFinish();
    EXPECT_EQ(outer.count("glFlush"), 1u);
    EXPECT_EQ(outer.count("glFinish"), 2u);
}

namespace {

// A layer that counts glEnable and passes it on.
winx::Gl_Layer counting_layer;
int enables_counted = 0;
void counting_enable(GLenum cap) {
    ++enables_counted;
    counting_layer.below().Enable(cap);
}

}  // namespace

TEST(GlDispatch, LayersSitWhereTheyArePutAndLeaveCleanly) {
    counting_layer.entries.Enable = counting_enable;
    winx::Gl_Recorder recorder;
    // Beneath the recorder: the recorder sees the call, the layer sees it too.
    winx::install_gl_layer(&counting_layer, winx::Gl_Layer_Place::above_system);
    glEnable(GL_BLEND);
    EXPECT_EQ(enables_counted, 1);
    EXPECT_EQ(recorder.count("glEnable"), 1u);
    // Readback still goes through the guard, which now sits above the layer.
    Guarded_Block block(6158);
    const Guarded_Block untouched = block;
    glReadPixels(0, 0, 8, 8, GL_RGBA, GL_UNSIGNED_INT, block.words);
    EXPECT_EQ(std::memcmp(&block, &untouched, sizeof block), 0);

    winx::remove_gl_layer(&counting_layer);
    glEnable(GL_BLEND);
    EXPECT_EQ(enables_counted, 1);
    EXPECT_EQ(recorder.count("glEnable"), 2u);
}
