// The statement loop: each statement goes to its handler.
#include "tools/trace_executor.h"

#include <cstdio>
#include <filesystem>

#include "tools/trace_handlers.h"

std::vector<Statement_Outcome> run_trace(const Trace& trace, Replay_State& state) {
    const std::string trace_name = std::filesystem::path(trace.path).stem().string();
    std::vector<Statement_Outcome> outcomes;
    for (const Statement& statement : trace.statements) {
        state.failure_picture_name = trace_name + ".line" + std::to_string(statement.line);
        Failure failure = std::visit([&state](const auto& body) { return run_statement(state, body); }, statement.body);
        if (failure) std::fprintf(stderr, "%s:%d: %s\n", trace.path.c_str(), statement.line, failure->c_str());
        if (failure || !statement.expectation.empty())
            outcomes.push_back({statement.line, statement.expectation, failure});
    }
    return outcomes;
}
