// The rules that decide when the queued batch is drawn, one at a time, seen
// through the recorder: every part of a state key and every change of kind or
// colour layout draws what is queued first, the vertex limit counts what is
// already queued, and every command that draws, reads or initialises draws
// the queued batch before its own work, while CMD_EXIT and the codes without
// a handler never do.
#include <functional>
#include <map>
#include <string>
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
const HT_Point3D POINTS[4] = {{1, 1, 5}, {20, 20, 5}, {40, 1, 5}, {50, 30, 5}};
const HT_RGB32 COLORS[5] = {RED_COLOR, BLUE_COLOR, RED_COLOR, BLUE_COLOR, RED_COLOR};

// The vertex counts of the primitives of each batch drawn: a non-empty flush
// sets the shade model once and then draws each queued primitive.
std::vector<std::vector<int>> batches(const winx::Gl_Recorder& recorder) {
    std::vector<std::vector<int>> found;
    for (const winx::Gl_Call& call : recorder.calls()) {
        if (call.name == "glShadeModel") found.emplace_back();
        if (call.name == "glDrawArrays" && !found.empty()) found.back().push_back(int(call.numbers.at(2)));
    }
    return found;
}

// These tests count glDrawArrays calls: one per primitive, whatever the
// context offers.
Device_Settings one_call_per_primitive() {
    Device_Settings settings;
    settings.draw = Draw_Mode::per_primitive;
    return settings;
}

class Batch_Rules : public testing::Test {
protected:
    // The first-draw rule (a first primitive travels alone) is behind each test.
    void SetUp() override {
        ASSERT_TRUE(driver.start(one_call_per_primitive())) << driver.error();
        polyline(plain, 2);
        driver.show();
    }
    void polyline(const HT_Rendition& rendition, int count) {
        driver.call(driver.actions().draw_dc_polyline, &rendition, count, POINTS);
    }
    OGL_Device_Data& object() { return *test_device::driver(&driver.device()); }

    Running_Device driver;
    const HT_Rendition plain = solid_rendition(RED_COLOR);
};

using Draw = std::function<void(Running_Device&)>;

Draw polyline_of(HT_Rendition rendition) {
    return [rendition](Running_Device& d) { d.call(d.actions().draw_dc_polyline, &rendition, 2, POINTS); };
}
// Colours from `first` on: COLORS starts red, COLORS + 1 blue.
Draw colorized_polyline_of(HT_Rendition rendition, char one_color, const HT_RGB32* first = COLORS) {
    return [rendition, one_color, first](Running_Device& d) {
        d.call(d.actions().draw_dc_colorized_polyline, &rendition, 2, POINTS, first, one_color);
    };
}
Draw gouraud_polyline_of(HT_Rendition rendition) {
    return [rendition](Running_Device& d) {
        d.call(d.actions().draw_dc_gouraud_polyline, &rendition, 2, POINTS, COLORS);
    };
}
Draw polytriangle_of(HT_Rendition rendition) {
    return [rendition](Running_Device& d) { d.call(d.actions().draw_dc_polytriangle, &rendition, 3, POINTS); };
}
Draw gouraud_polytriangle_of(HT_Rendition rendition) {
    return [rendition](Running_Device& d) {
        d.call(d.actions().draw_dc_gouraud_polytriangle, &rendition, 3, POINTS, COLORS);
    };
}
Draw dot_of(HT_Rendition rendition) {
    return [rendition](Running_Device& d) { d.call(d.actions().draw_dc_dot, &rendition, POINTS); };
}
Draw colorized_dot_of(HT_RGB32 color) {
    return [color](Running_Device& d) {
        d.call(d.actions().draw_dc_colorized_dot, nullptr, POINTS, &color);
    };
}

HT_Rendition with_color(HT_RGB32 color) { return solid_rendition(color); }
HT_Rendition with_line(int pattern, int weight) {
    HT_Rendition rendition = solid_rendition(RED_COLOR);
    rendition.line.pattern = pattern;
    rendition.line.weight = weight;
    return rendition;
}
HT_Rendition with_face(int pattern) {
    HT_Rendition rendition = solid_rendition(RED_COLOR);
    rendition.face.pattern = pattern;
    return rendition;
}

struct Pair_Case {
    const char* name;
    Draw first;
    Draw second;
    size_t batches;  // 1: the second joins the first's batch; 2: it flushes it
};

}  // namespace

