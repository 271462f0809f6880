// The progress line of a long replay: on a terminal, once a replay has run
// for two seconds, standard error shows how many statements and frames are
// done and the time taken, redrawn in place a few times a second. Off a
// terminal it prints nothing, so logs and pipes hold only the replay's
// messages.
#pragma once

#include <chrono>
#include <cstdint>

class Replay_Progress {
public:
    // `terminal`: whether standard error is one.
    explicit Replay_Progress(bool terminal);

    // Counts a statement played; `frame` when it was a show.
    void statement_done(bool frame);
    // Clears the line, so that a message printed next starts a line of its own.
    void before_message();
    // Leaves the last figures on their own line, when the line was shown.
    void finish();

private:
    void draw();

    bool terminal_;
    bool shown_ = false;
    uint64_t statements_ = 0;
    uint64_t frames_ = 0;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point drawn_{};
};
