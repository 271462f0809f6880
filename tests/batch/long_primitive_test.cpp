// Primitives longer than the batch's 300 vertices, as OpenGL receives them:
// a layer under test copies the vertices of every glDrawArrays, so that the
// pieces can be compared with the primitive the host gave.
#include <cstdint>
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

#include "platform/gl.h"
#include "platform/gl_layers.h"
#include "tests/platform/gl_window.h"
#include "tests/support/device_fixture.h"
#include "tests/support/failing_allocation.h"

using namespace test_support;

namespace {

struct Drawn_Piece {
    GLenum mode;
    std::vector<HT_Point3D> vertices;
};

// Copies what each glDrawArrays draws from a vertex array of three floats.
class Vertex_Capture {
public:
    Vertex_Capture() {
        layer_.entries.VertexPointer = &vertex_pointer;
        layer_.entries.DrawArrays = &draw_arrays;
        active_ = this;
        winx::install_gl_layer(&layer_, winx::Gl_Layer_Place::top);
    }
    ~Vertex_Capture() {
        winx::remove_gl_layer(&layer_);
        active_ = nullptr;
    }
    std::vector<Drawn_Piece> pieces() const {
        std::lock_guard<std::mutex> hold(mutex_);
        return pieces_;
    }

private:
    static void vertex_pointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
        {
            std::lock_guard<std::mutex> hold(active_->mutex_);
            active_->pointer_ = size == 3 && stride == sizeof(HT_Point3D)
                                    ? static_cast<const HT_Point3D*>(pointer)
                                    : nullptr;
        }
        active_->layer_.below().VertexPointer(size, type, stride, pointer);
    }
    static void draw_arrays(GLenum mode, GLint first, GLsizei count) {
        {
            std::lock_guard<std::mutex> hold(active_->mutex_);
            if (active_->pointer_ != nullptr)
                active_->pieces_.push_back(
                    {mode, {active_->pointer_ + first, active_->pointer_ + first + count}});
        }
        active_->layer_.below().DrawArrays(mode, first, count);
    }

    static Vertex_Capture* active_;
    winx::Gl_Layer layer_;
    mutable std::mutex mutex_;
    const HT_Point3D* pointer_ = nullptr;
    std::vector<Drawn_Piece> pieces_;
};

Vertex_Capture* Vertex_Capture::active_ = nullptr;

class Long_Primitives : public testing::Test {
protected:
    // The capture sees glDrawArrays calls: one per primitive.
    void SetUp() override {
        Device_Settings settings;
        settings.draw = Draw_Mode::per_primitive;
        ASSERT_TRUE(driver.start(settings)) << driver.error();
    }
    // Vertex i at x = i, so that a drawn vertex tells its index.
    static std::vector<HT_Point3D> numbered(int count) {
        std::vector<HT_Point3D> points;
        for (int i = 0; i < count; ++i) points.push_back({float(i), float(i % 2) * 10, 5});
        return points;
    }
    Running_Device driver;
    const HT_Rendition rendition = solid_rendition(HT_Make_RGB32(255, 0, 0));
};

// A primitive longer than the batch reaches OpenGL as one glDrawArrays with
// all its vertices, after what was queued before it, and the batch goes on
// as usual afterwards.
TEST_F(Long_Primitives, AreDrawnWithOneCallAfterWhatWasQueuedBeforeThem) {
    for (int count : {301, 302, 1000}) {
        SCOPED_TRACE(count);
        const std::vector<HT_Point3D> points = numbered(count);
        const std::vector<HT_RGB32> colors(size_t(count), HT_Make_RGB32(0, 255, 0));
        Vertex_Capture capture;
        driver.call(driver.actions().draw_dc_polyline, &rendition, 2, points.data());
        driver.call(driver.actions().draw_dc_polyline, &rendition, count, points.data());
        driver.call(driver.actions().draw_dc_gouraud_polytriangle, &rendition, count, points.data(),
                    colors.data());
        driver.call(driver.actions().draw_dc_polyline, &rendition, 3, points.data());
        driver.show();
        const std::vector<Drawn_Piece> pieces = capture.pieces();
        ASSERT_EQ(pieces.size(), 4u);
        EXPECT_EQ(pieces[0].vertices.size(), 2u);
        const GLenum modes[4] = {GL_LINE_STRIP, GL_LINE_STRIP, GL_TRIANGLE_STRIP, GL_LINE_STRIP};
        for (size_t i = 0; i < 4; ++i) EXPECT_EQ(pieces[i].mode, modes[i]) << i;
        for (size_t i : {1, 2}) {
            ASSERT_EQ(pieces[i].vertices.size(), size_t(count)) << i;
            for (int k = 0; k < count; ++k) ASSERT_EQ(pieces[i].vertices[size_t(k)].x, float(k)) << i;
        }
        EXPECT_EQ(pieces[3].vertices.size(), 3u);
    }
}

