// Input is read between frames; a frame is drawn only when the view has
// changed or the window was exposed (uncovered or mapped again, which loses
// what it showed), and the loop sleeps briefly otherwise, so an untouched
// window costs next to nothing. Everything that arrived since the last frame
// is taken at once, so a burst of exposures is drawn as one frame. Ctrl-C
// sets a flag that ends the loop, so that the window closes as for q and -o
// is still written.
#include "viewer/view_window.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "host/snapshot_png.h"
#include "viewer/scene_sender.h"
#include "viewer/view_outputs.h"
#include "viewer/view_report.h"
#include "viewer/view_run.h"
#include "viewer/window_renderer.h"

namespace {

constexpr double RADIANS_PER_PIXEL = 0.01;
constexpr double HIGHEST_ELEVATION = 1.55;  // just short of straight above, where the turn would flip
constexpr double ZOOM_STEP = 1.15;
constexpr double LEAST_ZOOM = 0.05;
constexpr double MOST_ZOOM = 50.0;
constexpr auto IDLE_WAIT = std::chrono::milliseconds(10);

volatile sig_atomic_t interrupted = 0;

void on_interrupt(int) { interrupted = 1; }

// Ctrl-C ends the loop instead of the process while it lives.
class Interrupt_Catch {
public:
    Interrupt_Catch() {
        interrupted = 0;
        struct sigaction action {};
        action.sa_handler = on_interrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &previous_);
    }
    ~Interrupt_Catch() { sigaction(SIGINT, &previous_, nullptr); }
    Interrupt_Catch(const Interrupt_Catch&) = delete;
    Interrupt_Catch& operator=(const Interrupt_Catch&) = delete;

private:
    struct sigaction previous_ {};
};

// The first free tovrek-view-NNNN.png in the current folder.
std::string screenshot_name() {
    for (int number = 1;; ++number) {
        char name[32];
        std::snprintf(name, sizeof name, "tovrek-view-%04d.png", number);
        if (access(name, F_OK) != 0) return name;
    }
}

class View_Controls {
public:
    // Applies one input; true when the window must be drawn again.
    bool apply(const winx::Window_Input& input, Scene_Sender& sender);
    bool quit() const { return quit_; }
    bool screenshot_asked() {
        const bool asked = screenshot_;
        screenshot_ = false;
        return asked;
    }
    const View_Camera& camera() const { return camera_; }

private:
    View_Camera camera_;
    int dragging_ = 0;  // the button held, 0 for none
    int last_x_ = 0;
    int last_y_ = 0;
    bool quit_ = false;
    bool screenshot_ = false;
};

bool View_Controls::apply(const winx::Window_Input& input, Scene_Sender& sender) {
    using Kind = winx::Window_Input::Kind;
    switch (input.kind) {
    case Kind::button_press:
        if (input.button == 4 || input.button == 5) {
            camera_.zoom = std::clamp(input.button == 4 ? camera_.zoom * ZOOM_STEP : camera_.zoom / ZOOM_STEP,
                                      LEAST_ZOOM, MOST_ZOOM);
            return true;
        }
        dragging_ = input.button;
        last_x_ = input.x;
        last_y_ = input.y;
        return false;
    case Kind::button_release:
        if (input.button == dragging_) dragging_ = 0;
        return false;
    case Kind::motion: {
        if (dragging_ == 0) return false;
        const int dx = input.x - last_x_, dy = input.y - last_y_;
        last_x_ = input.x;
        last_y_ = input.y;
        if (dragging_ == 1) {
            camera_.turn -= dx * RADIANS_PER_PIXEL;
            camera_.elevation =
                std::clamp(camera_.elevation + dy * RADIANS_PER_PIXEL, -HIGHEST_ELEVATION, HIGHEST_ELEVATION);
        } else {
            camera_.pan_x += dx;
            camera_.pan_y -= dy;
        }
        return dx != 0 || dy != 0;
    }
    case Kind::key_press:
        if (input.key == 'q' || input.key == 27 || (input.control && input.key == 'c')) quit_ = true;
        else if (input.key == 'r') camera_ = View_Camera();
        else if (input.key == 'e') sender.set_edges(!sender.edges());
        else if (input.key == 's') screenshot_ = true;
        return input.key == 'r' || input.key == 'e';
    case Kind::exposed: return true;
    }
    return false;
}

}  // namespace

int run_view_window(const View_Options& options, const Model& model, const std::string& module_path,
                    std::string* reason) {
    Window_Renderer renderer;
    if (!renderer.open(options.reference, options, module_path, reason)) return VIEW_FAILED;
    Scene_Sender sender(model, View_Frame{options.width, options.height, options.buffer_depth, options.up}, options.edges,
                        options.point_size);
    if (options.stats) print_model_figures(stdout, figures_of(model, sender.strip_count(), sender.polyline_count(), options.edges));
    std::fflush(stdout);
    winx::listen_to_window_input(renderer.window());

    const Interrupt_Catch interrupt_catch;
    View_Controls controls;
    bool redraw = true;
    winx::Window_Snapshot picture;
    while (!controls.quit() && interrupted == 0 && !winx::window_close_requested(renderer.window())) {
        for (const winx::Window_Input& input : winx::take_window_input(renderer.window()))
            redraw = controls.apply(input, sender) || redraw;
        if (controls.screenshot_asked()) {
            const std::string name = screenshot_name();
            if (renderer.capture(&picture, reason) && write_picture_file(name, rgba_of(picture), reason))
                std::printf("screenshot: %s\n", name.c_str());
            else
                std::fprintf(stderr, "%s%s\n", VIEW_PREFIX, reason->c_str());
            std::fflush(stdout);
        }
        if (!redraw) {
            std::this_thread::sleep_for(IDLE_WAIT);
            continue;
        }
        sender.draw_view(renderer.device(), controls.camera());
        renderer.present();
        redraw = false;
    }
    if (options.output.empty()) return VIEW_DONE;
    if (!renderer.capture(&picture, reason) || !write_picture_file(options.output, rgba_of(picture), reason))
        return VIEW_FAILED;
    return VIEW_DONE;
}
