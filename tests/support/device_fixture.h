// A started device on a window of its own, for tests that go through the
// whole module: it loads tovrek.hdi, asks it for a device, creates the
// host's window, passes the window's size, device context and buffer depth
// the way the host does, and starts the device. Tests draw through the
// device's action table, show the frame and read what the window shows.
// It checks nothing about the driver itself.
#pragma once

#include <string>
#include <utility>

#include "host/device.h"
#include "host/loader.h"
#include "platform/winx.h"

namespace test_support {

// How the device hands its batches to its render thread: as the environment
// says (TOVREK_SYNCHRONOUS), or either way whatever it says.
enum class Channel { as_environment_says, handed_over, synchronous };
// How the render thread draws a batch: as the environment says
// (TOVREK_DRAW_PER_PRIMITIVE), one glDrawArrays per primitive, or with one
// call where the context offers it.
enum class Draw_Mode { as_environment_says, per_primitive, per_batch };

struct Device_Settings {
    int width = 64;
    int height = 64;
    int buffer_depth = 24;  // the host's "Buffer Depth" option
    Channel channel = Channel::as_environment_says;
    Draw_Mode draw = Draw_Mode::as_environment_says;
};

class Running_Device {
public:
    Running_Device() = default;
    ~Running_Device();
    Running_Device(const Running_Device&) = delete;
    Running_Device& operator=(const Running_Device&) = delete;

    // Loads the module, creates the device and its window, starts the device
    // and clears the frame. False, with the reason in error(), when the
    // module, the device or the window cannot be had.
    bool start(const Device_Settings& settings = Device_Settings());
    const std::string& error() const { return error_; }

    HT_Device_Data& device() { return *device_; }
    HT_Action_Table& actions() { return device_->actions; }
    HWND window() const { return window_; }

    // Calls an action of the table the way the host does: its object first.
    template <class Function, class... Args>
    void call(const HT_Action<Function>& action, Args&&... args) {
        action.function(action.object, std::forward<Args>(args)...);
    }

    // What a host does at the start of a frame: a rectangle over the whole
    // window, which sets colour and, at the far end of the depth range,
    // depth (the device clears neither itself).
    void clear_frame(HT_RGB32 color = 0xFF000000u);
    // show_frame: queued primitives are drawn and the frame presented.
    void show();
    // show(), then what the window shows.
    winx::Window_Snapshot show_and_capture();
    // Destroys the device (posting its exit) before the window goes.
    void stop();

private:
    HT_Driver_Module module_;
    HT_Device_Data* device_ = nullptr;
    HWND window_ = nullptr;
    HDC window_context_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    std::string error_;
};

// The same rendition the host would pass for a plain solid drawing in one
// colour.
HT_Rendition solid_rendition(HT_RGB32 color);

}  // namespace test_support