// The line pattern runs on over the whole polyline: 600 one-pixel segments
// along a row look exactly as one glDrawArrays of the same strip with the same
// stipple draws them in a plain OpenGL window, where a new draw call at the
// 300th vertex would restart the pattern there.
TEST(Long_Primitive_Pixels, StippledPolylineLooksAsOneDrawCallDrawsIt) {
    constexpr int WIDTH = 640, HEIGHT = 16, ROW = 4;
    std::vector<HT_Point3D> points;
    for (int i = 0; i <= 600; ++i) points.push_back({float(i) + 0.5f, ROW + 0.5f, 10});

    // The reference: line pattern 3 is glLineStipple(2, 0x31FF).
    std::vector<uint8_t> reference(WIDTH * 4);
    {
        platform_test::Gl_Window gl;
        ASSERT_TRUE(gl.open(WIDTH, HEIGHT));
        glViewport(0, 0, WIDTH, HEIGHT);
        glMatrixMode(GL_PROJECTION);
        // Window pixels from the lower-left corner, as the device maps them.
        const float window_pixels[16] = {2.0f / WIDTH, 0, 0, 0, 0, 2.0f / HEIGHT, 0, 0,
                                         0, 0, 0, 0, -1, -1, 0, 1};
        glLoadMatrixf(window_pixels);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4ub(255, 255, 255, 255);
        glLineStipple(2, 0x31FF);
        glEnable(GL_LINE_STIPPLE);
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(2, GL_FLOAT, sizeof(HT_Point3D), points.data());
        glDrawArrays(GL_LINE_STRIP, 0, GLsizei(points.size()));
        glFinish();
        glReadPixels(0, ROW, WIDTH, 1, GL_RGBA, GL_UNSIGNED_BYTE, reference.data());
    }

    Running_Device driver;
    Device_Settings settings;
    settings.width = WIDTH;
    settings.height = HEIGHT;
    ASSERT_TRUE(driver.start(settings)) << driver.error();
    HT_Rendition rendition = solid_rendition(HT_Make_RGB32(255, 255, 255));
    rendition.line.pattern = 3;
    driver.call(driver.actions().draw_dc_polyline, &rendition, int(points.size()), points.data());
    const winx::Window_Snapshot snapshot = driver.show_and_capture();

    int lit = 0;
    for (int x = 0; x < WIDTH; ++x) {
        const bool drawn = snapshot.at(x, ROW) != 0;
        ASSERT_EQ(drawn, reference[size_t(x) * 4] != 0) << "x " << x;
        lit += drawn;
    }
    EXPECT_GT(lit, 200);
    EXPECT_LT(lit, 550);
}

// Where a primitive longer than the batch cannot have arrays of its own, it
// is queued in pieces, and the pieces must join into the picture of the whole
// primitive: each line piece starts on the last vertex of the piece before,
// each strip piece repeats the two vertices before it. On a staircase of
// one-pixel steps every missing joint loses a pixel; on a strip, a triangle.
TEST(Long_Primitive_Pieces, JoinIntoThePictureOfTheWholePrimitive) {
    std::vector<HT_Point3D> stairs, band;
    std::vector<HT_RGB32> band_colors;
    for (int i = 0; i < 701; ++i) {
        stairs.push_back({20.5f + float((i + 1) / 2), 20.5f + float(i / 2), 10});
        band.push_back({10.0f + float(i / 2), i % 2 == 0 ? 2.0f : 12.0f, 10});
        band_colors.push_back(HT_Make_RGB32(uint8_t(i), uint8_t(255 - i % 251), uint8_t(i * 7)));
    }
    auto draw = [&](bool in_pieces) {
        Running_Device driver;
        Device_Settings settings;
        settings.width = 384;
        settings.height = 384;
        EXPECT_TRUE(driver.start(settings)) << driver.error();
        const HT_Rendition white = solid_rendition(HT_Make_RGB32(255, 255, 255));
        if (in_pieces) failing_allocation::fail_next_array_of(stairs.size() * sizeof(HT_Point3D));
        driver.call(driver.actions().draw_dc_polyline, &white, int(stairs.size()), stairs.data());
        if (in_pieces) failing_allocation::fail_next_array_of(band.size() * sizeof(HT_Point3D));
        driver.call(driver.actions().draw_dc_gouraud_polytriangle, &white, int(band.size()), band.data(),
                    band_colors.data());
        EXPECT_EQ(failing_allocation::failed(), in_pieces);
        return driver.show_and_capture();
    };
    const winx::Window_Snapshot whole = draw(false);
    const winx::Window_Snapshot pieces = draw(true);
    ASSERT_EQ(whole.pixels.size(), pieces.pixels.size());
    for (int y = 0; y < whole.height; ++y)
        for (int x = 0; x < whole.width; ++x)
            ASSERT_EQ(pieces.at(x, y), whole.at(x, y)) << "at " << x << "," << y;
    EXPECT_EQ(whole.at(370, 369), 0xFFFFFFu) << "the staircase reaches its last step";
}

TEST_F(Long_Primitives, TooFewVerticesQueueNothing) {
    const std::vector<HT_Point3D> points = numbered(3);
    Vertex_Capture capture;
    driver.call(driver.actions().draw_dc_polytriangle, &rendition, 2, points.data());
    driver.call(driver.actions().draw_dc_polytriangle, &rendition, 0, points.data());
    driver.call(driver.actions().draw_dc_polyline, &rendition, 1, points.data());
    driver.call(driver.actions().draw_dc_polyline, &rendition, -1, points.data());
    driver.show();
    EXPECT_TRUE(capture.pieces().empty());
}

}  // namespace
