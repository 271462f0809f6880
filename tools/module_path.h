// Which driver module the tools load.
#pragma once

#include <string>

// `--module PATH` when given (non-empty), else $TOVREK_MODULE when set, else
// the installed module at its place relative to this program (bin/ ->
// lib/tovrek/tovrek.hdi), else the module built beside the tools.
std::string driver_module_path(const std::string& command_line_choice);
