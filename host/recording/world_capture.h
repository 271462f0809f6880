// The ground a device is made on, as trace statements: the virtual board's
// profile (every figure written out, so that a replay on another screen
// stands on the same board) and the driver's values under the board's
// control-panel key in the registry. Written before each `device`
// statement whose ground differs from the last one written.
#pragma once

#include <string>
#include <vector>

// `board …` with every setting of the profile in force.
std::string board_statement();
// `registry none` when the key is absent; otherwise a `registry "NAME" N`
// or `registry "NAME" absent` line for each value the driver reads. A value
// that is not four bytes long cannot be written as a DWORD and comes as a
// comment.
std::vector<std::string> registry_statements();
