// One model from the command line to its exit status. The renderer shown
// (the driver, or the reference that --reference names) draws first; with
// --compare its frames are kept and the reference then draws the same
// frames, each compared with the kept one as it comes.
#include "viewer/view_run.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "viewer/frame_store.h"
#include "viewer/image_compare.h"
#include "viewer/model_import.h"
#include "viewer/progress_line.h"
#include "viewer/scene_sender.h"
#include "viewer/view_frames.h"
#include "viewer/view_outputs.h"
#include "viewer/view_report.h"
#include "viewer/view_window.h"

const char* const VIEW_PREFIX = "tovrek view: ";

namespace {

// The import's warnings shown; a line counts the rest.
constexpr size_t SHOWN_WARNINGS = 4;

bool has_display() {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0';
}

View_Outcome failed(int status, const std::string& reason) {
    View_Outcome outcome;
    outcome.status = status;
    outcome.reason = reason;
    std::fprintf(stderr, "%s%s\n", VIEW_PREFIX, reason.c_str());
    return outcome;
}

// Every file the run will write, tried before anything is rendered.
bool outputs_ready(const View_Options& options, std::string* error) {
    for (const std::string* path : {&options.output, &options.diff, &options.record})
        if (!path->empty() && !output_writable(*path, error)) return false;
    return options.frames_out.empty() || output_folder_ready(options.frames_out, error);
}

std::string frame_file(const std::string& folder, int index) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%04d.png", index + 1);
    return folder + name;
}

// The comparison's line rule: edges may lie a pixel aside in the software
// reference, whose lines step through pixel centres.
Compare_Rule compare_rule(const View_Options& options) {
    if (options.edges && options.compare_with == View_Renderer::software)
        return Compare_Rule(options.tolerance, VIEW_EDGE_COLOR & 0xFFFFFFu);
    return Compare_Rule(options.tolerance);
}

class Model_Run {
public:
    Model_Run(const View_Options& options, const std::string& model_path, const std::string& module_path,
              const Model& model)
        : options_(options), model_path_(model_path), module_path_(module_path), model_(model),
          sender_(model, View_Frame{options.width, options.height, options.buffer_depth, options.up}, options.edges,
                  options.point_size) {}

    View_Outcome run();

private:
    bool pass(View_Renderer renderer, Frame_Pass frame_pass, Run_Figures* figures, Rendering* rendering);
    bool compare_frame(int index, const winx::Window_Snapshot& picture, std::string* error);
    void print_run(const Run_Figures& figures) const;

    const View_Options& options_;
    const std::string& model_path_;
    const std::string& module_path_;
    const Model& model_;
    Scene_Sender sender_;
    Frame_Store kept_;
    Run_Figures runs_[2];
    Image_Difference worst_;
    int worst_frame_ = -1;
    winx::Window_Snapshot kept_picture_;
    Rgba_Image worst_picture_;  // the worst frame's difference, for --diff
};

bool Model_Run::pass(View_Renderer renderer, Frame_Pass frame_pass, Run_Figures* figures, Rendering* rendering) {
    Progress_Line progress(renderer_name(renderer), options_.frames);
    frame_pass.frames = options_.frames;
    frame_pass.on_progress = [&progress](int done) { progress.update(done); };
    std::string error;
    const bool ok = render_frames(renderer, options_, module_path_, sender_, frame_pass, rendering, &error);
    figures->renderer = renderer_name(renderer);
    figures->frames = rendering->frames;
    figures->seconds = rendering->seconds;
    if (!ok) std::fprintf(stderr, "%s%s: %s\n", VIEW_PREFIX, renderer_name(renderer), error.c_str());
    return ok;
}

// A few of the import's warnings on standard error, one line each.
void print_warnings(const std::string& path, const std::vector<std::string>& warnings) {
    for (size_t i = 0; i < warnings.size() && i < SHOWN_WARNINGS; ++i)
        std::fprintf(stderr, "tovrek view: %s: warning: %s\n", path.c_str(), warnings[i].c_str());
    if (warnings.size() > SHOWN_WARNINGS)
        std::fprintf(stderr, "tovrek view: %s: warning: %zu%s more warnings not shown\n", path.c_str(),
                     warnings.size() - SHOWN_WARNINGS, warnings.size() >= MODEL_WARNING_LIMIT ? " or" : "");
}

bool Model_Run::compare_frame(int index, const winx::Window_Snapshot& picture, std::string* error) {
    if (!kept_.get(index, &kept_picture_)) {
        *error = "the kept frame could not be read back";
        return false;
    }
    const Image_Difference difference = compare_images(kept_picture_, picture, compare_rule(options_));
    if (worst_frame_ < 0 || difference.differing > worst_.differing) {
        worst_ = difference;
        worst_frame_ = index;
        if (!options_.diff.empty()) worst_picture_ = difference_picture(kept_picture_, picture, compare_rule(options_));
    }
    return true;
}

