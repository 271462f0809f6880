// `tovrek demo [-o FILE.png] [--module PATH]`: loads the driver as a host
// does, renders the built-in scene into a window, and writes what the window
// shows to a PNG. On the user's display the window stays up for about two
// seconds, redrawn as it goes; with no display a private X server is started
// and the scene is rendered once.
#include "host/snapshot_png.h"
#include "tools/demo_command.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>

#include "host/loader.h"
#include "platform/winx.h"
#include "tools/check_pictures.h"
#include "tools/demo_scene.h"
#include "tools/module_path.h"
#include "host/png_io.h"

namespace {

bool has_display() {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0';
}

bool save_window(HWND window, const std::string& path, std::string* error) {
    winx::Window_Snapshot snapshot;
    if (!winx::capture_window(window, &snapshot)) {
        *error = "the window could not be captured";
        return false;
    }
    return write_png(path, rgba_of(snapshot), error);
}

void set_buffer_depth(HT_Device_Data* device) {
    HT_Option* option = device->option_tables[0].find("Buffer Depth");
    if (option == nullptr) return;
    HT_Option_Value value(HT_OPTION_TYPE_INTEGER, 1);
    value.set_as_int(0, DEMO_BUFFER_DEPTH);
    option->set(value);
}

// Renders on an open display; returns the exit status.
int render(const std::string& module_path, const std::string& output, bool linger) {
    HT_Driver_Module module;
    if (!module.load(module_path)) {
        std::fprintf(stderr, "demo: %s\n", module.error().c_str());
        return 1;
    }
    HT_Device_Data* device = module.create_device();
    if (device == nullptr) {
        std::fprintf(stderr, "demo: the driver gave no device (HD_Device returned null)\n");
        return 1;
    }
    HWND window = winx::create_window(DEMO_WIDTH, DEMO_HEIGHT, "tovrek demo");
    if (window == nullptr) {
        std::fprintf(stderr, "demo: no window could be made on the display\n");
        HD_Destroy_Device(device);
        return 1;
    }
    HDC window_dc = GetDC(window);
    set_buffer_depth(device);
    device->device_options.set_context_id(reinterpret_cast<long>(window_dc));
    device->current_options.set_window_size({DEMO_WIDTH, DEMO_HEIGHT});
    HD_Start_Device(device);

    std::set<std::string> missing;
    auto frame = [&]() {
        draw_demo_scene(device, &missing);
        HD_Show_Frame(device, 0);
    };
    frame();
    std::string error;
    bool saved = save_window(window, output, &error);
    // The window is redrawn while it stays up, so that it survives being covered.
    for (int i = 0; linger && i < 8; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        frame();
    }

    HD_Destroy_Device(device);
    ReleaseDC(window, window_dc);
    winx::destroy_window(window);
    for (const std::string& name : missing)
        std::fprintf(stderr, "demo: the device has no %s action; that part of the scene is missing\n", name.c_str());
    if (!saved) {
        std::fprintf(stderr, "demo: %s\n", error.c_str());
        return 1;
    }
    std::printf("demo: wrote %s\n", output.c_str());
    return 0;
}

int demo_command(int argc, char** argv) {
    std::string output = "demo.png", module_choice;
    for (int i = 0; i < argc; ++i) {
        std::string argument = argv[i];
        bool takes_value = argument == "-o" || argument == "--module";
        if (takes_value && i + 1 < argc) {
            (argument == "-o" ? output : module_choice) = argv[++i];
        } else {
            return usage_error(DEMO_COMMAND, argument_problem(argument, takes_value));
        }
    }
    bool own_display = !has_display();
    if (own_display) {
        std::string reason;
        if (!winx::start_private_display(1280, 1024, 24, &reason)) {
            std::fprintf(stderr, "demo: no display and no private X server: %s\n", reason.c_str());
            return 1;
        }
    }
    int status = render(driver_module_path(module_choice), output, !own_display);
    winx::stop_private_display();
    return status;
}

}  // namespace

const Tool_Command DEMO_COMMAND = {
    "demo", "render the built-in scene into a window and a PNG",
    "usage: tovrek demo [-o FILE.png] [--module PATH]\n"
    "Renders the built-in scene through the driver into a window (shown for\n"
    "about two seconds on a display; a private X server otherwise) and writes\n"
    "what the window shows to a PNG.\n"
    "options:\n"
    "  -o FILE.png     the picture to write (default demo.png)\n"
    "  --module PATH   the driver module (default $TOVREK_MODULE, else the installed one)\n"
    "  -h, --help      show this help\n",
    demo_command,
};
