// The statement loop: each statement goes to its handler.
#include "tools/trace_executor.h"

#include <cstdio>
#include <filesystem>

#include "tools/trace_handlers.h"

std::optional<Statement_Outcome> run_trace_statement(const Statement& statement, const std::string& trace_name,
                                                     Replay_State& state) {
    state.failure_picture_name = trace_name + ".line" + std::to_string(statement.line);
    Failure failure = std::visit([&state](const auto& body) { return run_statement(state, body); }, statement.body);
    if (!failure && statement.expectation.empty()) return std::nullopt;
    return Statement_Outcome{statement.line, statement.expectation, failure};
}

void report_failure(const std::string& trace_path, const Statement_Outcome& outcome) {
    if (outcome.failure)
        std::fprintf(stderr, "%s:%d: %s\n", trace_path.c_str(), outcome.line, outcome.failure->c_str());
}

std::string trace_name_of(const std::string& trace_path) {
    std::filesystem::path path(trace_path);
    if (path.extension() == ".gz") path = path.stem();
    return path.stem().string();
}

std::vector<Statement_Outcome> run_trace(const Trace& trace, Replay_State& state) {
    const std::string trace_name = trace_name_of(trace.path);
    std::vector<Statement_Outcome> outcomes;
    for (const Statement& statement : trace.statements) {
        if (std::optional<Statement_Outcome> outcome = run_trace_statement(statement, trace_name, state)) {
            report_failure(trace.path, *outcome);
            outcomes.push_back(std::move(*outcome));
        }
    }
    return outcomes;
}
