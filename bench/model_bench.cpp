// A real model, frame after frame, the way `tovrek view` draws it: the
// host's lighting and projection and a clearing rectangle, then the model's
// strips through the driver's action table and a show. The same run takes
// the baselines a user could pick instead: the viewer's direct-OpenGL
// reference, the same with Mesa's threaded dispatch (in a process of its
// own, bench/glthread_frames.h), the viewer's software reference (the host's
// standard routines into memory), and the floor this OpenGL allows: the
// same lit and projected triangles in one glDrawArrays. Items per second
// are frames per second.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/baseline.h"
#include "bench/direct_reference.h"
#include "bench/engine_model.h"
#include "bench/glthread_frames.h"
#include "bench/triangle_array.h"
#include "platform/gl.h"
#include "tests/support/device_fixture.h"
#include "viewer/model_view.h"
#include "viewer/scene_sender.h"
#include "viewer/software_device.h"

namespace {

using bench::MODEL_BUFFER_DEPTH;
using bench::MODEL_HEIGHT;
using bench::MODEL_WIDTH;
using bench::ORBIT_FRAMES;

const View_Frame MODEL_FRAME{MODEL_WIDTH, MODEL_HEIGHT, MODEL_BUFFER_DEPTH};

template <class Show>
void run_frames(benchmark::State& state, const Model& model, HT_Device_Data* device, Show show) {
    Scene_Sender sender(model, MODEL_FRAME, false);
    int frame = 0;
    for (auto _ : state) {
        sender.draw_frame(device, frame++ % ORBIT_FRAMES, ORBIT_FRAMES);
        show();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["vertices"] = double(model.vertex_count());
    state.counters["strips"] = double(sender.strip_count());
}

void driver_model_frames(benchmark::State& state, test_support::Channel channel) {
    const Model* model = bench::engine_model_or_skip(state);
    if (model == nullptr) return;
    test_support::Running_Device driver;
    test_support::Device_Settings settings;
    settings.width = MODEL_WIDTH;
    settings.height = MODEL_HEIGHT;
    settings.buffer_depth = MODEL_BUFFER_DEPTH;
    settings.channel = channel;
    if (!driver.start(settings)) return state.SkipWithError(driver.error().c_str());
    run_frames(state, *model, &driver.device(), [&driver] { driver.show(); });
}

void Driver_Model_Frames(benchmark::State& state) { driver_model_frames(state, test_support::Channel::handed_over); }

// The same on the one-slot channel, where every flush waits for its batch.
void Driver_Model_Frames_Synchronous(benchmark::State& state) {
    driver_model_frames(state, test_support::Channel::synchronous);
}

void Direct_Gl_Model_Frames(benchmark::State& state) {
    const Model* model = bench::engine_model_or_skip(state);
    if (model == nullptr) return;
    bench::Direct_Reference direct;
    if (!direct.start_or_skip(MODEL_WIDTH, MODEL_HEIGHT, MODEL_BUFFER_DEPTH, state)) return;
    Direct_Gl_Device& device = direct.device();
    run_frames(state, *model, &device, [&device] { device.show_frame(0); });
}

// The direct reference in a child process that has Mesa's threaded dispatch
// on; each frame is one request and one answer over a socket, a few
// microseconds against frames of tens of milliseconds.
void Direct_Gl_Model_Frames_Glthread(benchmark::State& state) {
    bench::Glthread_Frame_Server server;
    std::string error;
    if (!server.start(&error)) return state.SkipWithError(error.c_str());
    for (auto _ : state) {
        if (!server.draw_frame(&error)) return state.SkipWithError(error.c_str());
    }
    state.SetItemsProcessed(state.iterations());
}

// The same frames without any per-strip cost: the host's lighting and
// projection, then every triangle of every mesh in one array and one call
// (the engine has no textures and no point clouds), a clear for the
// rectangle.
void Ideal_Gl_Model_Frames(benchmark::State& state) {
    const Model* model = bench::engine_model_or_skip(state);
    if (model == nullptr) return;
    bench::Direct_Reference direct;
    if (!direct.start_or_skip(MODEL_WIDTH, MODEL_HEIGHT, MODEL_BUFFER_DEPTH, state)) return;
    Model_View view(*model, MODEL_FRAME);
    std::vector<HT_Point3D> points;
    std::vector<HT_RGB32> colors;
    bench::Triangle_Array triangles;
    glShadeModel(GL_SMOOTH);
    glClearColor(HT_Red(VIEW_BACKGROUND) / 255.0f, HT_Green(VIEW_BACKGROUND) / 255.0f,
                 HT_Blue(VIEW_BACKGROUND) / 255.0f, 1.0f);
    int frame = 0;
    for (auto _ : state) {
        view.set_orbit_frame(frame++ % ORBIT_FRAMES, ORBIT_FRAMES);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        triangles.clear();
        for (const Model_Mesh& mesh : model->meshes) {
            view.project(mesh, &points, &colors);
            for (uint32_t index : mesh.triangles) triangles.add(points[index], colors[index]);
        }
        triangles.draw();
        direct.device().show_frame(0);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["vertices"] = double(triangles.vertex_count());
}

void Software_Model_Frames(benchmark::State& state) {
    const Model* model = bench::engine_model_or_skip(state);
    if (model == nullptr) return;
    Software_Device device(MODEL_WIDTH, MODEL_HEIGHT, MODEL_BUFFER_DEPTH);
    run_frames(state, *model, &device, [] {});
}

}  // namespace

BENCHMARK(Driver_Model_Frames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Driver_Model_Frames_Synchronous)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Direct_Gl_Model_Frames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Direct_Gl_Model_Frames_Glthread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Ideal_Gl_Model_Frames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Software_Model_Frames)->Unit(benchmark::kMillisecond)->UseRealTime();
static const bool model_ratio =
    bench::compare_with_baseline("Driver_Model_Frames/real_time", "Direct_Gl_Model_Frames/real_time");
static const bool model_channel_ratio =
    bench::compare_with_baseline("Driver_Model_Frames/real_time", "Driver_Model_Frames_Synchronous/real_time");
static const bool glthread_ratio =
    bench::compare_with_baseline("Driver_Model_Frames/real_time", "Direct_Gl_Model_Frames_Glthread/real_time");
static const bool ideal_ratio =
    bench::compare_with_baseline("Driver_Model_Frames/real_time", "Ideal_Gl_Model_Frames/real_time");
static const bool software_ratio =
    bench::compare_with_baseline("Driver_Model_Frames/real_time", "Software_Model_Frames/real_time");
