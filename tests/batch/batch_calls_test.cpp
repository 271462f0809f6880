// The batch's rules about OpenGL calls, seen through the recorder: which
// primitives share a batch, which state calls are skipped, how many batches
// a change of kind costs, and that the host's thread makes no OpenGL call.
#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/gl.h"
#include "platform/gl_layers.h"
#include "tests/support/device_fixture.h"
#include "tests/support/test_device.h"

using namespace test_support;

namespace {

const HT_RGB32 RED_COLOR = HT_Make_RGB32(255, 0, 0);
const HT_RGB32 BLUE_COLOR = HT_Make_RGB32(0, 0, 255);

const HT_Point3D TWO_POINTS[2] = {{1, 1, 5}, {20, 20, 5}};
const HT_Point3D THREE_POINTS[3] = {{1, 30, 5}, {20, 40, 5}, {40, 30, 5}};

std::vector<winx::Gl_Call> calls_named(const winx::Gl_Recorder& recorder, const std::string& name) {
    std::vector<winx::Gl_Call> found;
    for (const winx::Gl_Call& call : recorder.calls())
        if (call.name == name) found.push_back(call);
    return found;
}

// These tests count glDrawArrays calls: one per primitive, whatever the
// context offers.
Device_Settings one_call_per_primitive() {
    Device_Settings settings;
    settings.draw = Draw_Mode::per_primitive;
    return settings;
}

class Batch_Calls : public testing::Test {
protected:
    // Starts the device and draws one polyline, so that the first-draw rule
    // (a first primitive travels alone) is behind the test.
    void SetUp() override {
        ASSERT_TRUE(driver.start(one_call_per_primitive())) << driver.error();
        polyline(red, 2, TWO_POINTS);
        driver.show();
    }
    void polyline(const HT_Rendition& rendition, int count, const HT_Point3D* points) {
        driver.call(driver.actions().draw_dc_polyline, &rendition, count, points);
    }
    // A flush hands the batch over without waiting for it to be drawn: the
    // calls are counted once the render thread is done with it.
    void await_drawing() { test_device::await_drawing(&driver.device()); }
    Running_Device driver;
    const HT_Rendition red = solid_rendition(RED_COLOR);
    const HT_Rendition blue = solid_rendition(BLUE_COLOR);
};

TEST_F(Batch_Calls, TwoPolylinesOfOneKeyAreDrawnFromOneBatch) {
    winx::Gl_Recorder recorder;
    polyline(red, 2, TWO_POINTS);
    polyline(red, 3, THREE_POINTS);
    EXPECT_EQ(recorder.count("glDrawArrays"), 0u) << "nothing is drawn before the present";
    driver.show();
    const std::vector<winx::Gl_Call> draws = calls_named(recorder, "glDrawArrays");
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].numbers, (std::vector<double>{GL_LINE_STRIP, 0, 2}));
    EXPECT_EQ(draws[1].numbers, (std::vector<double>{GL_LINE_STRIP, 2, 3}));
    EXPECT_EQ(recorder.count("glShadeModel"), 1u) << "one state set-up for the batch";
}

// The batch never rests full: the 100th primitive is drawn at once, and a
// batch of exactly 300 vertices waits until the next primitive arrives.
TEST_F(Batch_Calls, AFullBatchIsDrawnAtItsLimits) {
    winx::Gl_Recorder recorder;
    for (int i = 0; i < 99; ++i) polyline(red, 2, TWO_POINTS);
    EXPECT_EQ(recorder.count("glDrawArrays"), 0u);
    polyline(red, 2, TWO_POINTS);
    await_drawing();
    EXPECT_EQ(recorder.count("glDrawArrays"), 100u);

    std::vector<HT_Point3D> long_line(300, HT_Point3D{5, 5, 5});
    for (int i = 0; i < 300; ++i) long_line[i].x = float(i % 60);
    recorder.clear();
    polyline(red, 300, long_line.data());
    await_drawing();
    EXPECT_EQ(recorder.count("glDrawArrays"), 0u);
    polyline(red, 2, TWO_POINTS);
    await_drawing();
    const std::vector<winx::Gl_Call> draws = calls_named(recorder, "glDrawArrays");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].numbers, (std::vector<double>{GL_LINE_STRIP, 0, 300}));
}

TEST_F(Batch_Calls, AnotherColourDrawsTheQueuedBatchFirst) {
    polyline(red, 2, TWO_POINTS);
    polyline(red, 2, TWO_POINTS);
    winx::Gl_Recorder recorder;
    polyline(blue, 3, THREE_POINTS);
    await_drawing();
    EXPECT_EQ(recorder.count("glDrawArrays"), 2u);
    const std::vector<winx::Gl_Call> colors = calls_named(recorder, "glColor4ub");
    ASSERT_FALSE(colors.empty());
    EXPECT_EQ(colors.front().numbers, (std::vector<double>{255, 0, 0, 255}));
}

