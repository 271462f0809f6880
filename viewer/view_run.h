// Running `tovrek view` on one model once its options are read: check the
// outputs, import the model, render its frames through the driver or a
// reference, compare frame by frame when asked, and report. The command
// line itself is read in view_options and tools/; several models are
// view_batch's.
#pragma once

#include <string>

#include "viewer/view_options.h"

// Exit statuses.
constexpr int VIEW_DONE = 0;
constexpr int VIEW_TOO_DIFFERENT = 1;  // only: a comparison beyond --max-differing
constexpr int VIEW_BAD_INPUT = 2;      // a model that cannot be read, or a usage mistake
constexpr int VIEW_FAILED = 3;         // anything else that stops the run

// What one model's run came to, for a summary of several.
struct View_Outcome {
    int status = VIEW_DONE;
    bool compared = false;
    double differing_percent = 0;  // in the worst frame
    double seconds = 0;            // the whole run
    std::string reason;            // the line that explains a failure
};

// Views `model_path` with the options (their model list is not read).
// `module_path` is the driver module to load.
View_Outcome run_view(const View_Options& options, const std::string& model_path, const std::string& module_path);

// "tovrek view: ", which every message of the command starts with.
extern const char* const VIEW_PREFIX;
