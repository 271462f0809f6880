// Reading colour and depth back: the shape of the images handed to the host,
// the order of their rows and bytes, the board's fast path, rectangles that
// are empty or reach outside the window, and what happens to the image the
// result handle held before.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/gl_layers.h"
#include "tests/pixels/pixel_fixture.h"

namespace {

class Readback : public Pixel_Test {};

// An image whose deletion the test can see.
class Watched_Image : public HT_Image {
public:
    explicit Watched_Image(bool* deleted)
        : HT_Image({0, 0, 0}, 1, 1, HT_IMAGE_FORMAT_RGB32, 4, nullptr, false), deleted_(deleted) {}

protected:
    ~Watched_Image() override { *deleted_ = true; }

private:
    bool* deleted_;
};

}  // namespace

TEST_F(Readback, ColourRowsComeTopRowFirstWithTheBytesReordered) {
    ASSERT_TRUE(open(32, 24, 16));
    const uint32_t pixels[6] = {host_pixel(10, 20, 30), host_pixel(40, 50, 60), host_pixel(70, 80, 90),
                                host_pixel(1, 2, 3),    host_pixel(4, 5, 6),    host_pixel(7, 8, 9)};
    draw_image({5, 11, 0}, {7, 10, 0}, 12, pixels);

    HT_Shared_Image image;
    read_color({5, 11, 0}, {7, 10, 0}, image);
    ASSERT_FALSE(image.is_null());
    EXPECT_EQ(image->width(), 3);
    EXPECT_EQ(image->height(), 2);
    EXPECT_EQ(image->format(), HT_IMAGE_FORMAT_RGB32);
    EXPECT_EQ(image->row_bytes(), 12);
    const uint8_t* bytes = image->pixels();
    // Red 10, green 20, blue 30 lies in memory as 30, 20, 10, and alpha 255
    // where the frame buffer has no alpha planes.
    EXPECT_EQ(bytes[0], 30);
    EXPECT_EQ(bytes[1], 20);
    EXPECT_EQ(bytes[2], 10);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(color_at(image, x, y) & 0xFFFFFF, pixels[y * 3 + x] & 0xFFFFFF) << x << "," << y;

    const winx::Window_Snapshot shown = present();
    EXPECT_EQ(shown.at(5, 11), 0x0A141Eu);
    EXPECT_EQ(shown.at(7, 10), 0x070809u);
}

TEST_F(Readback, DepthRowsStartOnFourByteBoundaries) {
    ASSERT_TRUE(open(32, 24, 16));
    const int expected[] = {4, 4, 8, 8, 12};
    for (int width = 1; width <= 5; ++width) {
        HT_Shared_Image image;
        read_depth({2, 5, 0}, {float(1 + width), 3, 0}, image);
        ASSERT_FALSE(image.is_null());
        EXPECT_EQ(image->width(), width);
        EXPECT_EQ(image->height(), 3);
        EXPECT_EQ(image->format(), HT_IMAGE_FORMAT_DEPTH16);
        EXPECT_EQ(image->row_bytes(), expected[width - 1]) << "width " << width;
    }
}

TEST_F(Readback, FastReadMakesOneRequestAndStillHandsBackANewImage) {
    ASSERT_TRUE(open(32, 24, 16));
    use_board(true);
    for (bool color : {true, false}) {
        bool old_deleted = false;
        HT_Shared_Image result;
        static_cast<HT_Shared_Handle<HT_Image>&>(result) =
            HT_Shared_Handle<HT_Image>(new Watched_Image(&old_deleted));

        winx::Gl_Recorder recorder;
        if (color) read_color({3, 20, 0}, {12, 11, 0}, result);
        else read_depth({3, 20, 0}, {12, 11, 0}, result);

        EXPECT_EQ(recorder.count("glReadPixels"), 1u);
        EXPECT_EQ(recorder.count("glFinish"), 0u);
        for (const winx::Gl_Call& call : recorder.calls()) {
            if (call.name != "glReadPixels") continue;
            EXPECT_TRUE(winx::is_board_request_block(call.pointers.at(0)));
            // x, y from the top, width, height, format, GL_UNSIGNED_INT.
            EXPECT_EQ(call.numbers, (std::vector<double>{3, 24 - 1 - 20, 10, 10,
                                                          double(color ? GL_RGB : GL_DEPTH_COMPONENT),
                                                          double(GL_UNSIGNED_INT)}));
        }
        EXPECT_TRUE(old_deleted);
        ASSERT_FALSE(result.is_null());
        EXPECT_EQ(result->reference_count(), 1);
        EXPECT_EQ(result->width(), 10);
        EXPECT_EQ(result->height(), 10);
        EXPECT_EQ(result->format(), color ? HT_IMAGE_FORMAT_RGB32 : HT_IMAGE_FORMAT_DEPTH16);
        EXPECT_EQ(result->row_bytes(), color ? 40 : 20);
    }
}

