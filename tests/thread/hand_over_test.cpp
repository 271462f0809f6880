// Batches queued ahead of the render thread without waiting, against the
// one-slot channel. A layer of the dispatch table holds the render thread
// inside its first glDrawArrays, so that the tests see what the host's
// thread does while a batch is being drawn: with batches queued ahead it
// goes on handing batches over until the ring is full; on the one-slot
// channel the flush itself waits. And a scene of every kind of call makes
// the same OpenGL calls, in the same order, either way.
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/gl.h"
#include "platform/gl_layers.h"
#include "tests/support/device_fixture.h"
#include "tests/support/pixel_checks.h"
#include "tests/support/test_device.h"

using namespace test_support;

namespace {

constexpr auto SURELY = std::chrono::seconds(10);
constexpr auto A_WHILE = std::chrono::milliseconds(150);

// Holds every glDrawArrays of the first thread that draws through it while
// `holding` is set, counting those that arrived; other threads draw freely.
struct Draw_Hold {
    std::mutex mutex;
    std::condition_variable changed;
    bool holding = false;
    int arrived = 0;
    std::thread::id held_thread;
    winx::Gl_Layer layer;

    void hold() {
        std::lock_guard<std::mutex> lock(mutex);
        holding = true;
    }
    void release() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            holding = false;
        }
        changed.notify_all();
    }
    bool await_arrival() {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, SURELY, [this] { return arrived > 0; });
    }
};

Draw_Hold* the_hold = nullptr;

void held_draw_arrays(GLenum mode, GLint first, GLsizei count) {
    {
        std::unique_lock<std::mutex> lock(the_hold->mutex);
        if (the_hold->held_thread == std::thread::id()) the_hold->held_thread = std::this_thread::get_id();
        if (the_hold->held_thread != std::this_thread::get_id()) {
            lock.unlock();
            return the_hold->layer.below().DrawArrays(mode, first, count);
        }
        ++the_hold->arrived;
        the_hold->changed.notify_all();
        the_hold->changed.wait(lock, [] { return !the_hold->holding; });
    }
    the_hold->layer.below().DrawArrays(mode, first, count);
}

class Hand_Over : public testing::Test {
protected:
    void SetUp() override {
        the_hold = &hold;
        hold.layer.entries.DrawArrays = held_draw_arrays;
    }
    void TearDown() override {
        hold.release();
        winx::remove_gl_layer(&hold.layer);
        driver.stop();
        the_hold = nullptr;
    }

    // A device whose first-draw rule is behind it, with the hold in place.
    void start(Channel channel) {
        Device_Settings settings;
        settings.channel = channel;
        settings.draw = Draw_Mode::per_primitive;
        ASSERT_TRUE(driver.start(settings)) << driver.error();
        line(red, 60);
        driver.show();
        hold.hold();
        winx::install_gl_layer(&hold.layer, winx::Gl_Layer_Place::top);
    }
    // A polyline over row y, on another thread of the host's (one call at a
    // time, as the host's contract asks), so that a wait can be seen.
    std::future<void> line_elsewhere(const HT_Rendition& rendition, int y) {
        return std::async(std::launch::async, [this, &rendition, y] { line(rendition, y); });
    }
    void line(const HT_Rendition& rendition, int y) {
        const HT_Point3D points[2] = {{2.5f, y + 0.5f, 0}, {40.5f, y + 0.5f, 0}};
        driver.call(driver.actions().draw_dc_polyline, &rendition, 2, points);
    }

    Draw_Hold hold;
    Running_Device driver;
    const HT_Rendition red = solid_rendition(HT_Make_RGB32(255, 0, 0));
    const HT_Rendition blue = solid_rendition(HT_Make_RGB32(0, 0, 255));
};

std::vector<uint32_t> row_colors(const winx::Window_Snapshot& shown, std::initializer_list<int> rows) {
    std::vector<uint32_t> colors;
    for (int y : rows) colors.push_back(shown.at(20, y));
    return colors;
}

}  // namespace

// Lines of alternating colours, one batch each: the first is handed over by
// the second and held in its drawing. The host goes on handing batches over
// until BATCHES_QUEUED_AHEAD of them wait or are drawn; only the hand-over
// after that waits, until the first is drawn. Every line ends up where and
// in the colour it was asked for.
TEST_F(Hand_Over, TheHostQueuesBatchesAheadUntilTheRingIsFull) {
    start(Channel::handed_over);
    auto color_of = [this](int i) -> const HT_Rendition& { return i % 2 == 0 ? red : blue; };
    auto row_of = [](int i) { return 4 + 5 * i; };
    line(color_of(0), row_of(0));
    std::future<void> queued = std::async(std::launch::async, [&] {
        for (int i = 1; i <= BATCHES_QUEUED_AHEAD; ++i) line(color_of(i), row_of(i));
    });
    ASSERT_EQ(queued.wait_for(SURELY), std::future_status::ready) << "a hand-over waited with room in the ring";
    ASSERT_TRUE(hold.await_arrival());

    const int last = BATCHES_QUEUED_AHEAD + 1;
    std::future<void> one_more = line_elsewhere(color_of(last), row_of(last));
    EXPECT_EQ(one_more.wait_for(A_WHILE), std::future_status::timeout) << "a hand-over into a full ring";
    hold.release();
    ASSERT_EQ(one_more.wait_for(SURELY), std::future_status::ready);

    const winx::Window_Snapshot shown = driver.show_and_capture();
    for (int i = 0; i <= last; ++i)
        EXPECT_EQ(shown.at(20, row_of(i)), i % 2 == 0 ? RED : BLUE) << "line " << i;
}

