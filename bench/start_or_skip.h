// Starting what a benchmark measures on a square window of its own: the
// driver, or the direct-OpenGL baseline. When it cannot start, the benchmark
// is skipped with the reason and false is returned.
#pragma once

#include <benchmark/benchmark.h>

#include "bench/direct_gl.h"
#include "tests/support/device_fixture.h"

namespace bench {

// The driver hands its batches to the render thread as the channel says
// (by default as TOVREK_SYNCHRONOUS says).
bool start_or_skip(test_support::Running_Device& driver, int size, int buffer_depth,
                   benchmark::State& state,
                   test_support::Channel channel = test_support::Channel::as_environment_says);
bool start_or_skip(Direct_Gl_Window& direct, int size, int buffer_depth, benchmark::State& state);

}  // namespace bench
