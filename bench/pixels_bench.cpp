// Pixel transfers: a full-window colour readback through the driver's
// ordinary path against one glReadPixels of the same rectangle from one
// thread, in the format the driver reads (the host's byte order, the fastest
// this OpenGL offers) and, for comparison, in red, green, blue, alpha; image
// drawing in pixels per second against one glDrawPixels of the
// same image; and the host's save-and-restore cycle (colour and depth read,
// then drawn and written back) through the board against the ordinary path.
#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/baseline.h"
#include "bench/direct_gl.h"
#include "bench/start_or_skip.h"
#include "driver/device.h"
#include "platform/gl.h"
#include "tests/support/device_fixture.h"

namespace {

constexpr int WINDOW_SIZE = 512;
constexpr int BUFFER_DEPTH = 24;
constexpr int64_t WINDOW_PIXELS = int64_t(WINDOW_SIZE) * WINDOW_SIZE;
constexpr HT_Point3D WINDOW_START{0, WINDOW_SIZE - 1, 0};
constexpr HT_Point3D WINDOW_END{WINDOW_SIZE - 1, 0, 0};

// The driver's own object, for the switches that the start-up checks and the
// options would otherwise set.
OGL_Device_Data& driver_object(test_support::Running_Device& driver) {
    return static_cast<OGL_Device_Data&>(driver.device());
}

// Opaque pixels of many colours, top row first.
const std::vector<uint32_t>& window_image() {
    static const std::vector<uint32_t> image = [] {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < WINDOW_SIZE; ++y)
            for (int x = 0; x < WINDOW_SIZE; ++x)
                pixels.push_back(HT_Make_RGB32(uint8_t(x), uint8_t(y), uint8_t(x ^ y)));
        return pixels;
    }();
    return image;
}

void Driver_Read_Window_Color(benchmark::State& state) {
    test_support::Running_Device driver;
    if (!bench::start_or_skip(driver, WINDOW_SIZE, BUFFER_DEPTH, state)) return;
    driver_object(driver).fast_readback = false;
    const HT_Rendition rendition;
    for (auto _ : state) {
        HT_Shared_Image image;
        driver.call(driver.actions().read_dc_color, &rendition, &WINDOW_START, &WINDOW_END, image);
        benchmark::DoNotOptimize(image.get());
    }
    state.SetItemsProcessed(state.iterations() * WINDOW_PIXELS);
}
BENCHMARK(Driver_Read_Window_Color)->Unit(benchmark::kMillisecond)->UseRealTime();

void read_window_directly(benchmark::State& state, GLenum format) {
    bench::Direct_Gl_Window direct;
    if (!bench::start_or_skip(direct, WINDOW_SIZE, BUFFER_DEPTH, state)) return;
    std::vector<uint32_t> pixels(WINDOW_PIXELS);
    for (auto _ : state) {
        glFinish();
        glReadPixels(0, 0, WINDOW_SIZE, WINDOW_SIZE, format, GL_UNSIGNED_BYTE, pixels.data());
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * WINDOW_PIXELS);
}

// The fair baseline: blue, green, red, alpha, as the frame buffer holds them
// here and as the driver reads them.
void Direct_Gl_Read_Window_Color(benchmark::State& state) { read_window_directly(state, GL_BGRA); }
BENCHMARK(Direct_Gl_Read_Window_Color)->Unit(benchmark::kMillisecond)->UseRealTime();

// Red, green, blue, alpha: OpenGL converts every pixel.
void Direct_Gl_Read_Window_Color_Rgba(benchmark::State& state) { read_window_directly(state, GL_RGBA); }
BENCHMARK(Direct_Gl_Read_Window_Color_Rgba)->Unit(benchmark::kMillisecond)->UseRealTime();

const bool read_compared = bench::compare_with_baseline("Driver_Read_Window_Color/real_time",
                                                        "Direct_Gl_Read_Window_Color/real_time");
const bool read_rgba_compared = bench::compare_with_baseline(
    "Driver_Read_Window_Color/real_time", "Direct_Gl_Read_Window_Color_Rgba/real_time");

void Driver_Draw_Window_Image(benchmark::State& state) {
    test_support::Running_Device driver;
    if (!bench::start_or_skip(driver, WINDOW_SIZE, BUFFER_DEPTH, state)) return;
    const HT_Rendition rendition;
    const std::vector<uint32_t>& image = window_image();
    for (auto _ : state) {
        driver.call(driver.actions().draw_dc_image, &rendition, &WINDOW_START, &WINDOW_END,
                    WINDOW_SIZE * 4, static_cast<const void*>(image.data()));
        driver.show();
    }
    state.SetItemsProcessed(state.iterations() * WINDOW_PIXELS);
}
BENCHMARK(Driver_Draw_Window_Image)->Unit(benchmark::kMillisecond)->UseRealTime();

