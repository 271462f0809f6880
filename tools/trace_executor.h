// Running a parsed trace, statement by statement, in order.
#pragma once

#include "tools/replay_state.h"
#include "tools/trace_statements.h"

// Runs every statement; each failure is printed on standard error as
// `FILE:LINE: expected …, got …` and the replay goes on. Returns the number
// of failures.
int run_trace(const Trace& trace, Replay_State& state);