TEST_F(Batch_Rules, EveryPartOfAStateKeyAndOfTheLayoutDecidesWhetherTheBatchIsShared) {
    const HT_Rendition red = with_color(RED_COLOR), blue = with_color(BLUE_COLOR);
    const std::vector<Pair_Case> cases = {
        {"same polyline key", polyline_of(red), polyline_of(red), 1},
        {"polyline colour", polyline_of(red), polyline_of(blue), 2},
        {"polyline weight", polyline_of(with_line(0, 0)), polyline_of(with_line(0, 3)), 2},
        {"polyline pattern", polyline_of(with_line(0, 0)), polyline_of(with_line(2, 0)), 2},
        {"flat then smooth polyline", polyline_of(red), gouraud_polyline_of(red), 2},
        {"smooth polylines, other colours", gouraud_polyline_of(red), gouraud_polyline_of(blue), 1},
        {"smooth polylines, other weights", gouraud_polyline_of(with_line(0, 0)),
         gouraud_polyline_of(with_line(0, 2)), 2},
        {"one colour, other first colours", colorized_polyline_of(red, 1),
         colorized_polyline_of(red, 1, COLORS + 1), 2},
        {"one colour, same first colour", colorized_polyline_of(red, 1), polyline_of(red), 1},
        {"coloured then vertex-only", colorized_polyline_of(red, 0), polyline_of(red), 2},
        {"vertex-only then coloured", polyline_of(red), colorized_polyline_of(red, 0), 2},
        {"polyline then polytriangle", polyline_of(red), polytriangle_of(red), 2},
        {"same polytriangle key", polytriangle_of(red), polytriangle_of(red), 1},
        {"polytriangle colour", polytriangle_of(red), polytriangle_of(blue), 2},
        {"polytriangle face pattern", polytriangle_of(with_face(64)), polytriangle_of(with_face(3)), 2},
        {"smooth polytriangles, other colours", gouraud_polytriangle_of(red),
         gouraud_polytriangle_of(blue), 1},
        {"smooth polytriangles, other patterns", gouraud_polytriangle_of(with_face(64)),
         gouraud_polytriangle_of(with_face(3)), 2},
        {"flat then smooth polytriangle", polytriangle_of(red), gouraud_polytriangle_of(red), 2},
        {"same dot colour", dot_of(red), dot_of(red), 1},
        {"dot colour", dot_of(red), dot_of(blue), 2},
        {"dot then coloured dot", dot_of(red), colorized_dot_of(RED_COLOR), 2},
        {"coloured dots", colorized_dot_of(RED_COLOR), colorized_dot_of(RED_COLOR), 1},
    };
    for (const Pair_Case& c : cases) {
        SCOPED_TRACE(c.name);
        winx::Gl_Recorder recorder;
        c.first(driver);
        c.second(driver);
        driver.show();
        const std::vector<std::vector<int>> drawn = batches(recorder);
        EXPECT_EQ(drawn.size(), c.batches);
        size_t primitives = 0;
        for (const std::vector<int>& batch : drawn) primitives += batch.size();
        EXPECT_EQ(primitives, 2u);
    }
}

// A polyline of 1000 vertices that had been queued in pieces could not tell
// this: the limit counts the vertices already queued.
TEST_F(Batch_Rules, TheVertexLimitCountsWhatIsAlreadyQueued) {
    std::vector<HT_Point3D> many;
    for (int i = 0; i < 200; ++i) many.push_back({float(i % 60), float(i / 60), 5});
    auto queue = [&](int count) {
        driver.call(driver.actions().draw_dc_polyline, &plain, count, many.data());
    };
    {
        winx::Gl_Recorder recorder;
        queue(200);
        queue(100);  // exactly 300: no flush
        queue(2);    // one more than fits
        driver.show();
        EXPECT_EQ(batches(recorder), (std::vector<std::vector<int>>{{200, 100}, {2}}));
    }
    {
        winx::Gl_Recorder recorder;
        queue(200);
        queue(101);
        driver.show();
        EXPECT_EQ(batches(recorder), (std::vector<std::vector<int>>{{200}, {101}}));
    }
    {
        winx::Gl_Recorder recorder;
        for (int i = 0; i < 99; ++i) queue(2);
        EXPECT_EQ(object().batch->primitive_count, 99);
        queue(2);  // the 100th goes to be drawn at once
        EXPECT_EQ(object().batch->primitive_count, 0);
        driver.show();
        EXPECT_EQ(batches(recorder), (std::vector<std::vector<int>>{std::vector<int>(100, 2)}));
    }
}

