// The statement loop: each statement goes to its handler.
#include "tools/trace_executor.h"

#include <cstdio>

#include "tools/trace_handlers.h"

int run_trace(const Trace& trace, Replay_State& state) {
    int failures = 0;
    for (const Statement& statement : trace.statements) {
        Failure failure = std::visit([&state](const auto& body) { return run_statement(state, body); }, statement.body);
        if (!failure) continue;
        ++failures;
        std::fprintf(stderr, "%s:%d: %s\n", trace.path.c_str(), statement.line, failure->c_str());
    }
    return failures;
}
