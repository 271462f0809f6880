// `tovrek view` on several models, or on folders of them: each model is
// viewed by a process of its own (this program again, on that one model),
// at most --jobs at a time, and a table sums them up (file, result,
// differing pixels, time). With more than one job each process starts a
// private X server, since windows drawn at once on one display would cover
// each other while they are captured. The exit status is the worst of theirs. One model
// given by its file name is viewed in this process, as before.
#pragma once

#include <string>

#include "viewer/view_options.h"

// The exit status of the whole command; `program` is the path that runs
// this program again.
int run_view_models(const View_Options& options, const std::string& module_path, const std::string& program);