// The first flush draws the lines; the second, on the emptied batch, makes
// no call at all; the triangle waits for the present.
TEST_F(Batch_Calls, AKindChangeDrawsOneBatchAndNothingForTheEmptyOne) {
    polyline(red, 2, TWO_POINTS);
    polyline(red, 3, THREE_POINTS);
    winx::Gl_Recorder recorder;
    driver.call(driver.actions().draw_dc_polytriangle, &red, 3, THREE_POINTS);
    await_drawing();
    EXPECT_EQ(recorder.count("glShadeModel"), 1u);
    EXPECT_EQ(recorder.count("glDrawArrays"), 2u);
    const size_t calls_after_append = recorder.calls().size();
    driver.show();
    const std::vector<winx::Gl_Call> draws = calls_named(recorder, "glDrawArrays");
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[2].numbers, (std::vector<double>{GL_TRIANGLE_STRIP, 0, 3}));
    EXPECT_GT(recorder.calls().size(), calls_after_append);
    for (const winx::Gl_Call& call : recorder.calls())
        EXPECT_NE(call.thread, std::this_thread::get_id()) << call.name << " on the host's thread";
}

TEST_F(Batch_Calls, ARectangleInTheCurrentColourAndPatternSetsNeither) {
    const HT_Rendition rendition = solid_rendition(BLUE_COLOR);
    driver.call(driver.actions().draw_dc_rectangle, &rendition, 2, 9, 2, 9);
    winx::Gl_Recorder recorder;
    driver.call(driver.actions().draw_dc_rectangle, &rendition, 12, 19, 2, 9);
    EXPECT_EQ(recorder.count("glColor4ub"), 0u);
    EXPECT_EQ(recorder.count("glPolygonStipple"), 0u);
    EXPECT_EQ(recorder.count("glBegin"), 1u);

    // The colour that marks "unset" is never taken as already current.
    const HT_Rendition white = solid_rendition(0xFFFFFFFFu);
    recorder.clear();
    driver.call(driver.actions().draw_dc_rectangle, &white, 2, 9, 2, 9);
    driver.call(driver.actions().draw_dc_rectangle, &white, 12, 19, 2, 9);
    EXPECT_EQ(recorder.count("glColor4ub"), 2u);
}

// A smooth batch draws from the colour array and then puts the key's flat
// colour back; the flat batch after it turns the array off once.
TEST_F(Batch_Calls, ASmoothBatchLeavesTheFlatColourCurrent) {
    const HT_RGB32 colors[3] = {RED_COLOR, BLUE_COLOR, RED_COLOR};
    winx::Gl_Recorder recorder;
    driver.call(driver.actions().draw_dc_gouraud_polyline, &blue, 3, THREE_POINTS, colors);
    driver.show();
    const std::vector<winx::Gl_Call> calls = recorder.calls();
    auto last_draw = std::find_if(calls.rbegin(), calls.rend(),
                                  [](const winx::Gl_Call& c) { return c.name == "glDrawArrays"; });
    ASSERT_NE(last_draw, calls.rend());
    auto restored = std::find_if(calls.rbegin(), last_draw,
                                 [](const winx::Gl_Call& c) { return c.name == "glColor4ub"; });
    ASSERT_NE(restored, last_draw) << "no colour set after the smooth drawing";
    EXPECT_EQ(restored->numbers, (std::vector<double>{255, 0, 0, 255}));

    recorder.clear();
    polyline(red, 2, TWO_POINTS);
    driver.show();
    polyline(blue, 2, TWO_POINTS);
    driver.show();
    EXPECT_EQ(recorder.count("glDisableClientState"), 1u);
    EXPECT_EQ(recorder.count("glEnableClientState"), 0u);
}

// On the host's thread no context is current: preparing a rectangle makes no
// OpenGL call (and so changes no mirror).
TEST_F(Batch_Calls, PreparingARectangleMakesNoCall) {
    HT_Rendition stippled = solid_rendition(RED_COLOR);
    stippled.face.pattern = 5;
    winx::Gl_Recorder recorder;
    driver.call(driver.actions().prepare_dc_rectangle, &stippled, 0, 10, 0, 10);
    EXPECT_EQ(recorder.calls().size(), 0u);
}

TEST(Batch_First_Draw, TheFirstPrimitiveAfterConstructionTravelsAlone) {
    Running_Device driver;
    ASSERT_TRUE(driver.start(one_call_per_primitive())) << driver.error();
    const HT_Rendition red = solid_rendition(RED_COLOR);
    winx::Gl_Recorder recorder;
    driver.call(driver.actions().draw_dc_polyline, &red, 2, TWO_POINTS);
    driver.call(driver.actions().draw_dc_polyline, &red, 3, THREE_POINTS);
    driver.call(driver.actions().draw_dc_polyline, &red, 2, TWO_POINTS);
    driver.show();
    const std::vector<winx::Gl_Call> draws = calls_named(recorder, "glDrawArrays");
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].numbers, (std::vector<double>{GL_LINE_STRIP, 0, 2}));
    EXPECT_EQ(draws[1].numbers, (std::vector<double>{GL_LINE_STRIP, 0, 3}));
    EXPECT_EQ(draws[2].numbers, (std::vector<double>{GL_LINE_STRIP, 3, 2}));
}

}  // namespace
