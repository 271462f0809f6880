// The progress line of `tovrek replay`: a replay that runs for more than two
// seconds shows its statements, frames and time on a terminal, and prints
// nothing of it into a pipe. The trace comes through a named pipe, a frame
// every quarter of a second, so that the replay lasts three seconds however
// fast the machine.
#include <gtest/gtest.h>
#include <pty.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/process.h"

namespace {

constexpr int FRAMES = 12;
// The replay reads a trace's first MiB before it plays anything, and a pipe
// in pieces of up to 256 KiB: comment lines push each frame through.
constexpr int FILLER_LINES = 30000;
constexpr int LINES_AFTER_FRAME = 15000;
const std::string FILLER_LINE = "# filler, so that the replay plays this now\n";

struct Replay_Output {
    int status = -1;
    std::string errors;
};

class Replay_Progress_Line : public testing::Test {
protected:
    void SetUp() override {
        folder_ = make_temporary_folder();
        ASSERT_FALSE(folder_.empty());
        ASSERT_EQ(mkfifo(trace_path().c_str(), 0600), 0);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string trace_path() const { return folder_ + "/slow.trace"; }
    int failing_line() const { return 3 + FILLER_LINES + FRAMES * (1 + LINES_AFTER_FRAME) + 1; }
    std::string failure() const {
        return trace_path() + ":" + std::to_string(failing_line()) + ": expected a live device named \"nobody\", got none";
    }

    void write_trace_slowly() const {
        std::ofstream trace(trace_path());
        trace << "window 32 32\ndevice\nstart\n";
        for (int line = 0; line < FILLER_LINES; ++line) trace << FILLER_LINE;
        for (int frame = 0; frame < FRAMES; ++frame) {
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            trace << "show\n";
            for (int line = 0; line < LINES_AFTER_FRAME; ++line) trace << FILLER_LINE;
            trace << std::flush;
        }
        trace << "use nobody\n";
    }

    // Replays the trace with standard error on `write_end`, reading what
    // arrives at `read_end` until the replay is done with it.
    Replay_Output replay_with_errors_on(int write_end, int read_end) const {
        Replay_Output run;
        pid_t child = fork();
        if (child == 0) {
            close(read_end);
            dup2(write_end, 2);
            std::string trace = trace_path(), out = folder_ + "/out";
            const char* argv[] = {TOVREK_TOOL_PATH, "replay", trace.c_str(), "--out", out.c_str(), nullptr};
            execv(argv[0], const_cast<char**>(argv));
            _exit(127);
        }
        close(write_end);
        std::thread writer([this] { write_trace_slowly(); });
        char buffer[4096];
        // A terminal's reading end reports EIO once the replay has closed it.
        for (ssize_t got; (got = read(read_end, buffer, sizeof buffer)) > 0;) run.errors.append(buffer, size_t(got));
        close(read_end);
        writer.join();
        int status = 0;
        if (waitpid(child, &status, 0) == child && WIFEXITED(status)) run.status = WEXITSTATUS(status);
        return run;
    }

    std::string folder_;
};

TEST_F(Replay_Progress_Line, ShownOnATerminalAndNotInAPipe) {
    int terminal = -1, terminal_end = -1;
    ASSERT_EQ(openpty(&terminal, &terminal_end, nullptr, nullptr, nullptr), 0);
    Replay_Output on_terminal = replay_with_errors_on(terminal_end, terminal);
    EXPECT_EQ(on_terminal.status, 1) << on_terminal.errors;
    // Redrawn in place and cleared for a message; the last figures stay on a
    // line of their own (the terminal turns each newline into CR LF).
    EXPECT_NE(on_terminal.errors.find(" s\r\033[K" + failure() + "\r\n"), std::string::npos) << on_terminal.errors;
    std::smatch last;
    const std::regex figures("\r\033\\[K([0-9]+) statements, ([0-9]+) frames, ([0-9.]+) s\r\n$");
    ASSERT_TRUE(std::regex_search(on_terminal.errors, last, figures)) << on_terminal.errors;
    EXPECT_EQ(last[1], std::to_string(3 + FRAMES + 1));
    EXPECT_EQ(last[2], std::to_string(FRAMES));
    EXPECT_GE(std::stod(last[3]), 2.0);

    int pipe_ends[2];
    ASSERT_EQ(pipe(pipe_ends), 0);
    Replay_Output in_pipe = replay_with_errors_on(pipe_ends[1], pipe_ends[0]);
    EXPECT_EQ(in_pipe.status, 1);
    EXPECT_EQ(in_pipe.errors, failure() + "\n");
}

}  // namespace
