// The direct reference on its own window (see direct_reference.h).
#include "bench/direct_reference.h"

#include <string>

#include "platform/winx.h"

namespace bench {

Direct_Reference::~Direct_Reference() {
    device_.reset();  // its context goes before the window it draws on
    if (window_ != nullptr) winx::destroy_window(window_);
}

bool Direct_Reference::start(int width, int height, int buffer_depth, std::string* error) {
    window_ = winx::create_window(width, height, "tovrek bench: direct OpenGL reference");
    if (window_ == nullptr) {
        *error = "cannot create the window";
        return false;
    }
    device_ = std::make_unique<Direct_Gl_Device>();
    return device_->attach(window_, width, height, buffer_depth, error);
}

bool Direct_Reference::start_or_skip(int width, int height, int buffer_depth, benchmark::State& state) {
    std::string error;
    if (start(width, height, buffer_depth, &error)) return true;
    state.SkipWithError(error.c_str());
    return false;
}

}  // namespace bench
