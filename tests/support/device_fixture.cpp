// The running device for end-to-end tests (see device_fixture.h).
#include "tests/support/device_fixture.h"

#include <cstdlib>
#include <optional>
#include <string>

#include "tests/support/test_device.h"

namespace test_support {
namespace {

// Sets an environment variable for one scope ("" unsets it; null leaves it
// as it is) and puts it back afterwards.
class Variable_For_Now {
public:
    Variable_For_Now(const char* name, const char* value) : name_(name) {
        if (value == nullptr) return;
        const char* before = std::getenv(name);
        kept_ = before ? std::optional<std::string>(before) : std::nullopt;
        changed_ = true;
        if (*value != '\0')
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~Variable_For_Now() {
        if (!changed_) return;
        if (kept_)
            setenv(name_, kept_->c_str(), 1);
        else
            unsetenv(name_);
    }
    Variable_For_Now(const Variable_For_Now&) = delete;
    Variable_For_Now& operator=(const Variable_For_Now&) = delete;

private:
    const char* name_;
    bool changed_ = false;
    std::optional<std::string> kept_;
};

// HD_Device with TOVREK_SYNCHRONOUS and TOVREK_DRAW_PER_PRIMITIVE set as the
// settings ask.
HT_Device_Data* create_device(HT_Driver_Module& module, const Device_Settings& settings) {
    const char* channel = settings.channel == Channel::synchronous   ? "1"
                          : settings.channel == Channel::handed_over ? ""
                                                                     : nullptr;
    const char* draw = settings.draw == Draw_Mode::per_primitive ? "1"
                       : settings.draw == Draw_Mode::per_batch   ? ""
                                                            : nullptr;
    Variable_For_Now synchronous("TOVREK_SYNCHRONOUS", channel);
    Variable_For_Now per_primitive("TOVREK_DRAW_PER_PRIMITIVE", draw);
    return module.create_device();
}

}  // namespace

Running_Device::~Running_Device() { stop(); }

bool Running_Device::start(const Device_Settings& settings) {
    if (!winx::open_display()) {
        error_ = "no display";
        return false;
    }
    if (!module_.load(TOVREK_MODULE_PATH)) {
        error_ = module_.error();
        return false;
    }
    device_ = create_device(module_, settings);
    if (device_ == nullptr) {
        error_ = "HD_Device returned null";
        return false;
    }
    window_ = winx::create_window(settings.width, settings.height, "tovrek test");
    if (window_ == nullptr) {
        error_ = "cannot create the window";
        return false;
    }
    window_context_ = test_device::attach(device_, window_, settings.width, settings.height);
    test_device::set_buffer_depth(device_, settings.buffer_depth);
    device_->start_device();
    width_ = settings.width;
    height_ = settings.height;
    clear_frame();
    return true;
}

void Running_Device::clear_frame(HT_RGB32 color) {
    const HT_Rendition rendition = solid_rendition(color);
    call(actions().draw_dc_rectangle, &rendition, 0, width_ - 1, 0, height_ - 1);
}

void Running_Device::show() { device_->show_frame(0); }

winx::Window_Snapshot Running_Device::show_and_capture() {
    show();
    winx::Window_Snapshot snapshot;
    winx::capture_window(window_, &snapshot);
    return snapshot;
}

void Running_Device::stop() {
    if (device_ != nullptr) HD_Destroy_Device(device_);
    device_ = nullptr;
    if (window_context_ != nullptr) ReleaseDC(window_, window_context_);
    window_context_ = nullptr;
    if (window_ != nullptr) winx::destroy_window(window_);
    window_ = nullptr;
}

HT_Rendition solid_rendition(HT_RGB32 color) {
    HT_Rendition rendition;
    rendition.color.color = color;
    return rendition;
}

}  // namespace test_support
