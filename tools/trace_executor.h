// Running trace statements, one at a time, in order.
#pragma once

#include <optional>
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

// Runs one statement of the trace whose file name without its extensions is
// `trace_name` (failure pictures are named after it). Returns the outcome of
// an expectation, and of any other statement that failed; prints nothing.
std::optional<Statement_Outcome> run_trace_statement(const Statement& statement, const std::string& trace_name,
                                                     Replay_State& state);

// Prints a failed outcome on standard error as `FILE:LINE: expected …, got …`.
void report_failure(const std::string& trace_path, const Statement_Outcome& outcome);

// The name that run_trace_statement wants for the trace at `trace_path`.
std::string trace_name_of(const std::string& trace_path);

// Runs every statement of a parsed trace; each failure is reported and the
// replay goes on. Returns the outcome of every expectation and of every
// other statement that failed, in order.
std::vector<Statement_Outcome> run_trace(const Trace& trace, Replay_State& state);
