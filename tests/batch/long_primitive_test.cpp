// Primitives longer than the batch's 300 vertices, as OpenGL receives them:
// a layer under test copies the vertices of every glDrawArrays, so that the
// pieces can be compared with the primitive the host gave.
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

#include "platform/gl.h"
#include "platform/gl_layers.h"
#include "tests/support/device_fixture.h"

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
    void SetUp() override { ASSERT_TRUE(driver.start()) << driver.error(); }
    // Vertex i at x = i, so that a drawn vertex tells its index.
    static std::vector<HT_Point3D> numbered(int count) {
        std::vector<HT_Point3D> points;
        for (int i = 0; i < count; ++i) points.push_back({float(i), float(i % 2) * 10, 5});
        return points;
    }
    Running_Device driver;
    const HT_Rendition rendition = solid_rendition(HT_Make_RGB32(255, 0, 0));
};

// Each piece starts where the last one ended, sharing the joining vertex.
TEST_F(Long_Primitives, PolylinePiecesShareTheirJoiningVertex) {
    const std::vector<HT_Point3D> points = numbered(1000);
    Vertex_Capture capture;
    driver.call(driver.actions().draw_dc_polyline, &rendition, 1000, points.data());
    driver.show();
    int next = 0;
    for (const Drawn_Piece& piece : capture.pieces()) {
        ASSERT_EQ(piece.mode, GLenum(GL_LINE_STRIP));
        ASSERT_LE(piece.vertices.size(), 300u);
        EXPECT_EQ(piece.vertices.front().x, float(next));
        for (size_t k = 1; k < piece.vertices.size(); ++k)
            ASSERT_EQ(piece.vertices[k].x, piece.vertices[k - 1].x + 1);
        next = int(piece.vertices.back().x);
    }
    EXPECT_EQ(next, 999);
}

// Pieces overlap by two vertices, so that no triangle is lost, and start at
// even indexes, so that each triangle keeps its orientation.
TEST_F(Long_Primitives, StripPiecesOverlapByTwoAndStartOnEvenVertices) {
    for (int count : {301, 302, 700}) {
        const std::vector<HT_Point3D> points = numbered(count);
        Vertex_Capture capture;
        driver.call(driver.actions().draw_dc_polytriangle, &rendition, count, points.data());
        driver.show();
        int triangles = 0;
        int next_first = 0;
        for (const Drawn_Piece& piece : capture.pieces()) {
            ASSERT_EQ(piece.mode, GLenum(GL_TRIANGLE_STRIP));
            ASSERT_GE(piece.vertices.size(), 3u);
            ASSERT_LE(piece.vertices.size(), 300u);
            const int first = int(piece.vertices.front().x);
            EXPECT_EQ(first % 2, 0) << count;
            EXPECT_EQ(first, next_first) << count;
            triangles += int(piece.vertices.size()) - 2;
            next_first = int(piece.vertices.back().x) - 1;
        }
        EXPECT_EQ(triangles, count - 2) << count;
    }
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
