// The batch's throughput: many small polylines of one key through the driver
// against the same polylines drawn by direct OpenGL from one thread; and
// polylines of alternating colours, one hand-over to the render thread each,
// against the same drawn directly and against a bare ping-pong of two threads
// over events. Each driver figure is also taken on the one-slot channel
// (_Synchronous), where every flush waits for its batch to be drawn. The
// driver runs count what the host's thread allocates while it appends and
// hands batches over.
#include <cmath>
#include <cstdint>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/allocation_count.h"
#include "bench/baseline.h"
#include "bench/direct_gl.h"
#include "bench/start_or_skip.h"
#include "platform/gl.h"
#include "platform/windows.h"
#include "tests/support/device_fixture.h"

namespace {

constexpr int WINDOW_SIZE = 256;
constexpr int BUFFER_DEPTH = 24;
constexpr int POLYLINES_PER_FRAME = 3000;

// Polylines of 2, 3 and 4 vertices in turn, scattered over the window.
struct Polylines {
    std::vector<HT_Point3D> points;
    std::vector<int> sizes;
};

const Polylines& small_polylines() {
    static const Polylines polylines = [] {
        Polylines made;
        uint32_t seed = 12345;
        auto next = [&seed](int range) {
            seed = seed * 1664525u + 1013904223u;
            return float((seed >> 8) % uint32_t(range));
        };
        for (int i = 0; i < POLYLINES_PER_FRAME; ++i) {
            const int size = 2 + i % 3;
            made.sizes.push_back(size);
            for (int v = 0; v < size; ++v)
                made.points.push_back({next(WINDOW_SIZE), next(WINDOW_SIZE), next(1 << 20)});
        }
        return made;
    }();
    return polylines;
}

void same_key_polylines(benchmark::State& state, test_support::Channel channel) {
    test_support::Running_Device driver;
    if (!bench::start_or_skip(driver, WINDOW_SIZE, BUFFER_DEPTH, state, channel)) return;
    const Polylines& polylines = small_polylines();
    const HT_Rendition rendition = test_support::solid_rendition(HT_Make_RGB32(200, 200, 60));
    const HT_Action<HT_Polyline_Action> polyline = driver.actions().draw_dc_polyline;
    unsigned long allocations = 0;
    for (auto _ : state) {
        const unsigned long before = bench::thread_allocations();
        const HT_Point3D* points = polylines.points.data();
        for (int size : polylines.sizes) {
            polyline.function(polyline.object, &rendition, size, points);
            points += size;
        }
        allocations += bench::thread_allocations() - before;
        driver.show();
    }
    state.SetItemsProcessed(state.iterations() * POLYLINES_PER_FRAME);
    state.counters["host_allocations"] = double(allocations);
}

void Driver_Same_Key_Polylines(benchmark::State& state) {
    same_key_polylines(state, test_support::Channel::handed_over);
}
BENCHMARK(Driver_Same_Key_Polylines)->Unit(benchmark::kMillisecond)->UseRealTime();

void Driver_Same_Key_Polylines_Synchronous(benchmark::State& state) {
    same_key_polylines(state, test_support::Channel::synchronous);
}
BENCHMARK(Driver_Same_Key_Polylines_Synchronous)->Unit(benchmark::kMillisecond)->UseRealTime();

void Direct_Gl_Polylines(benchmark::State& state) {
    bench::Direct_Gl_Window direct;
    if (!bench::start_or_skip(direct, WINDOW_SIZE, BUFFER_DEPTH, state)) return;
    const Polylines& polylines = small_polylines();
    glColor4ub(200, 200, 60, 255);
    for (auto _ : state) {
        const HT_Point3D* points = polylines.points.data();
        for (int size : polylines.sizes) {
            glVertexPointer(3, GL_FLOAT, sizeof(HT_Point3D), points);
            glDrawArrays(GL_LINE_STRIP, 0, size);
            points += size;
        }
        direct.present();
    }
    state.SetItemsProcessed(state.iterations() * POLYLINES_PER_FRAME);
}
BENCHMARK(Direct_Gl_Polylines)->Unit(benchmark::kMillisecond)->UseRealTime();

const bool same_key_compared =
    bench::compare_with_baseline("Driver_Same_Key_Polylines/real_time", "Direct_Gl_Polylines/real_time");
const bool same_key_channels_compared = bench::compare_with_baseline(
    "Driver_Same_Key_Polylines/real_time", "Driver_Same_Key_Polylines_Synchronous/real_time");

// Every polyline changes the colour, so every one is handed to the render
// thread on its own.
void alternating_colors(benchmark::State& state, test_support::Channel channel) {
    test_support::Running_Device driver;
    if (!bench::start_or_skip(driver, WINDOW_SIZE, BUFFER_DEPTH, state, channel)) return;
    constexpr int polylines_per_frame = 500;
    const HT_Rendition red = test_support::solid_rendition(HT_Make_RGB32(255, 0, 0));
    const HT_Rendition blue = test_support::solid_rendition(HT_Make_RGB32(0, 0, 255));
    const HT_Action<HT_Polyline_Action> polyline = driver.actions().draw_dc_polyline;
    const HT_Point3D segment[2] = {{10, 10, 100}, {200, 150, 100}};
    unsigned long allocations = 0;
    for (auto _ : state) {
        const unsigned long before = bench::thread_allocations();
        for (int i = 0; i < polylines_per_frame; ++i)
            polyline.function(polyline.object, i % 2 == 0 ? &red : &blue, 2, segment);
        allocations += bench::thread_allocations() - before;
        driver.show();
    }
    state.SetItemsProcessed(state.iterations() * polylines_per_frame);
    state.counters["host_allocations"] = double(allocations);
}

void Driver_Alternating_Colors(benchmark::State& state) {
    alternating_colors(state, test_support::Channel::handed_over);
}
BENCHMARK(Driver_Alternating_Colors)->Unit(benchmark::kMillisecond)->UseRealTime();

void Driver_Alternating_Colors_Synchronous(benchmark::State& state) {
    alternating_colors(state, test_support::Channel::synchronous);
}
BENCHMARK(Driver_Alternating_Colors_Synchronous)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same alternating polylines drawn directly: what the drawing costs
// without any hand-over.
void Direct_Gl_Alternating_Colors(benchmark::State& state) {
    bench::Direct_Gl_Window direct;
    if (!bench::start_or_skip(direct, WINDOW_SIZE, BUFFER_DEPTH, state)) return;
    constexpr int polylines_per_frame = 500;
    const HT_Point3D segment[2] = {{10, 10, 100}, {200, 150, 100}};
    for (auto _ : state) {
        for (int i = 0; i < polylines_per_frame; ++i) {
            if (i % 2 == 0)
                glColor4ub(255, 0, 0, 255);
            else
                glColor4ub(0, 0, 255, 255);
            glVertexPointer(3, GL_FLOAT, sizeof(HT_Point3D), segment);
            glDrawArrays(GL_LINE_STRIP, 0, 2);
        }
        direct.present();
    }
    state.SetItemsProcessed(state.iterations() * polylines_per_frame);
}
BENCHMARK(Direct_Gl_Alternating_Colors)->Unit(benchmark::kMillisecond)->UseRealTime();

const bool alternating_compared = bench::compare_with_baseline(
    "Driver_Alternating_Colors/real_time", "Direct_Gl_Alternating_Colors/real_time");
const bool alternating_channels_compared = bench::compare_with_baseline(
    "Driver_Alternating_Colors/real_time", "Driver_Alternating_Colors_Synchronous/real_time");

// Two threads that hand one event back and forth: the least a hand-over
// between the host's thread and a render thread can cost.
void Event_Ping_Pong(benchmark::State& state) {
    constexpr int exchanges_per_round = 500;
    HANDLE posted = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    bool running = true;
    std::thread answerer([&] {
        for (;;) {
            WaitForSingleObject(posted, INFINITE);
            const bool go_on = running;
            SetEvent(done);
            if (!go_on) return;
        }
    });
    for (auto _ : state) {
        for (int i = 0; i < exchanges_per_round; ++i) {
            SetEvent(posted);
            WaitForSingleObject(done, INFINITE);
        }
    }
    running = false;
    SetEvent(posted);
    WaitForSingleObject(done, INFINITE);
    answerer.join();
    CloseHandle(posted);
    CloseHandle(done);
    state.SetItemsProcessed(state.iterations() * exchanges_per_round);
}
BENCHMARK(Event_Ping_Pong)->Unit(benchmark::kMillisecond)->UseRealTime();

const bool handshake_compared =
    bench::compare_with_baseline("Driver_Alternating_Colors/real_time", "Event_Ping_Pong/real_time");

}  // namespace
