// The window a user turns: the model drawn through the driver (or the
// direct reference) on the user's display, redrawn as the user drags with
// the left button to orbit, with the right or middle to pan, and turns the
// wheel to zoom. Keys: r resets the view, e toggles edges, s writes a
// screenshot into the current folder, q or Esc quits. Closing the window
// and Ctrl-C quit too; -o then gets the last picture.
#pragma once

#include <string>

#include "viewer/model.h"
#include "viewer/view_options.h"

// The exit status (0, or 3 when the renderer or -o fails, with the reason).
int run_view_window(const View_Options& options, const Model& model, const std::string& module_path,
                    std::string* reason);
