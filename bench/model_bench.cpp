// A real model, frame after frame, the way `tovrek view` draws it: the
// host's lighting and projection and a clearing rectangle, then the model's
// strips through the driver's action table and a show. The same frames go
// through the viewer's direct-OpenGL reference in the same run. Items per
// second are frames per second. The model is the largest of Debian's
// assimp-testmodels that is a mesh (the package's PLY/pond.0.ply holds no
// faces and, as read, coordinates up to 3.4e38 and NaN: no picture).
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/baseline.h"
#include "host/loader.h"
#include "tests/support/device_fixture.h"
#include "viewer/direct_gl_device.h"
#include "viewer/model_import.h"
#include "viewer/scene_sender.h"

namespace {

constexpr const char* MODEL_PATH = "/usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb";
constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;
constexpr int BUFFER_DEPTH = 24;
// Frames of one turn of the orbit: the picture changes every frame.
constexpr int ORBIT_FRAMES = 120;

// The model, read once; null, with the reason, when it cannot be.
const Model* model_or_skip(benchmark::State& state) {
    static std::string reason;
    static const std::unique_ptr<Model> model = [] {
        auto read = std::make_unique<Model>();
        if (!import_model_file(MODEL_PATH, read.get(), &reason)) read.reset();
        return read;
    }();
    if (model == nullptr) state.SkipWithError((std::string(MODEL_PATH) + ": " + reason).c_str());
    return model.get();
}

template <class Show>
void run_frames(benchmark::State& state, const Model& model, HT_Device_Data* device, Show show) {
    Scene_Sender sender(model, View_Frame{WIDTH, HEIGHT, BUFFER_DEPTH}, false);
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
    const Model* model = model_or_skip(state);
    if (model == nullptr) return;
    test_support::Running_Device driver;
    test_support::Device_Settings settings;
    settings.width = WIDTH;
    settings.height = HEIGHT;
    settings.buffer_depth = BUFFER_DEPTH;
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
    const Model* model = model_or_skip(state);
    if (model == nullptr) return;
    HWND window = winx::create_window(WIDTH, HEIGHT, "tovrek bench: direct OpenGL model");
    if (window == nullptr) return state.SkipWithError("cannot create the window");
    {
        Direct_Gl_Device direct;
        std::string error;
        if (direct.attach(window, WIDTH, HEIGHT, BUFFER_DEPTH, &error))
            run_frames(state, *model, &direct, [&direct] { direct.show_frame(0); });
        else
            state.SkipWithError(error.c_str());
    }
    winx::destroy_window(window);
}

}  // namespace

BENCHMARK(Driver_Model_Frames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Driver_Model_Frames_Synchronous)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Direct_Gl_Model_Frames)->Unit(benchmark::kMillisecond)->UseRealTime();
static const bool model_ratio =
    bench::compare_with_baseline("Driver_Model_Frames/real_time", "Direct_Gl_Model_Frames/real_time");
static const bool model_channel_ratio =
    bench::compare_with_baseline("Driver_Model_Frames/real_time", "Driver_Model_Frames_Synchronous/real_time");
