// The frame loop on each kind of renderer.
#include "viewer/view_frames.h"

#include <chrono>

#include "host/loader.h"
#include "viewer/software_device.h"
#include "viewer/window_renderer.h"

namespace {

// Draws the orbit's frames and presents each; `capture` gives what the
// frame shows.
template <class Present, class Capture>
bool run_frames(HT_Device_Data* device, Scene_Sender& sender, const Frame_Pass& pass, Present present,
                Capture capture, Rendering* rendering, std::string* error) {
    const auto start = std::chrono::steady_clock::now();
    int drawn = 0;
    bool ok = true;
    for (; drawn < pass.frames; ++drawn) {
        sender.draw_frame(device, drawn, pass.frames);
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

bool render_on_window(View_Renderer renderer, const View_Options& options, const std::string& module_path,
                      Scene_Sender& sender, const Frame_Pass& pass, Rendering* rendering, std::string* error) {
    Window_Renderer on_window;
    if (!on_window.open(renderer, options, module_path, error)) return false;
    return run_frames(on_window.device(), sender, pass, [&on_window] { on_window.present(); },
                      [&on_window](winx::Window_Snapshot* picture, std::string* why) {
                          return on_window.capture(picture, why);
                      },
                      rendering, error);
}

bool render_software(const View_Options& options, Scene_Sender& sender, const Frame_Pass& pass,
                     Rendering* rendering, std::string* error) {
    Software_Device device(options.width, options.height, options.buffer_depth);
    return run_frames(&device, sender, pass, [] {},
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
    case View_Renderer::driver:
    case View_Renderer::direct: return render_on_window(renderer, options, module_path, sender, pass, rendering, error);
    case View_Renderer::software: return render_software(options, sender, pass, rendering, error);
    }
    return false;
}
