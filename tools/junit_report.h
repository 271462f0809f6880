// The outcome of a replay as JUnit XML, which CI systems display: one test
// suite for the trace, one test case per expectation, and one more for each
// other statement that failed, so that a broken replay never reads as
// passed.
#pragma once

#include <string>
#include <vector>

#include "tools/trace_executor.h"

// False, with the reason in *error, when the file cannot be written.
bool write_junit_report(const std::string& path, const std::string& trace_path,
                        const std::vector<Statement_Outcome>& outcomes, std::string* error);
