// Objects side by side: N renderer objects (1, 2, 4, 8, 16), each on a host
// thread and in a 320 × 240 window of its own, each drawing the engine's
// frames as `tovrek view` does; the driver's objects
// (Driver_Model_Objects/objects:N) against as many direct-OpenGL reference
// contexts (Direct_Gl_Model_Objects/objects:N). Items per second are the
// frames of all objects together. Each object draws one frame untimed
// first, then two frames a round (bench/object_threads.h).
#include <memory>
#include <string>
#include <utility>

#include <benchmark/benchmark.h>

#include "bench/baseline.h"
#include "bench/direct_reference.h"
#include "bench/engine_model.h"
#include "bench/object_threads.h"
#include "tests/support/device_fixture.h"
#include "viewer/scene_sender.h"

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;
constexpr int BUFFER_DEPTH = 24;
constexpr int FRAMES_PER_ROUND = 2;
constexpr int MOST_OBJECTS = 16;

using bench::ORBIT_FRAMES;

class Driver_Object : public bench::Object_Frames {
public:
    explicit Driver_Object(const Model& model) : sender_(model, View_Frame{WIDTH, HEIGHT, BUFFER_DEPTH}, false) {}
    bool start(std::string* error) {
        test_support::Device_Settings settings;
        settings.width = WIDTH;
        settings.height = HEIGHT;
        settings.buffer_depth = BUFFER_DEPTH;
        if (driver_.start(settings)) return true;
        *error = driver_.error();
        return false;
    }
    void draw_frame() override {
        sender_.draw_frame(&driver_.device(), frame_++ % ORBIT_FRAMES, ORBIT_FRAMES);
        driver_.show();
    }

private:
    test_support::Running_Device driver_;
    Scene_Sender sender_;
    int frame_ = 0;
};

class Direct_Object : public bench::Object_Frames {
public:
    explicit Direct_Object(const Model& model) : sender_(model, View_Frame{WIDTH, HEIGHT, BUFFER_DEPTH}, false) {}
    bool start(std::string* error) { return direct_.start(WIDTH, HEIGHT, BUFFER_DEPTH, error); }
    void draw_frame() override {
        sender_.draw_frame(&direct_.device(), frame_++ % ORBIT_FRAMES, ORBIT_FRAMES);
        direct_.device().show_frame(0);
    }

private:
    bench::Direct_Reference direct_;
    Scene_Sender sender_;
    int frame_ = 0;
};

template <class Object>
void model_objects(benchmark::State& state) {
    const Model* model = bench::engine_model_or_skip(state);
    if (model == nullptr) return;
    const int objects = int(state.range(0));
    bench::Object_Threads threads(objects, [model](std::string* error) -> std::unique_ptr<bench::Object_Frames> {
        auto object = std::make_unique<Object>(*model);
        if (!object->start(error)) return nullptr;
        object->draw_frame();
        return object;
    });
    if (!threads.error().empty()) return state.SkipWithError(threads.error().c_str());
    for (auto _ : state) threads.draw_round(FRAMES_PER_ROUND);
    state.SetItemsProcessed(state.iterations() * objects * FRAMES_PER_ROUND);
}

void Driver_Model_Objects(benchmark::State& state) { model_objects<Driver_Object>(state); }
void Direct_Gl_Model_Objects(benchmark::State& state) { model_objects<Direct_Object>(state); }

const bool registered = [] {
    for (int objects = 1; objects <= MOST_OBJECTS; objects *= 2) {
        for (auto renderer : {std::make_pair("Driver_Model_Objects", Driver_Model_Objects),
                              std::make_pair("Direct_Gl_Model_Objects", Direct_Gl_Model_Objects)})
            benchmark::RegisterBenchmark(renderer.first, renderer.second)
                ->Arg(objects)
                ->ArgName("objects")
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        const std::string suffix = "/objects:" + std::to_string(objects) + "/real_time";
        bench::compare_with_baseline(("Driver_Model_Objects" + suffix).c_str(),
                                     ("Direct_Gl_Model_Objects" + suffix).c_str());
    }
    return true;
}();

}  // namespace
