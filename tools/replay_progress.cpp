// Drawing the replay's progress line.
#include "tools/replay_progress.h"

#include <cinttypes>
#include <cstdio>

namespace {

// A replay shorter than this never shows the line.
constexpr std::chrono::seconds QUIET_TIME{2};
constexpr std::chrono::milliseconds REDRAW_INTERVAL{250};

}  // namespace

Replay_Progress::Replay_Progress(bool terminal) : terminal_(terminal) {}

void Replay_Progress::statement_done(bool frame) {
    ++statements_;
    if (frame) ++frames_;
    if (!terminal_) return;
    auto now = std::chrono::steady_clock::now();
    if (now - start_ < QUIET_TIME || now - drawn_ < REDRAW_INTERVAL) return;
    drawn_ = now;
    draw();
}

void Replay_Progress::before_message() {
    if (!shown_) return;
    std::fputs("\r\033[K", stderr);
    shown_ = false;
}

void Replay_Progress::finish() {
    if (!terminal_ || drawn_ == std::chrono::steady_clock::time_point{}) return;
    draw();
    std::fputc('\n', stderr);
    shown_ = false;
}

void Replay_Progress::draw() {
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::fprintf(stderr, "\r\033[K%" PRIu64 " statements, %" PRIu64 " frames, %.1f s", statements_, frames_, elapsed);
    std::fflush(stderr);
    shown_ = true;
}