// Every command that draws, reads, presents or initialises draws the queued
// batch before its own work; the codes without a handler and CMD_EXIT leave
// it undrawn.
TEST_F(Batch_Rules, CommandsDrawTheQueuedBatchFirstExceptExitAndCodesWithoutAHandler) {
    const HT_Rendition rendition = solid_rendition(BLUE_COLOR);
    const HT_Point3D start{10, 20, 0}, end{11, 19, 0};
    const uint32_t pixels[4] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
    const uint16_t depths[4] = {0, 0, 0, 0};
    const HT_Parameter parameters[3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const float values[3] = {0, 0, 0};
    HT_Shared_Image image;
    const std::vector<std::pair<const char*, std::function<void()>>> commands = {
        {"start", [&] { driver.device().start_device(); }},
        {"show", [&] { driver.show(); }},
        {"rectangle", [&] { driver.call(driver.actions().draw_dc_rectangle, &rendition, 5, 6, 5, 6); }},
        {"image", [&] { driver.call(driver.actions().draw_dc_image, &rendition, &start, &end, 8, pixels); }},
        {"write depth",
         [&] { driver.call(driver.actions().write_dc_depth, &rendition, &start, &end, 4, depths); }},
        {"read colour", [&] { driver.call(driver.actions().read_dc_color, &rendition, &start, &end, image); }},
        {"read depth", [&] { driver.call(driver.actions().read_dc_depth, &rendition, &start, &end, image); }},
        {"textured strip",
         [&] {
             driver.call(driver.actions().draw_dc_textured_polytriangle, &rendition, 3, POINTS, COLORS,
                         parameters, values);
         }},
        {"CMD_NOOP", [&] { EXPECT_TRUE(test_device::post_raw_command(&object(), 4)); }},
    };
    for (const auto& [name, command] : commands) {
        SCOPED_TRACE(name);
        polyline(plain, 2);
        ASSERT_EQ(object().batch->vertex_total, 2);
        winx::Gl_Recorder recorder;
        command();
        const std::vector<winx::Gl_Call>& calls = recorder.calls();
        ASSERT_FALSE(calls.empty());
        // The batch's own first call comes first: its colour, then its draw.
        size_t draw = 0;
        while (draw < calls.size() && calls[draw].name != "glDrawArrays") ++draw;
        ASSERT_LT(draw, calls.size());
        EXPECT_EQ(calls[draw].numbers, (std::vector<double>{GL_LINE_STRIP, 0, 2}));
        EXPECT_EQ(calls.front().name, "glColor4ub");
        driver.show();  // what the command itself queued (the host's fallbacks)
    }

    for (int32_t code : {6, 7, 12, 13, 14, 15, 16, 17}) {
        SCOPED_TRACE(code);
        polyline(plain, 2);
        winx::Gl_Recorder recorder;
        EXPECT_TRUE(test_device::post_raw_command(&object(), code));
        EXPECT_EQ(recorder.count("glDrawArrays"), 0u);
        EXPECT_EQ(object().batch->vertex_total, 2);
        driver.show();
        EXPECT_EQ(recorder.count("glDrawArrays"), 1u);
    }

    polyline(plain, 2);
    winx::Gl_Recorder recorder;
    driver.stop();
    EXPECT_EQ(recorder.count("glDrawArrays"), 0u);
}

// Stippling is switched on for a patterned batch and off again after it, so
// that drawing outside the batch (pixels, textured strips) is never stippled
// by a pattern left behind. (A batch keeps the other kind's pattern from the
// key, so a triangle batch after a patterned polyline switches the line
// stipple too.)
TEST_F(Batch_Rules, StipplesAreOffAgainAfterEveryBatch) {
    for (const Draw& draw : {polytriangle_of(with_face(0)), polytriangle_of(with_face(72)),
                             polyline_of(with_line(3, 0)), polytriangle_of(with_face(64))}) {
        winx::Gl_Recorder recorder;
        draw(driver);
        driver.show();
        std::map<double, std::vector<std::string>> switches;
        for (const winx::Gl_Call& call : recorder.calls())
            if ((call.name == "glEnable" || call.name == "glDisable") &&
                (call.numbers.at(0) == GL_POLYGON_STIPPLE || call.numbers.at(0) == GL_LINE_STIPPLE))
                switches[call.numbers.at(0)].push_back(call.name);
        EXPECT_FALSE(switches.empty());
        for (const auto& [capability, sequence] : switches) {
            SCOPED_TRACE(capability);
            for (size_t i = 0; i < sequence.size(); ++i)
                EXPECT_EQ(sequence[i], i % 2 == 0 ? "glEnable" : "glDisable");
            EXPECT_EQ(sequence.size() % 2, 0u);
        }
    }
}