void Model_Run::print_run(const Run_Figures& figures) const {
    if (options_.json || figures.frames == 0) return;
    std::printf("%s: %d frames in %.3f s, %.1f frames per second\n", figures.renderer.c_str(), figures.frames,
                figures.seconds, figures.seconds > 0 ? figures.frames / figures.seconds : 0.0);
}

View_Outcome Model_Run::run() {
    const Model_Figures model_figures = figures_of(model_, sender_.strip_count(), sender_.polyline_count(), options_.edges);
    if (options_.stats && !options_.json) print_model_figures(stdout, model_figures);
    std::fflush(stdout);

    Frame_Pass shown;
    if (options_.compare || !options_.frames_out.empty())
        shown.on_frame = [this](int index, const winx::Window_Snapshot& picture, std::string* error) {
            if (!options_.frames_out.empty() &&
                !write_picture_file(frame_file(options_.frames_out, index), rgba_of(picture), error))
                return false;
            return !options_.compare || kept_.add(picture, error);
        };
    Rendering first;
    View_Outcome outcome;
    if (!pass(options_.reference, shown, &runs_[0], &first)) {
        outcome.status = VIEW_FAILED;
        return outcome;
    }
    print_run(runs_[0]);
    std::string error;
    if (!options_.output.empty() && !write_picture_file(options_.output, rgba_of(first.picture), &error))
        return failed(VIEW_FAILED, error);

    size_t run_count = 1;
    if (options_.compare) {
        Frame_Pass reference;
        reference.on_frame = [this](int index, const winx::Window_Snapshot& picture, std::string* error) {
            return compare_frame(index, picture, error);
        };
        Rendering second;
        if (!pass(options_.compare_with, reference, &runs_[1], &second)) {
            outcome.status = VIEW_FAILED;
            return outcome;
        }
        run_count = 2;
        print_run(runs_[1]);
        Run_Figures& comparison = runs_[1];
        comparison.compared = true;
        comparison.compared_with = renderer_name(options_.compare_with);
        comparison.differing = worst_.differing;
        comparison.total = worst_.total;
        comparison.worst_frame = worst_frame_ + 1;
        if (!options_.diff.empty() && !write_picture_file(options_.diff, worst_picture_, &error))
            return failed(VIEW_FAILED, error);
        if (!options_.json)
            std::printf("differing pixels: %zu of %zu (%.3f%%) at frame %d\n", worst_.differing, worst_.total,
                        worst_.percent(), worst_frame_ + 1);
        outcome.compared = true;
        outcome.differing_percent = worst_.percent();
        if (worst_.percent() > options_.max_differing) outcome.status = VIEW_TOO_DIFFERENT;
    }
    if (options_.json)
        std::printf("%s\n", json_report(model_path_, model_figures, runs_, run_count, outcome.status).c_str());
    return outcome;
}

}  // namespace

View_Outcome run_view(const View_Options& options, const std::string& model_path, const std::string& module_path) {
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    if (!outputs_ready(options, &error)) return failed(VIEW_FAILED, error);
    Model model;
    // The import forks a child: before the private X server, the driver and
    // their threads start.
    if (!import_model_file(model_path, &model, &error)) return failed(VIEW_BAD_INPUT, model_path + ": " + error);
    print_warnings(model_path, model.warnings);
    if (!options.record.empty()) setenv("TOVREK_RECORD", options.record.c_str(), 1);

    const bool own_display = !has_display();
    const bool needs_display = options.reference != View_Renderer::software ||
                               (options.compare && options.compare_with != View_Renderer::software);
    if (own_display && needs_display &&
        !winx::start_private_display(std::max(options.width, 1280), std::max(options.height, 1024), 24, &error))
        return failed(VIEW_FAILED, "no display and no private X server: " + error);

    // A window to turn on the user's display, unless the run is a batch
    // of frames; without a display of the user's there is nobody to close
    // it, and the software reference has none.
    const bool interactive = !own_display && !options.compare && options.frames_out.empty() && !options.json &&
                             options.reference != View_Renderer::software &&
                             (!options.frames_given || options.frames == 0);
    View_Outcome outcome;
    if (interactive) {
        outcome.status = run_view_window(options, model, module_path, &outcome.reason);
        if (outcome.status != VIEW_DONE) std::fprintf(stderr, "%s%s\n", VIEW_PREFIX, outcome.reason.c_str());
    } else {
        View_Options run = options;
        if (run.frames == 0) run.frames = 1;
        Model_Run model_run(run, model_path, module_path, model);
        outcome = model_run.run();
    }
    winx::stop_private_display();
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return outcome;
}
