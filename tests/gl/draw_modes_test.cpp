// Drawing a batch with one call against one glDrawArrays per primitive: a
// generated scene of every batched kind and state (dots, line strips with and
// without a line pattern and wider than a pixel, flat and smooth, with and
// without colours, face patterns, primitives longer than the batch, with
// rectangles between them that set state of their own) shows the
// same pixels either way, at several depths of device z. Plain OpenGL 1.1
// keeps one call per primitive, and the environment and the driver's
// registry key force it.
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/gl.h"
#include "platform/gl_layers.h"
#include "platform/winx.h"
#include "tests/support/device_fixture.h"
#include "tests/support/test_device.h"

using namespace test_support;

namespace {

constexpr int SIZE = 96;

// A small generator of its own, so that the scene is the same on every run.
class Scene_Numbers {
public:
    int below(int range) {
        seed_ = seed_ * 1664525u + 1013904223u;
        return int((seed_ >> 8) % uint32_t(range));
    }
    float coordinate() { return float(below(SIZE * 8)) / 8.0f - 2.0f; }
    HT_RGB32 color() { return HT_Make_RGB32(uint8_t(below(256)), uint8_t(below(256)), uint8_t(below(256))); }

private:
    uint32_t seed_ = 2024;
};

// Runs of primitives of one rendition (so that batches hold many), each run
// of one action with a random rendition; now and then a primitive longer
// than the batch.
void draw_scene(Running_Device& driver) {
    Scene_Numbers numbers;
    auto& actions = driver.actions();
    driver.clear_frame(HT_Make_RGB32(20, 20, 20));
    for (int run = 0; run < 160; ++run) {
        HT_Rendition rendition = solid_rendition(numbers.color());
        rendition.line.pattern = numbers.below(3) == 0 ? 0 : numbers.below(9);
        rendition.line.weight = numbers.below(4);
        rendition.face.pattern = numbers.below(2) == 0 ? HT_SOLID_FACE_PATTERN : numbers.below(73);
        // Now and then a rectangle between the runs: it sets the colour,
        // the shading and the face pattern on its own, and the batches after
        // it must not take what it left for their own state.
        if (numbers.below(4) == 0) {
            HT_Rendition box = solid_rendition(numbers.color());
            box.face.pattern = numbers.below(2) == 0 ? HT_SOLID_FACE_PATTERN : numbers.below(73);
            const int left = numbers.below(SIZE);
            const int bottom = numbers.below(SIZE);
            driver.call(actions.draw_dc_rectangle, &box, left, left + 1 + numbers.below(24), bottom,
                        bottom + 1 + numbers.below(24));
        }
        const int action = numbers.below(8);
        const int primitives = 1 + numbers.below(14);
        for (int p = 0; p < primitives; ++p) {
            const bool long_one = numbers.below(60) == 0;
            const int count = long_one ? 300 + numbers.below(400) : (action < 2 ? 1 : 2) + numbers.below(7);
            std::vector<HT_Point3D> points;
            std::vector<HT_RGB32> colors;
            for (int v = 0; v < count; ++v) {
                points.push_back({numbers.coordinate(), numbers.coordinate(), float(numbers.below(60000))});
                colors.push_back(numbers.color());
            }
            const HT_Point3D* at = points.data();
            const HT_RGB32* tints = colors.data();
            switch (action) {
            case 0: driver.call(actions.draw_dc_dot, &rendition, at); break;
            case 1: driver.call(actions.draw_dc_colorized_dot, &rendition, at, tints); break;
            case 2: driver.call(actions.draw_dc_polyline, &rendition, count, at); break;
            case 3: driver.call(actions.draw_dc_colorized_polyline, &rendition, count, at, tints, char(0)); break;
            case 4: driver.call(actions.draw_dc_gouraud_polyline, &rendition, count, at, tints); break;
            case 5: driver.call(actions.draw_dc_polytriangle, &rendition, count, at); break;
            case 6:
                driver.call(actions.draw_dc_colorized_polytriangle, &rendition, count, at, tints, char(0));
                break;
            default: driver.call(actions.draw_dc_gouraud_polytriangle, &rendition, count, at, tints); break;
            }
        }
    }
}

struct Scene_Result {
    std::vector<uint32_t> pixels;
    Batch_Draw batch_draw = Batch_Draw::per_primitive;
    size_t per_primitive_calls = 0;
    size_t batch_calls = 0;
};

Scene_Result scene_drawn(Draw_Mode draw, int buffer_depth) {
    Scene_Result result;
    Running_Device driver;
    Device_Settings settings;
    settings.width = settings.height = SIZE;
    settings.buffer_depth = buffer_depth;
    settings.draw = draw;
    if (!driver.start(settings)) {
        ADD_FAILURE() << driver.error();
        return result;
    }
    winx::Gl_Recorder recorder;
    draw_scene(driver);
    const winx::Window_Snapshot shown = driver.show_and_capture();
    result.pixels = shown.pixels;
    result.batch_draw = test_device::driver(&driver.device())->batch_draw;
    result.per_primitive_calls = recorder.count("glDrawArrays");
    result.batch_calls = recorder.count("glMultiDrawArrays") + recorder.count("glDrawElements");
    return result;
}

// Answers the version and extension strings as a context of plain OpenGL
// 1.1 would, with or without the multi-draw extension.
struct Old_Context {
    static bool with_extension;
    winx::Gl_Layer layer;

