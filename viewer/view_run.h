// Running `tovrek view` once its options are read: import the model, render
// its frames through the driver or a reference, and compare when asked. The
// command line itself is read in view_options and tools/.
#pragma once

#include <string>

#include "viewer/view_options.h"

// Exit status: 0 done (and, comparing, within --max-differing), 1 a
// comparison beyond it or a failure to render, 2 a model that cannot be
// read. `module_path` is the driver module to load.
int run_view(const View_Options& options, const std::string& module_path);
