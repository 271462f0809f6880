// Starting a benchmark's driver or baseline (see start_or_skip.h).
#include "bench/start_or_skip.h"

#include <string>

namespace bench {

bool start_or_skip(test_support::Running_Device& driver, int size, int buffer_depth,
                   benchmark::State& state, test_support::Channel channel) {
    test_support::Device_Settings settings;
    settings.channel = channel;
    settings.width = size;
    settings.height = size;
    settings.buffer_depth = buffer_depth;
    if (driver.start(settings)) return true;
    state.SkipWithError(driver.error().c_str());
    return false;
}

bool start_or_skip(Direct_Gl_Window& direct, int size, int buffer_depth, benchmark::State& state) {
    std::string error;
    if (direct.start(size, size, buffer_depth, &error)) return true;
    state.SkipWithError(error.c_str());
    return false;
}

}  // namespace bench