    explicit Old_Context(bool extension) {
        with_extension = extension;
        layer.entries.GetString = &get_string;
        active = this;
        winx::install_gl_layer(&layer, winx::Gl_Layer_Place::top);
    }
    ~Old_Context() {
        winx::remove_gl_layer(&layer);
        active = nullptr;
    }
    static const GLubyte* get_string(GLenum name) {
        if (name == GL_VERSION) return reinterpret_cast<const GLubyte*>("1.1 Old");
        if (name == GL_EXTENSIONS)
            return reinterpret_cast<const GLubyte*>(with_extension ? "GL_EXT_bgra GL_EXT_multi_draw_arrays"
                                                                   : "GL_EXT_bgra GL_EXT_multi_draw_arraysX");
        return active->layer.below().GetString(name);
    }
    static Old_Context* active;
};
bool Old_Context::with_extension = false;
Old_Context* Old_Context::active = nullptr;

}  // namespace

TEST(Draw_Modes, AGeneratedSceneShowsTheSamePixelsEitherWay) {
    for (int depth : {24, 16, 0}) {
        const Scene_Result per_primitive = scene_drawn(Draw_Mode::per_primitive, depth);
        const Scene_Result per_batch = scene_drawn(Draw_Mode::per_batch, depth);
        EXPECT_EQ(per_primitive.batch_draw, Batch_Draw::per_primitive);
        EXPECT_EQ(per_primitive.batch_calls, 0u) << depth;
        EXPECT_EQ(per_batch.batch_draw, Batch_Draw::one_call) << "this OpenGL offers glMultiDrawArrays";
        EXPECT_GT(per_batch.batch_calls, 50u) << depth;
        EXPECT_LT(per_batch.per_primitive_calls + per_batch.batch_calls, per_primitive.per_primitive_calls / 2);
        ASSERT_EQ(per_primitive.pixels.size(), size_t(SIZE * SIZE));
        size_t differing = 0;
        for (size_t i = 0; i < per_primitive.pixels.size(); ++i)
            if (per_primitive.pixels[i] != per_batch.pixels[i]) ++differing;
        EXPECT_EQ(differing, 0u) << "pixels differ at depth " << depth;
    }
}

TEST(Draw_Modes, PlainOpenGl11DrawsEachPrimitiveWithACallOfItsOwn) {
    for (bool extension : {false, true}) {
        Old_Context old(extension);
        Running_Device driver;
        Device_Settings settings;
        settings.draw = Draw_Mode::per_batch;
        ASSERT_TRUE(driver.start(settings)) << driver.error();
        const HT_Rendition red = solid_rendition(HT_Make_RGB32(255, 0, 0));
        const HT_Point3D line[2] = {{1, 1, 5}, {20, 20, 5}};
        driver.call(driver.actions().draw_dc_polyline, &red, 2, line);
        driver.show();
        winx::Gl_Recorder recorder;
        for (int i = 0; i < 3; ++i) driver.call(driver.actions().draw_dc_polyline, &red, 2, line);
        driver.show();
        EXPECT_EQ(recorder.count("glDrawArrays"), extension ? 0u : 3u);
        EXPECT_EQ(recorder.count("glMultiDrawArrays"), extension ? 1u : 0u);
    }
}

// TOVREK_DRAW_PER_PRIMITIVE=1 or a DWORD "Draw Per Primitive" other than 0
// under SOFTWARE\tovrek; anything else leaves one call per batch.
TEST(Draw_Modes, TheEnvironmentAndTheDriversKeyForceOneCallPerPrimitive) {
    const char* key = "SOFTWARE\\tovrek";
    struct Setting {
        const char* environment;  // null: not set
        int registry;             // -1: no value
        bool per_primitive;
    };
    const Setting settings[] = {{nullptr, -1, false}, {"1", -1, true}, {"0", -1, false}, {"yes", -1, false},
                                {nullptr, 1, true},   {nullptr, 0, false}, {"0", 3, true}};
    unsetenv("TOVREK_SYNCHRONOUS");
    for (const Setting& setting : settings) {
        if (setting.environment)
            setenv("TOVREK_DRAW_PER_PRIMITIVE", setting.environment, 1);
        else
            unsetenv("TOVREK_DRAW_PER_PRIMITIVE");
        winx::registry_remove_key(key);
        if (setting.registry >= 0) winx::registry_set_dword(key, "Draw Per Primitive", DWORD(setting.registry));
        HT_Device_Data* device = test_device::create();
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(test_device::driver(device)->draw_per_primitive, setting.per_primitive)
            << (setting.environment ? setting.environment : "unset") << ", " << setting.registry;
        EXPECT_FALSE(test_device::driver(device)->synchronous) << "the channel is a switch of its own";
        test_device::destroy(device);
    }
    winx::registry_remove_key(key);
    unsetenv("TOVREK_DRAW_PER_PRIMITIVE");
}
