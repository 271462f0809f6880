// The viewer's frame loop on each kind of renderer. The driver and the
// direct-OpenGL reference draw into a window of their own in turn, never
// both at once, so that no window covers the other while it is captured;
// the software reference draws into memory.
#include "viewer/view_run.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "host/loader.h"
#include "platform/winx.h"
#include "viewer/direct_gl_device.h"
#include "viewer/image_compare.h"
#include "viewer/model_import.h"
#include "viewer/scene_sender.h"
#include "viewer/software_device.h"

namespace {

// Frames of one turn when the orbit goes on until the window is closed.
constexpr int ENDLESS_ORBIT_FRAMES = 360;
// The import's warnings shown; a line counts the rest.
constexpr size_t SHOWN_WARNINGS = 4;

struct Rendering {
    winx::Window_Snapshot picture;
    int frames = 0;
    double seconds = 0;
};

bool has_display() {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0';
}

const char* name_of(View_Renderer renderer) {
    switch (renderer) {
    case View_Renderer::driver: return "driver";
    case View_Renderer::direct: return "direct reference";
    case View_Renderer::software: return "software reference";
    }
    return "";
}

// Draws the orbit's frames and presents each; with `endless` it goes round
// until the window is closed.
template <class Present>
void run_frames(HT_Device_Data* device, Scene_Sender& sender, int frames, HWND window, bool endless,
                Present present, Rendering* rendering) {
    const auto start = std::chrono::steady_clock::now();
    const int orbit = endless ? ENDLESS_ORBIT_FRAMES : frames;
    int drawn = 0;
    for (; endless || drawn < frames; ++drawn) {
        if (endless && window != nullptr && winx::window_close_requested(window)) break;
        sender.draw_frame(device, drawn % orbit, orbit);
        present();
    }
    rendering->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rendering->frames = drawn;
}

void set_buffer_depth(HT_Device_Data* device, int depth) {
    HT_Option* option = device->option_tables[0].find("Buffer Depth");
    if (option == nullptr) return;
    HT_Option_Value value(HT_OPTION_TYPE_INTEGER, 1);
    value.set_as_int(0, depth);
    option->set(value);
}

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

bool capture(HWND window, Rendering* rendering, std::string* error) {
    if (winx::capture_window(window, &rendering->picture)) return true;
    *error = "the window could not be captured";
    return false;
}

bool render_driver(const View_Options& options, const std::string& module_path, Scene_Sender& sender,
                   bool endless, Rendering* rendering, std::string* error) {
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
    run_frames(device, sender, options.frames, window.get(), endless, [device] { HD_Show_Frame(device, 0); },
               rendering);
    const bool captured = capture(window.get(), rendering, error);
    HD_Destroy_Device(device);
    ReleaseDC(window.get(), dc);
    return captured;
}

bool render_direct(const View_Options& options, Scene_Sender& sender, bool endless, Rendering* rendering,
                   std::string* error) {
    View_Window window(options.width, options.height);
    if (window.get() == nullptr) {
        *error = "no window could be made on the display";
        return false;
    }
    bool captured = false;
    {
        Direct_Gl_Device device;
        if (!device.attach(window.get(), options.width, options.height, options.buffer_depth, error)) return false;
        run_frames(&device, sender, options.frames, window.get(), endless, [&device] { device.show_frame(0); },
                   rendering);
        captured = capture(window.get(), rendering, error);
    }
    return captured;
}

void render_software(const View_Options& options, Scene_Sender& sender, Rendering* rendering) {
    Software_Device device(options.width, options.height, options.buffer_depth);
    run_frames(&device, sender, options.frames, nullptr, false, [] {}, rendering);
    rendering->picture = device.image();
}

bool render(View_Renderer renderer, const View_Options& options, const std::string& module_path,
            Scene_Sender& sender, bool endless, Rendering* rendering, std::string* error) {
    switch (renderer) {
    case View_Renderer::driver: return render_driver(options, module_path, sender, endless, rendering, error);
    case View_Renderer::direct: return render_direct(options, sender, endless, rendering, error);
    case View_Renderer::software: render_software(options, sender, rendering); return true;
    }
    return false;
}

void print_speed(View_Renderer renderer, const Rendering& rendering) {
    if (rendering.frames == 0) return;
    std::printf("%s: %d frames in %.3f s, %.1f frames per second\n", name_of(renderer), rendering.frames,
                rendering.seconds, rendering.seconds > 0 ? rendering.frames / rendering.seconds : 0.0);
}

bool write_picture(const std::string& path, const Rgba_Image& picture) {
    std::string error;
    if (write_png(path, picture, &error)) return true;
    std::fprintf(stderr, "view: %s\n", error.c_str());
    return false;
}

// A few of the import's warnings on standard error, one line each.
void print_warnings(const std::string& path, const std::vector<std::string>& warnings) {
    for (size_t i = 0; i < warnings.size() && i < SHOWN_WARNINGS; ++i)
        std::fprintf(stderr, "tovrek view: %s: warning: %s\n", path.c_str(), warnings[i].c_str());
    if (warnings.size() > SHOWN_WARNINGS)
        std::fprintf(stderr, "tovrek view: %s: warning: %zu%s more warnings not shown\n", path.c_str(),
                     warnings.size() - SHOWN_WARNINGS, warnings.size() >= MODEL_WARNING_LIMIT ? " or" : "");
}

int render_and_compare(const View_Options& options, const std::string& module_path, Scene_Sender& sender,
                       bool endless) {
    const View_Renderer shown = options.reference;
    Rendering first;
    std::string error;
    if (!render(shown, options, module_path, sender, endless, &first, &error)) {
        std::fprintf(stderr, "view: %s: %s\n", name_of(shown), error.c_str());
        return 1;
    }
    print_speed(shown, first);
    if (!options.output.empty() && !write_picture(options.output, rgba_of(first.picture))) return 1;
    if (!options.compare) return 0;

    Rendering second;
    if (!render(options.compare_with, options, module_path, sender, false, &second, &error)) {
        std::fprintf(stderr, "view: %s: %s\n", name_of(options.compare_with), error.c_str());
        return 1;
    }
    print_speed(options.compare_with, second);
    const Image_Difference difference = compare_images(first.picture, second.picture, options.tolerance);
    std::printf("differing pixels: %zu of %zu (%.3f%%)\n", difference.differing, difference.total,
                difference.percent());
    if (!options.diff.empty() &&
        !write_picture(options.diff, difference_picture(first.picture, second.picture, options.tolerance)))
        return 1;
    return difference.percent() <= options.max_differing ? 0 : 1;
}

}  // namespace

