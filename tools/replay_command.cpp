// `tovrek replay FILE.trace [--out DIR] [--module PATH] [--final FILE.png]`:
// reads the whole trace, gives it a display (a private X server when $DISPLAY
// is unset, sized by its `screen` statement), plays it, writes what the window
// showed after the last `show` when --final asks, and exits 0 when everything
// held, 1 when something failed, 2 when the trace could not be read.
#include "tools/replay_command.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/png_io.h"
#include "platform/winx.h"
#include "tools/module_path.h"
#include "tools/trace_executor.h"
#include "tools/trace_parser.h"

namespace {

const char* const USAGE = "usage: tovrek replay FILE.trace [--out DIR] [--module PATH] [--final FILE.png]\n";

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

}  // namespace

int replay_command(int argc, char** argv) {
    std::string trace_path, out_directory = ".", module_choice, final_path;
    for (int i = 0; i < argc; ++i) {
        std::string argument = argv[i];
        if ((argument == "--out" || argument == "--module") && i + 1 < argc) {
            (argument == "--out" ? out_directory : module_choice) = argv[++i];
        } else if (argument == "--final" && i + 1 < argc) {
            final_path = argv[++i];
        } else if (trace_path.empty() && !argument.empty() && argument[0] != '-') {
            trace_path = argument;
        } else {
            std::fputs(USAGE, stderr);
            return 2;
        }
    }
    if (trace_path.empty()) {
        std::fputs(USAGE, stderr);
        return 2;
    }

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

    if (!has_display()) {
        Screen_Statement screen = screen_of(trace);
        std::string reason;
        if (!winx::start_private_display(screen.width, screen.height, screen.depth, &reason)) {
            std::fprintf(stderr, "%s: expected a private X server, got: %s\n", trace_path.c_str(), reason.c_str());
            return 1;
        }
    }
    int failures = 0;
    {
        std::string trace_directory = std::filesystem::path(trace_path).parent_path().string();
        Replay_State state(trace_directory.empty() ? "." : trace_directory, out_directory,
                           driver_module_path(module_choice));
        state.keep_shown_frame = !final_path.empty();
        failures = run_trace(trace, state);
        if (!final_path.empty() && !write_final_frame(trace_path, final_path, state)) ++failures;
    }
    winx::stop_private_display();
    return failures == 0 ? 0 : 1;
}
