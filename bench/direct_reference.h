// The viewer's direct-OpenGL reference (plain OpenGL on the calling thread)
// on a window of its own, for benchmarks that send host calls to it through
// its action table, or that draw with OpenGL themselves in the same context
// and pixel format. When it cannot start, the benchmark is skipped with the
// reason.
#pragma once

#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "platform/windows.h"
#include "viewer/direct_gl_device.h"

namespace bench {

class Direct_Reference {
public:
    Direct_Reference() = default;
    ~Direct_Reference();
    Direct_Reference(const Direct_Reference&) = delete;
    Direct_Reference& operator=(const Direct_Reference&) = delete;

    // Its context is current on the calling thread after a start.
    bool start_or_skip(int width, int height, int buffer_depth, benchmark::State& state);
    bool start(int width, int height, int buffer_depth, std::string* error);
    Direct_Gl_Device& device() { return *device_; }

private:
    HWND window_ = nullptr;
    std::unique_ptr<Direct_Gl_Device> device_;
};

}  // namespace bench