int run_view(const View_Options& options, const std::string& module_path) {
    Model model;
    std::string reason;
    // The import forks a child: before the private X server, the driver and
    // their threads start.
    if (!import_model_file(options.model, &model, &reason)) {
        std::fprintf(stderr, "%s: %s\n", options.model.c_str(), reason.c_str());
        return 2;
    }
    print_warnings(options.model, model.warnings);
    if (!options.record.empty()) setenv("TOVREK_RECORD", options.record.c_str(), 1);

    const bool own_display = !has_display();
    const bool needs_display = options.reference != View_Renderer::software ||
                               (options.compare && options.compare_with != View_Renderer::software);
    if (own_display && needs_display) {
        std::string error;
        if (!winx::start_private_display(std::max(options.width, 1280), std::max(options.height, 1024), 24, &error)) {
            std::fprintf(stderr, "view: no display and no private X server: %s\n", error.c_str());
            return 1;
        }
    }
    // Without a display of the user's there is nobody to close the window;
    // a comparison needs a last frame that both renderers draw.
    const bool endless = options.frames == 0 && !own_display && !options.compare;
    View_Options run = options;
    if (run.frames == 0 && !endless) run.frames = 1;
    int status = 0;
    {
        Scene_Sender sender(model, View_Frame{run.width, run.height, run.buffer_depth, run.up}, run.edges,
                            run.point_size);
        status = render_and_compare(run, module_path, sender, endless);
    }
    winx::stop_private_display();
    return status;
}
