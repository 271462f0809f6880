// Running a parsed trace, statement by statement, in order.
#pragma once

#include <string>
#include <vector>

#include "tools/replay_state.h"
#include "tools/trace_statements.h"

// What became of an expectation, or of any other statement that failed.
struct Statement_Outcome {
    int line = 0;
    std::string text;  // an expectation as written; empty for other statements
    Failure failure;
};

// Runs every statement; each failure is printed on standard error as
// `FILE:LINE: expected …, got …` and the replay goes on. Returns the outcome
// of every expectation and of every other statement that failed, in order.
std::vector<Statement_Outcome> run_trace(const Trace& trace, Replay_State& state);