// One-row images: each draws its point pass and then its pixel row.
void Driver_Draw_One_Row_Images(benchmark::State& state) {
    test_support::Running_Device driver;
    if (!bench::start_or_skip(driver, WINDOW_SIZE, BUFFER_DEPTH, state)) return;
    const HT_Rendition rendition;
    const std::vector<uint32_t>& image = window_image();
    for (auto _ : state) {
        for (int y = 0; y < WINDOW_SIZE; ++y) {
            const HT_Point3D start{0, float(y), 100};
            const HT_Point3D end{WINDOW_SIZE - 1, float(y), 5000};
            driver.call(driver.actions().draw_dc_image, &rendition, &start, &end, 0,
                        static_cast<const void*>(image.data() + size_t(y) * WINDOW_SIZE));
        }
        driver.show();
    }
    state.SetItemsProcessed(state.iterations() * WINDOW_PIXELS);
}
BENCHMARK(Driver_Draw_One_Row_Images)->Unit(benchmark::kMillisecond)->UseRealTime();

void Direct_Gl_Draw_Window_Image(benchmark::State& state) {
    bench::Direct_Gl_Window direct;
    if (!bench::start_or_skip(direct, WINDOW_SIZE, BUFFER_DEPTH, state)) return;
    // Already in OpenGL's byte order and bottom row first.
    std::vector<uint32_t> pixels(WINDOW_PIXELS);
    const std::vector<uint32_t>& image = window_image();
    for (int y = 0; y < WINDOW_SIZE; ++y)
        for (int x = 0; x < WINDOW_SIZE; ++x) {
            const uint32_t p = image[size_t(WINDOW_SIZE - 1 - y) * WINDOW_SIZE + x];
            pixels[size_t(y) * WINDOW_SIZE + x] = (p & 0xFF00FF00u) | (p >> 16 & 0xFF) | (p & 0xFF) << 16;
        }
    glDisable(GL_DEPTH_TEST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (auto _ : state) {
        glRasterPos2i(0, 0);
        glDrawPixels(WINDOW_SIZE, WINDOW_SIZE, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        direct.present();
    }
    state.SetItemsProcessed(state.iterations() * WINDOW_PIXELS);
}
BENCHMARK(Direct_Gl_Draw_Window_Image)->Unit(benchmark::kMillisecond)->UseRealTime();

const bool draw_compared = bench::compare_with_baseline("Driver_Draw_Window_Image/real_time",
                                                        "Direct_Gl_Draw_Window_Image/real_time");

// Read colour and depth of the whole window, then put both back.
void save_and_restore(benchmark::State& state, bool through_board) {
    test_support::Running_Device driver;
    if (!bench::start_or_skip(driver, WINDOW_SIZE, BUFFER_DEPTH, state)) return;
    OGL_Device_Data& object = driver_object(driver);
    object.software_emulation = 0;
    object.fast_readback = through_board;
    const HT_Rendition rendition;
    for (auto _ : state) {
        HT_Shared_Image colors;
        HT_Shared_Image depths;
        driver.call(driver.actions().read_dc_color, &rendition, &WINDOW_START, &WINDOW_END, colors);
        driver.call(driver.actions().read_dc_depth, &rendition, &WINDOW_START, &WINDOW_END, depths);
        driver.call(driver.actions().draw_dc_image, &rendition, &WINDOW_START, &WINDOW_END,
                    colors->row_bytes(), static_cast<const void*>(colors->pixels()));
        driver.call(driver.actions().write_dc_depth, &rendition, &WINDOW_START, &WINDOW_END,
                    depths->row_bytes(), reinterpret_cast<const uint16_t*>(depths->pixels()));
        driver.show();
    }
    state.SetItemsProcessed(state.iterations() * WINDOW_PIXELS);
}

void Driver_Save_Restore_Board(benchmark::State& state) { save_and_restore(state, true); }
BENCHMARK(Driver_Save_Restore_Board)->Unit(benchmark::kMillisecond)->UseRealTime();

void Driver_Save_Restore_Ordinary(benchmark::State& state) { save_and_restore(state, false); }
BENCHMARK(Driver_Save_Restore_Ordinary)->Unit(benchmark::kMillisecond)->UseRealTime();

const bool cycle_compared = bench::compare_with_baseline("Driver_Save_Restore_Board/real_time",
                                                         "Driver_Save_Restore_Ordinary/real_time");

}  // namespace
