// `tovrek replay FILE.trace [--out DIR] [--junit FILE.xml] [--module PATH]
// [--final FILE.png]`: reads the whole trace, gives it a display (a private X
// server when $DISPLAY is unset, sized by its `screen` statement), plays it,
// writes what the window showed after the last `show` when --final asks, and
// exits 0 when everything held, 1 when something failed, 2 when the trace
// could not be read or the command line is wrong.
#include "host/snapshot_png.h"
#include "tools/replay_command.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/winx.h"
#include "host/png_io.h"
#include "tools/check_pictures.h"
#include "tools/junit_report.h"
#include "tools/module_path.h"
#include "tools/trace_executor.h"
#include "tools/trace_parser.h"

namespace {

Screen_Statement screen_of(const Trace& trace) {
    for (const Statement& statement : trace.statements)
        if (const auto* screen = std::get_if<Screen_Statement>(&statement.body)) return *screen;
    return {1280, 1024, 24};
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

    Trace trace;
    trace.path = trace_path;
    Read_Error error;
    if (!read_trace_file(trace_path, &trace, &error)) {
        if (error.line == 0)
            std::fprintf(stderr, "%s: %s\n", trace_path.c_str(), error.expected.c_str());
        else
            std::fprintf(stderr, "%s:%d:%d: %s\n", trace_path.c_str(), error.line, error.column,
                         error.expected.c_str());
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
        Screen_Statement screen = screen_of(trace);
        std::string reason;
        if (!winx::start_private_display(screen.width, screen.height, screen.depth, &reason)) {
            std::fprintf(stderr, "%s: expected a private X server, got: %s\n", trace_path.c_str(), reason.c_str());
            return 1;
        }
    }
    std::vector<Statement_Outcome> outcomes;
    bool final_written = true;
    {
        std::string trace_directory = std::filesystem::path(trace_path).parent_path().string();
        Replay_State state(trace_directory.empty() ? "." : trace_directory, out_directory,
                           driver_module_path(module_choice));
        state.keep_shown_frame = !final_path.empty();
        outcomes = run_trace(trace, state);
        final_written = final_path.empty() || write_final_frame(trace_path, final_path, state);
    }
    winx::stop_private_display();
    bool held = final_written;
    for (const Statement_Outcome& outcome : outcomes) held = held && !outcome.failure;
    std::string report_error;
    if (!junit_path.empty() && !write_junit_report(junit_path, trace_path, outcomes, &report_error)) {
        std::fprintf(stderr, "tovrek replay: %s\n", report_error.c_str());
        return 1;
    }
    return held ? 0 : 1;
}

}  // namespace

const Tool_Command REPLAY_COMMAND = {
    "replay", "play a host call trace and check its expectations",
    "usage: tovrek replay FILE.trace [--out DIR] [--junit FILE.xml] [--module PATH] [--final FILE.png]\n"
    "Plays a host call trace (docs/trace-format.md) against the driver. Exits 0\n"
    "when every expectation held, 1 when one failed, 2 when the trace cannot be read.\n"
    "options:\n"
    "  --out DIR         where snapshots, saved reads and failure pictures go (default .; made when missing)\n"
    "  --junit FILE.xml  also write the outcome as JUnit XML, one test case per expectation\n"
    "  --module PATH     the driver module (default $TOVREK_MODULE, else the installed one)\n"
    "  --final FILE.png  write what the window showed after the trace's last show\n"
    "  -h, --help        show this help\n",
    replay_command,
};