TEST_F(Readback, OrdinaryReadReplacesTheHeldImage) {
    ASSERT_TRUE(open(32, 24, 16));
    for (bool color : {true, false}) {
        bool old_deleted = false;
        HT_Shared_Image result;
        static_cast<HT_Shared_Handle<HT_Image>&>(result) =
            HT_Shared_Handle<HT_Image>(new Watched_Image(&old_deleted));
        if (color) read_color({0, 1, 0}, {1, 0, 0}, result);
        else read_depth({0, 1, 0}, {1, 0, 0}, result);
        EXPECT_TRUE(old_deleted);
        ASSERT_FALSE(result.is_null());
        EXPECT_EQ(result->reference_count(), 1);
        EXPECT_EQ(result->width(), 2);
    }
}

TEST_F(Readback, EmptyRectanglesGiveEmptyImagesAndReadNothing) {
    ASSERT_TRUE(open(32, 24, 16));
    for (bool fast : {false, true}) {
        if (fast) use_board(true);
        // End left of start, end above start, and coordinates that are no number.
        const HT_Point3D rectangles[][2] = {{{10, 10, 0}, {8, 5, 0}},
                                            {{10, 10, 0}, {12, 11, 0}},
                                            {{NAN, 10, 0}, {12, 5, 0}}};
        for (const auto& corners : rectangles) {
            winx::Gl_Recorder recorder;
            HT_Shared_Image colors;
            HT_Shared_Image depths;
            read_color(corners[0], corners[1], colors);
            read_depth(corners[0], corners[1], depths);
            EXPECT_EQ(recorder.count("glReadPixels"), 0u);
            for (const HT_Shared_Image* image : {&colors, &depths}) {
                ASSERT_FALSE(image->is_null());
                EXPECT_EQ((*image)->width() * (*image)->height(), 0);
            }
        }
    }
}

TEST_F(Readback, RectanglesReachingOutsideTheWindowReadOnlyTheInside) {
    ASSERT_TRUE(open(16, 12, 16));
    std::vector<uint32_t> white(16 * 12, host_pixel(255, 255, 255));
    draw_image({0, 11, 0}, {15, 0, 0}, 16 * 4, white.data());

    HT_Shared_Image colors;
    HT_Shared_Image depths;
    // Three columns left of the window, two rows above it, and beyond its
    // right edge.
    read_color({-3, 13, 0}, {20, 9, 0}, colors);
    read_depth({-3, 13, 0}, {20, 9, 0}, depths);
    ASSERT_FALSE(colors.is_null());
    ASSERT_EQ(colors->width(), 24);
    ASSERT_EQ(colors->height(), 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 24; ++x) {
            const int window_x = x - 3;
            const int window_y = 13 - y;
            const bool inside = window_x >= 0 && window_x < 16 && window_y < 12;
            // Outside: what a cleared frame holds, opaque black and the
            // farthest depth.
            EXPECT_EQ(color_at(colors, x, y) & 0xFFFFFF, inside ? 0xFFFFFFu : 0u) << x << "," << y;
            if (!inside) {
                EXPECT_EQ(color_at(colors, x, y), 0xFF000000u) << x << "," << y;
                EXPECT_EQ(depth_at(depths, x, y), 0xFFFF) << x << "," << y;
            }
        }
    }
}
