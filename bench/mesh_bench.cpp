// Cost against work: frames of a synthetic mesh (bench/synthetic_mesh.h) of
// 10^3 to 10^6 triangles in strips of 4, 16 and 64 vertices, each frame a
// clearing rectangle, every strip as a Gouraud polytriangle, and a show.
// Three renderers take the same frames in turn: the driver
// (Driver_Mesh_Frames), the viewer's direct-OpenGL reference
// (Direct_Gl_Mesh_Frames), and all triangles in one array and one
// glDrawArrays after a clear (Ideal_Gl_Mesh_Frames). Names carry
// /triangles:N/strip:V; items per second are triangles per second. The
// 10^6 cases take a second or more a frame, so they run two frames.
#include <string>
#include <utility>

#include <benchmark/benchmark.h>

#include "bench/direct_reference.h"
#include "bench/synthetic_mesh.h"
#include "bench/triangle_array.h"
#include "platform/gl.h"
#include "tests/support/device_fixture.h"

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;
constexpr int BUFFER_DEPTH = 24;
constexpr HT_RGB32 BACKGROUND = 0xFF283040u;
constexpr size_t LARGEST = 1000000;

// The mesh of the benchmark's arguments; the last one is kept, since each
// benchmark is run several times in a row.
const bench::Synthetic_Mesh& mesh_of(const benchmark::State& state) {
    static size_t triangles = 0;
    static int strip = 0;
    static bench::Synthetic_Mesh mesh;
    if (size_t(state.range(0)) != triangles || int(state.range(1)) != strip) {
        triangles = size_t(state.range(0));
        strip = int(state.range(1));
        mesh = bench::make_synthetic_mesh(triangles, strip, WIDTH, HEIGHT, BUFFER_DEPTH);
    }
    return mesh;
}

// The clearing rectangle, then the first `strips` strips of the mesh.
void send_strips(HT_Device_Data* device, const bench::Synthetic_Mesh& mesh, size_t strips) {
    const HT_Action_Table& actions = device->actions;
    HT_Rendition rendition = test_support::solid_rendition(BACKGROUND);
    actions.draw_dc_rectangle.function(actions.draw_dc_rectangle.object, &rendition, 0, WIDTH - 1, 0, HEIGHT - 1);
    const HT_Action<HT_Gouraud_Polytriangle_Action>& strip = actions.draw_dc_gouraud_polytriangle;
    const HT_Point3D* points = mesh.points.data();
    const HT_RGB32* colors = mesh.colors.data();
    for (size_t s = 0; s < strips && s < mesh.strip_sizes.size(); ++s) {
        const int size = mesh.strip_sizes[s];
        strip.function(strip.object, &rendition, size, points, colors);
        points += size;
        colors += size;
    }
}

void set_figures(benchmark::State& state, const bench::Synthetic_Mesh& mesh) {
    state.SetItemsProcessed(state.iterations() * int64_t(mesh.triangle_count()));
    state.counters["strips"] = double(mesh.strip_sizes.size());
}

// Sends the mesh's frames to a device; one frame of a single strip first,
// untimed, so that the renderer's first-use costs are not in the figure.
template <class Show>
void device_frames(benchmark::State& state, HT_Device_Data* device, Show show) {
    const bench::Synthetic_Mesh& mesh = mesh_of(state);
    send_strips(device, mesh, 1);
    show();
    for (auto _ : state) {
        send_strips(device, mesh, mesh.strip_sizes.size());
        show();
    }
    set_figures(state, mesh);
}

void Driver_Mesh_Frames(benchmark::State& state) {
    test_support::Running_Device driver;
    test_support::Device_Settings settings;
    settings.width = WIDTH;
    settings.height = HEIGHT;
    settings.buffer_depth = BUFFER_DEPTH;
    if (!driver.start(settings)) return state.SkipWithError(driver.error().c_str());
    device_frames(state, &driver.device(), [&driver] { driver.show(); });
}

void Direct_Gl_Mesh_Frames(benchmark::State& state) {
    bench::Direct_Reference direct;
    if (!direct.start_or_skip(WIDTH, HEIGHT, BUFFER_DEPTH, state)) return;
    Direct_Gl_Device& device = direct.device();
    device_frames(state, &device, [&device] { device.show_frame(0); });
}

// The floor: the triangles are laid out once, and each frame is a clear and
// one draw of them all.
void Ideal_Gl_Mesh_Frames(benchmark::State& state) {
    bench::Direct_Reference direct;
    if (!direct.start_or_skip(WIDTH, HEIGHT, BUFFER_DEPTH, state)) return;
    const bench::Synthetic_Mesh& mesh = mesh_of(state);
    bench::Triangle_Array triangles;
    triangles.add_strip(mesh.points.data(), mesh.colors.data(), mesh.strip_sizes.front());
    glShadeModel(GL_SMOOTH);
    glClearColor(HT_Red(BACKGROUND) / 255.0f, HT_Green(BACKGROUND) / 255.0f, HT_Blue(BACKGROUND) / 255.0f, 1.0f);
    auto frame = [&] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        triangles.draw();
        direct.device().show_frame(0);
    };
    frame();
    triangles.clear();
    const HT_Point3D* points = mesh.points.data();
    const HT_RGB32* colors = mesh.colors.data();
    for (int size : mesh.strip_sizes) {
        triangles.add_strip(points, colors, size);
        points += size;
        colors += size;
    }
    for (auto _ : state) frame();
    set_figures(state, mesh);
}

const bool registered = [] {
    for (size_t triangles = 1000; triangles <= LARGEST; triangles *= 10) {
        for (int strip : {4, 16, 64}) {
            for (auto renderer : {std::make_pair("Driver_Mesh_Frames", Driver_Mesh_Frames),
                                  std::make_pair("Direct_Gl_Mesh_Frames", Direct_Gl_Mesh_Frames),
                                  std::make_pair("Ideal_Gl_Mesh_Frames", Ideal_Gl_Mesh_Frames)}) {
                benchmark::internal::Benchmark* benchmark =
                    benchmark::RegisterBenchmark(renderer.first, renderer.second)
                        ->Args({int64_t(triangles), strip})
                        ->ArgNames({"triangles", "strip"})
                        ->Unit(benchmark::kMillisecond)
                        ->UseRealTime();
                if (triangles == LARGEST) benchmark->Iterations(2);
            }
        }
    }
    return true;
}();

}  // namespace