// A host's thread that waits for room in its object's ring waits outside the
// module's batch lock: an object on another thread goes on drawing.
TEST_F(Hand_Over, AFullRingDoesNotHoldUpAnotherObject) {
    Running_Device other;
    Device_Settings settings;
    settings.channel = Channel::handed_over;
    ASSERT_TRUE(other.start(settings)) << other.error();
    start(Channel::handed_over);
    line(red, 4);
    std::future<void> filling = std::async(std::launch::async, [&] {
        for (int i = 1; i <= BATCHES_QUEUED_AHEAD + 1; ++i) line(i % 2 == 0 ? red : blue, 4 + 5 * i);
    });
    ASSERT_TRUE(hold.await_arrival());
    EXPECT_EQ(filling.wait_for(A_WHILE), std::future_status::timeout) << "the ring was not full";

    // The other object draws a line and reads it back (its window may lie
    // under this one's, so the read is its own rather than the screen's).
    HT_Shared_Image image;
    test_device::driver(&other.device())->fast_readback = false;
    std::future<void> other_frame = std::async(std::launch::async, [&] {
        const HT_Point3D points[2] = {{2.5f, 30.5f, 0}, {40.5f, 30.5f, 0}};
        other.call(other.actions().draw_dc_polyline, &blue, 2, points);
        const HT_Point3D corner{0, 63, 0};
        const HT_Point3D far_corner{63, 0, 0};
        const HT_Rendition rendition;
        other.call(other.actions().read_dc_color, &rendition, &corner, &far_corner, image);
        other.show();
    });
    const bool other_went_on = other_frame.wait_for(SURELY) == std::future_status::ready;
    hold.release();
    ASSERT_TRUE(other_went_on) << "held up by another object's full ring";
    uint32_t pixel = 0;
    std::memcpy(&pixel, image->pixels() + (63 - 30) * image->row_bytes() + 20 * 4, 4);
    EXPECT_EQ(pixel & 0xFFFFFF, BLUE);
    ASSERT_EQ(filling.wait_for(SURELY), std::future_status::ready);
}

// Every command other than a hand-over first waits until the batch in flight
// is drawn, so what it reads or draws comes after it.
TEST_F(Hand_Over, OtherCommandsWaitForTheBatchInFlight) {
    start(Channel::handed_over);
    line(red, 10);
    line(blue, 20);
    ASSERT_TRUE(hold.await_arrival());
    HT_Shared_Image image;
    const HT_Point3D corner{0, 63, 0};
    const HT_Point3D far_corner{63, 0, 0};
    test_device::driver(&driver.device())->fast_readback = false;
    std::future<void> read = std::async(std::launch::async, [&] {
        const HT_Rendition rendition;
        driver.call(driver.actions().read_dc_color, &rendition, &corner, &far_corner, image);
    });
    EXPECT_EQ(read.wait_for(A_WHILE), std::future_status::timeout);
    hold.release();
    ASSERT_EQ(read.wait_for(SURELY), std::future_status::ready);
    uint32_t pixel = 0;
    std::memcpy(&pixel, image->pixels() + (63 - 10) * image->row_bytes() + 20 * 4, 4);
    EXPECT_EQ(pixel & 0xFFFFFF, RED) << "the read saw the batch that was in flight";
}

// On the one-slot channel the flush itself waits for the drawing.
TEST_F(Hand_Over, TheOneSlotChannelWaitsAtEveryFlush) {
    start(Channel::synchronous);
    line(red, 10);
    std::future<void> blue_line = line_elsewhere(blue, 20);
    EXPECT_EQ(blue_line.wait_for(A_WHILE), std::future_status::timeout);
    hold.release();
    ASSERT_EQ(blue_line.wait_for(SURELY), std::future_status::ready);
    const winx::Window_Snapshot shown = driver.show_and_capture();
    EXPECT_EQ(row_colors(shown, {10, 20}), (std::vector<uint32_t>{RED, BLUE}));
}

// Destruction draws the batches queued ahead, as every other command does,
// and never the primitives still being queued.
TEST_F(Hand_Over, DestructionNeverDrawsTheBatchBeingFilled) {
    start(Channel::handed_over);
    hold.release();
    winx::Gl_Recorder recorder;
    line(red, 10);
    line(blue, 20);
    line(red, 30);
    driver.stop();
    EXPECT_EQ(recorder.count("glDrawArrays"), 2u);
}
