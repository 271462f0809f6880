// The frame loop on each kind of renderer, with the window and the driver
// set up and taken down around it.
#include "viewer/view_frames.h"

#include <chrono>

#include "host/loader.h"
#include "viewer/direct_gl_device.h"
#include "viewer/software_device.h"

namespace {

// Frames of one turn when the orbit goes on until the window is closed.
constexpr int ENDLESS_ORBIT_FRAMES = 360;

class View_Window {
public:
    View_Window(int width, int height) : window_(winx::create_window(width, height, "tovrek view")) {}
    ~View_Window() {
        if (window_ != nullptr) winx::destroy_window(window_);
    }
    View_Window(const View_Window&) = delete;
    View_Window& operator=(const View_Window&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_;
};

// Draws the orbit's frames and presents each; `capture` gives what the
// frame shows. Endless, it goes round until the window is closed.
template <class Present, class Capture>
bool run_frames(HT_Device_Data* device, Scene_Sender& sender, const Frame_Pass& pass, HWND window, Present present,
                Capture capture, Rendering* rendering, std::string* error) {
    const auto start = std::chrono::steady_clock::now();
    const int orbit = pass.endless ? ENDLESS_ORBIT_FRAMES : pass.frames;
    int drawn = 0;
    bool ok = true;
    for (; pass.endless || drawn < pass.frames; ++drawn) {
        if (pass.endless && window != nullptr && winx::window_close_requested(window)) break;
        sender.draw_frame(device, drawn % orbit, orbit);
        present();
        if (pass.on_frame) {
            if (!capture(&rendering->picture, error) || !pass.on_frame(drawn, rendering->picture, error)) {
                ok = false;
                ++drawn;
                break;
            }
        }
        if (pass.on_progress) pass.on_progress(drawn + 1);
    }
    rendering->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rendering->frames = drawn;
    if (ok && !pass.on_frame) ok = capture(&rendering->picture, error);
    return ok;
}

auto window_capture(HWND window) {
    return [window](winx::Window_Snapshot* picture, std::string* error) {
        if (winx::capture_window(window, picture)) return true;
        *error = "the window could not be captured";
        return false;
    };
}

bool render_driver(const View_Options& options, const std::string& module_path, Scene_Sender& sender,
                   const Frame_Pass& pass, Rendering* rendering, std::string* error) {
    HT_Driver_Module module;
    if (!module.load(module_path)) {
        *error = module.error();
        return false;
    }
    View_Window window(options.width, options.height);
    if (window.get() == nullptr) {
        *error = "no window could be made on the display";
        return false;
    }
    HT_Device_Data* device = module.create_device();
    if (device == nullptr) {
        *error = "the driver gave no device (HD_Device returned null)";
        return false;
    }
    HDC dc = GetDC(window.get());
    set_buffer_depth(device, options.buffer_depth);
    device->device_options.set_context_id(reinterpret_cast<long>(dc));
    device->current_options.set_window_size({options.width, options.height});
    HD_Start_Device(device);
    const bool ok = run_frames(device, sender, pass, window.get(), [device] { HD_Show_Frame(device, 0); },
                               window_capture(window.get()), rendering, error);
    HD_Destroy_Device(device);
    ReleaseDC(window.get(), dc);
    return ok;
}

bool render_direct(const View_Options& options, Scene_Sender& sender, const Frame_Pass& pass, Rendering* rendering,
                   std::string* error) {
    View_Window window(options.width, options.height);
    if (window.get() == nullptr) {
        *error = "no window could be made on the display";
        return false;
    }
    Direct_Gl_Device device;
    if (!device.attach(window.get(), options.width, options.height, options.buffer_depth, error)) return false;
    return run_frames(&device, sender, pass, window.get(), [&device] { device.show_frame(0); },
                      window_capture(window.get()), rendering, error);
}

bool render_software(const View_Options& options, Scene_Sender& sender, const Frame_Pass& pass,
                     Rendering* rendering, std::string* error) {
    Software_Device device(options.width, options.height, options.buffer_depth);
    Frame_Pass counted = pass;
    counted.endless = false;
    return run_frames(&device, sender, counted, nullptr, [] {},
                      [&device](winx::Window_Snapshot* picture, std::string*) {
                          *picture = device.image();
                          return true;
                      },
                      rendering, error);
}

}  // namespace

const char* renderer_name(View_Renderer renderer) {
    switch (renderer) {
    case View_Renderer::driver: return "driver";
    case View_Renderer::direct: return "direct reference";
    case View_Renderer::software: return "software reference";
    }
    return "";
}

void set_buffer_depth(HT_Device_Data* device, int depth) {
    HT_Option* option = device->option_tables[0].find("Buffer Depth");
    if (option == nullptr) return;
    HT_Option_Value value(HT_OPTION_TYPE_INTEGER, 1);
    value.set_as_int(0, depth);
    option->set(value);
}

bool render_frames(View_Renderer renderer, const View_Options& options, const std::string& module_path,
                   Scene_Sender& sender, const Frame_Pass& pass, Rendering* rendering, std::string* error) {
    switch (renderer) {
    case View_Renderer::driver: return render_driver(options, module_path, sender, pass, rendering, error);
    case View_Renderer::direct: return render_direct(options, sender, pass, rendering, error);
    case View_Renderer::software: return render_software(options, sender, pass, rendering, error);
    }
    return false;
}
