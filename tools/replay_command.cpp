// `tovrek replay FILE.trace [--out DIR] [--junit FILE.xml] [--module PATH]
// [--final FILE.png]`: reads the trace statement by statement (plain or
// gzip-compressed), gives it a display (a private X server when $DISPLAY is
// unset, sized by its `screen` statement), plays each statement as it is
// read, writes what the window showed after the last `show` when --final
// asks, and exits 0 when everything held, 1 when something failed, 2 when
// the trace could not be read or the command line is wrong. The first MiB of
// the trace is read before anything runs, so a short trace with a mistake
// runs nothing; a mistake further on stops a replay that has begun.
#include "host/snapshot_png.h"
#include "tools/replay_command.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <string>

#include "platform/winx.h"
#include "host/png_io.h"
#include "tools/check_pictures.h"
#include "tools/junit_report.h"
#include "tools/module_path.h"
#include "tools/replay_progress.h"
#include "tools/trace_executor.h"
#include "tools/trace_reader.h"

namespace {

// Read before the first statement runs: recorded traces hold their world
// statements at the start, and a short trace is read whole.
constexpr uint64_t READ_AHEAD_BYTES = 1 << 20;

Screen_Statement screen_of(const std::deque<Statement>& statements) {
    for (const Statement& statement : statements)
        if (const auto* screen = std::get_if<Screen_Statement>(&statement.body)) return *screen;
    return {1280, 1024, 24};
}

void print_read_error(const std::string& trace_path, const Read_Error& error) {
    if (error.line == 0)
        std::fprintf(stderr, "%s: %s\n", trace_path.c_str(), error.expected.c_str());
    else
        std::fprintf(stderr, "%s:%d:%d: %s\n", trace_path.c_str(), error.line, error.column, error.expected.c_str());
}

// Opens the trace and reads its first statements into `ahead`; false, with
// the error, when that much cannot be read.
bool read_ahead(const std::string& trace_path, Trace_Reader* reader, std::deque<Statement>* ahead, Read_Error* error) {
    if (!reader->open(trace_path, error)) return false;
    Statement statement;
    while (reader->text_read() < READ_AHEAD_BYTES) {
        Trace_Reader::Next next = reader->next(&statement, error);
        if (next == Trace_Reader::Next::error) return false;
        if (next == Trace_Reader::Next::end) return true;
        ahead->push_back(std::move(statement));
    }
    return true;
}

struct Play_Result {
    bool read_whole = true;  // false: a line could not be read, and the replay stopped there
    Read_Error error;
    bool held = true;
    std::vector<Statement_Outcome> outcomes;  // kept only for a JUnit report
};

// Plays the statements read ahead, then the rest as it is read.
Play_Result play(const std::string& trace_path, Trace_Reader& reader, std::deque<Statement> ahead,
                 Replay_State& state, bool keep_outcomes) {
    Play_Result result;
    const std::string trace_name = trace_name_of(trace_path);
    Replay_Progress progress(isatty(STDERR_FILENO) == 1);
    Statement statement;
    for (;;) {
        if (!ahead.empty()) {
            statement = std::move(ahead.front());
            ahead.pop_front();
        } else {
            Trace_Reader::Next next = reader.next(&statement, &result.error);
            if (next != Trace_Reader::Next::statement) {
                progress.finish();
                result.read_whole = next == Trace_Reader::Next::end;
                return result;
            }
        }
        if (std::optional<Statement_Outcome> outcome = run_trace_statement(statement, trace_name, state)) {
            if (outcome->failure) {
                progress.before_message();
                report_failure(trace_path, *outcome);
                result.held = false;
            }
            if (keep_outcomes) result.outcomes.push_back(std::move(*outcome));
        }
        progress.statement_done(std::holds_alternative<Show_Statement>(statement.body));
    }
}

bool has_display() {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0';
}

bool write_final_frame(const std::string& trace_path, const std::string& final_path, const Replay_State& state) {
    if (!state.last_shown) {
        std::fprintf(stderr, "%s: expected a show to write %s from, got none\n", trace_path.c_str(), final_path.c_str());
        return false;
    }
    std::string error;
    if (write_png(final_path, rgba_of(*state.last_shown), &error)) return true;
    std::fprintf(stderr, "%s: expected %s written, got: %s\n", trace_path.c_str(), final_path.c_str(), error.c_str());
    return false;
}

int replay_command(int argc, char** argv) {
    std::string trace_path, out_directory = ".", junit_path, module_choice, final_path;
    for (int i = 0; i < argc; ++i) {
        std::string argument = argv[i];
        std::string* value = argument == "--out"      ? &out_directory
                             : argument == "--junit"  ? &junit_path
                             : argument == "--module" ? &module_choice
                             : argument == "--final"  ? &final_path
                                                      : nullptr;
        if (value != nullptr && i + 1 < argc) {
            *value = argv[++i];
        } else if (value == nullptr && trace_path.empty() && !argument.empty() && argument[0] != '-') {
            trace_path = argument;
        } else {
            return usage_error(REPLAY_COMMAND, argument_problem(argument, value != nullptr));
        }
    }
    if (trace_path.empty()) return usage_error(REPLAY_COMMAND, "which trace? none was named");

    Trace_Reader reader;
    std::deque<Statement> ahead;
    Read_Error error;
    if (!read_ahead(trace_path, &reader, &ahead, &error)) {
        print_read_error(trace_path, error);
        return 2;
    }
    std::error_code made;
    std::filesystem::create_directories(out_directory, made);
    if (made) {
        std::fprintf(stderr, "tovrek replay: cannot make the output folder %s: %s\n", out_directory.c_str(),
                     made.message().c_str());
        return 2;
    }

    if (!has_display()) {
        Screen_Statement screen = screen_of(ahead);
        std::string reason;
        if (!winx::start_private_display(screen.width, screen.height, screen.depth, &reason)) {
            std::fprintf(stderr, "%s: expected a private X server, got: %s\n", trace_path.c_str(), reason.c_str());
            return 1;
        }
    }
    Play_Result played;
    bool final_written = true;
    {
        std::string trace_directory = std::filesystem::path(trace_path).parent_path().string();
        Replay_State state(trace_directory.empty() ? "." : trace_directory, out_directory,
                           driver_module_path(module_choice));
        state.keep_shown_frame = !final_path.empty();
        played = play(trace_path, reader, std::move(ahead), state, !junit_path.empty());
        final_written = !played.read_whole || final_path.empty() || write_final_frame(trace_path, final_path, state);
    }
    winx::stop_private_display();
    if (!played.read_whole) {
        print_read_error(trace_path, played.error);
        return 2;
    }
    std::string report_error;
    if (!junit_path.empty() && !write_junit_report(junit_path, trace_path, played.outcomes, &report_error)) {
        std::fprintf(stderr, "tovrek replay: %s\n", report_error.c_str());
        return 1;
    }
    return played.held && final_written ? 0 : 1;
}

}  // namespace

const Tool_Command REPLAY_COMMAND = {
    "replay", "play a host call trace and check its expectations",
    "usage: tovrek replay FILE.trace [--out DIR] [--junit FILE.xml] [--module PATH] [--final FILE.png]\n"
    "Plays a host call trace (docs/trace-format.md) against the driver, as it reads\n"
    "it; a trace may be gzip-compressed (FILE.trace.gz). Exits 0 when every\n"
    "expectation held, 1 when one failed, 2 when the trace cannot be read.\n"
    "options:\n"
    "  --out DIR         where snapshots, saved reads and failure pictures go (default .; made when missing)\n"
    "  --junit FILE.xml  also write the outcome as JUnit XML, one test case per expectation\n"
    "  --module PATH     the driver module (default $TOVREK_MODULE, else the installed one)\n"
    "  --final FILE.png  write what the window showed after the trace's last show\n"
    "  -h, --help        show this help\n",
    replay_command,
};
